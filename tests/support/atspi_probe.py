"""Reads the running Linux program's windows over the accessibility bus, as a screen reader does,
and prints what the Windows probe prints: NAME<TAB>TEXT for each control of the main window (a
box's content, else its accessible name), LIST<TAB>LINE, VIEWER<TAB>TEXT (without the line breaks
that end it), CARET<TAB>OFFSET of the viewer's box, FOCUS<TAB>NAME, each on one line, a line break written \\n and a tab \\t; and what a
screen reader is told each thing is, ROLE<TAB>NAME<TAB>ROLE (Form1 and Form2 for the windows).
Run with Debian's /usr/bin/python3, which has pyatspi."""
import sys

import pyatspi

# The main window's controls in their reading order, the frame's own after the frame: the order in
# which the bus must list them. The lines are drawn, no controls.
CONTROLS = ["Command1", "Frame1", "Label2", "Label3", "Label1", "Text1", "Label5", "Label6",
            "Command2", "Label4", "Label7", "List1", "Command3"]


def one_line(text):
    text = text.replace("\r\n", "\n").replace("\r", "\n")
    return text.translate({0x0A: "\\n", 0x09: "\\t"})


def shown(accessible):
    try:
        box = accessible.queryText()
    except NotImplementedError:
        return accessible.name
    return box.getText(0, -1)


def controls_of(window):
    for child in window:
        yield child
        if child.getRole() == pyatspi.ROLE_PANEL:  # the frame
            yield from child


def main():
    program = next((app for app in pyatspi.Registry.getDesktop(0) if app and app.name == "Venmarra"), None)
    if program is None:
        sys.exit("no program named Venmarra on the accessibility bus")
    for window in program:
        if window.name.startswith("Venmarra  - By "):
            controls = list(controls_of(window))
            if len(controls) != len(CONTROLS):
                sys.exit(f"the main window has {len(controls)} controls, not {len(CONTROLS)}")
            print(f"ROLE\tForm1\t{window.getRoleName()}")
            for name, control in zip(CONTROLS, controls):
                print(f"{name}\t{one_line(shown(control))}")
                print(f"ROLE\t{name}\t{control.getRoleName()}")
                if control.getState().contains(pyatspi.STATE_FOCUSED):
                    print(f"FOCUS\t{name}")
                if name == "List1":
                    for line in control:
                        print(f"LIST\t{one_line(line.name)}")
        elif window.name == "邮件内容":
            print(f"ROLE\tForm2\t{window.getRoleName()}")
            print(f"VIEWER\t{one_line(shown(window[0]).rstrip(chr(13) + chr(10)))}")
            print(f"CARET\t{window[0].queryText().caretOffset}")


main()
