"""Reads the running Linux program's windows over the accessibility bus, as a screen reader does,
and prints what the Windows probe prints: NAME<TAB>TEXT for each control of the main window (a
box's content, else its accessible name), LIST<TAB>LINE, VIEWER<TAB>TEXT (without the line breaks
that end it), CARET<TAB>OFFSET of the viewer's box, FOCUS<TAB>NAME, each on one line, a line break
written \\n and a tab \\t; what a screen reader is told each thing is, ROLE<TAB>NAME<TAB>ROLE
(Form1 and Form2 for the windows), and the labels' ties: LABELLED<TAB>NAME<TAB>LABEL'S TEXT, and
LABELS<TAB>LABEL<TAB>NAME.
It fails when the bus lists the controls in another order than a reader meets them on the screen:
top to bottom, left to right, a naming label just before the control it names.
Run with Debian's /usr/bin/python3, which has pyatspi."""
import sys

import pyatspi

# The main window's controls in their reading order, the frame's own after the frame: the order in
# which the bus must list them. The lines are drawn, no controls.
CONTROLS = ["Frame1", "Label1", "Text1", "Label5", "Label6", "Label2", "Label3", "Label7", "List1",
            "Command1", "Command2", "Command3", "Label4"]


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


def related(control, kind):
    return [relation.getTarget(i) for relation in control.getRelationSet()
            if relation.getRelationType() == kind for i in range(relation.getNTargets())]


def labels_of(control):
    return related(control, pyatspi.RELATION_LABELLED_BY)


def check_screen_order(siblings):
    """The siblings as the bus lists them are those ordered by place, each label before its own."""
    def place(accessible):
        x, y = accessible.queryComponent().getPosition(pyatspi.WINDOW_COORDS)
        return y, x
    labels = {id(label) for control in siblings for label in labels_of(control)}
    expected = []
    for control in sorted((c for c in siblings if id(c) not in labels), key=place):
        expected += [label for label in labels_of(control) if label in siblings] + [control]
    if [id(c) for c in expected] != [id(c) for c in siblings]:
        sys.exit("the bus lists the controls as %s, not in screen order %s"
                 % ([c.name for c in siblings], [c.name for c in expected]))


def main():
    program = next((app for app in pyatspi.Registry.getDesktop(0) if app and app.name == "Venmarra"), None)
    if program is None:
        sys.exit("no program named Venmarra on the accessibility bus")
    for window in program:
        if window.name.startswith("Venmarra  - By "):
            check_screen_order([child for child in window if child.getRole() != pyatspi.ROLE_NOTIFICATION])
            check_screen_order(list(next(c for c in window if c.getRole() == pyatspi.ROLE_PANEL)))
            controls = [c for c in controls_of(window) if c.getRole() != pyatspi.ROLE_NOTIFICATION]
            if len(controls) != len(CONTROLS):
                sys.exit(f"the main window has {len(controls)} controls, not {len(CONTROLS)}")
            print(f"ROLE\tForm1\t{window.getRoleName()}")
            names = {hash(control): name for name, control in zip(CONTROLS, controls)}
            for name, control in zip(CONTROLS, controls):
                print(f"{name}\t{one_line(shown(control))}")
                print(f"ROLE\t{name}\t{control.getRoleName()}")
                for label in labels_of(control):
                    print(f"LABELLED\t{name}\t{label.name}")
                for target in related(control, pyatspi.RELATION_LABEL_FOR):
                    print(f"LABELS\t{name}\t{names.get(hash(target), target.name)}")
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
