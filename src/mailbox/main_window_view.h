#pragma once

#include <string>

namespace venmarra {

// One mail as List1 lists it. Its text, FROM "|" SUBJECT "|" MID, is also the key that tells a
// new newest mail from the last one listed.
struct MailLine {
    std::u16string from;
    std::u16string subject;
    std::u16string mailId;

    std::u16string text() const { return from + u'|' + subject + u'|' + mailId; }
};

// The main window's controls as its logic writes and reads them.
class MainWindowView {
public:
    enum class Caption { Label2, Label3, Label4, Label5, Label6, Command2 };

    virtual ~MainWindowView() = default;

    virtual void setCaption(Caption control, const std::u16string &text) = 0;
    virtual void setText1(const std::u16string &text) = 0;
    virtual void disableCommand1() = 0;
    // Appends the mail's line to List1, keeping the identifier read together with it.
    virtual void appendListItem(const MailLine &mail) = 0;
    virtual int selectedListIndex() const = 0;
    virtual std::u16string listItemMailId(int index) const = 0;
    // The line's text as it was read, whatever the list shows of it.
    virtual std::u16string listItemText(int index) const = 0;
    // Shows the mail viewer (created anew when it is not open) and replaces its text.
    virtual void showMailViewer(const std::u16string &content) = 0;
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
