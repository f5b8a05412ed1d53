#pragma once

#include "ui/layout.h"
#include "ui/mail_line.h"

#include <string>

namespace venmarra {

// The main window's controls as its logic writes and reads them.
class MainWindowView {
public:
    // The controls whose captions the logic writes: Label2 to Label6 and Command2.
    using Caption = ui::ControlId;

    virtual ~MainWindowView() = default;

    // Every text given is shown as it stands: the logic has made what the service sent inert.
    virtual void setCaption(Caption control, const std::u16string &text) = 0;
    virtual void setText1(const std::u16string &text) = 0;
    virtual void disableCommand1() = 0;
    // Shows `line` (MailLine::shown) at the end of List1, a line that a screen reader reads as
    // `spoken` (MailLine::spoken); the logic keeps the mail.
    virtual void appendListItem(const ui::MailLine &line, const std::u16string &spoken) = 0;
    virtual int selectedListIndex() const = 0;
    // Shows the mail viewer (created anew when it is not open) and replaces its text with
    // `content`, well-formed UTF-8.
    virtual void showMailViewer(std::string content) = 0;
    // New mail came: unless the window is the active one, the desktop marks it for the user
    // (its taskbar entry) until the user activates it. No sound, no focus taken.
    virtual void askForAttention() = 0;
    // Tells the user's screen reader `text` once, as the platform's screen readers take news:
    // without moving the focus or changing what the window shows.
    virtual void announce(const std::u16string &text) = 0;
};

// The main window's events, as the window hands them on.
class MainWindowEvents {
public:
    virtual ~MainWindowEvents() = default;
    virtual void Form_Load() = 0;
    virtual void Form_Unload() = 0;
    virtual void Command1_Click() = 0;
    virtual void Command2_Click() = 0;
    virtual void Command3_Click() = 0;
    virtual void List1_DblClick() = 0;
};

}  // namespace venmarra
