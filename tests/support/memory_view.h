#pragma once

#include "mailbox/main_window_view.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace venmarra::test {

// The main window's controls as plain values, for tests of the logic without a toolkit.
class MemoryView final : public MainWindowView {
public:
    void setCaption(Caption control, const std::u16string &text) override { captions[control] = text; }
    void setText1(const std::u16string &text) override { text1 = text; }
    void disableCommand1() override { command1Enabled = false; }
    void appendListItem(const MailLine &mail) override { list.push_back(mail); }
    int selectedListIndex() const override { return selected; }
    std::u16string listItemMailId(int index) const override { return at(index).mailId; }
    std::u16string listItemText(int index) const override { return at(index).text(); }
    void showMailViewer(const std::u16string &content) override { viewer = content; }

    std::u16string caption(Caption control) const
    {
        const auto found = captions.find(control);
        return found == captions.end() ? std::u16string() : found->second;
    }
    std::vector<std::u16string> lines() const
    {
        std::vector<std::u16string> texts;
        for (const MailLine &mail : list)
            texts.push_back(mail.text());
        return texts;
    }

    std::map<Caption, std::u16string> captions;
    std::u16string text1;
    bool command1Enabled = true;
    std::vector<MailLine> list;
    int selected = -1;
    std::optional<std::u16string> viewer;  // nothing while the viewer has not been shown

private:
    MailLine at(int index) const
    {
        return index >= 0 && std::size_t(index) < list.size() ? list[std::size_t(index)] : MailLine {};
    }
};

}  // namespace venmarra::test
