#pragma once

#include "mailbox/main_window_view.h"

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace venmarra::test {

// The main window's controls as plain values, for tests of the logic without a toolkit.
class MemoryView final : public MainWindowView {
public:
    void setCaption(Caption control, const std::u16string &text) override
    {
        captions[control] = text;
        written.emplace_back(control, text);
    }
    void setText1(const std::u16string &text) override { text1 = text; }
    void disableCommand1() override { command1Enabled = false; }
    void appendListItem(const MailLine &mail) override { list.push_back(mail.text()); }
    int selectedListIndex() const override { return selected; }
    void showMailViewer(const std::u16string &content) override { viewer = content; }

    std::u16string caption(Caption control) const
    {
        const auto found = captions.find(control);
        return found == captions.end() ? std::u16string() : found->second;
    }
    // Every caption written to `control`, in order.
    std::vector<std::u16string> captionsOf(Caption control) const
    {
        std::vector<std::u16string> texts;
        for (const auto &[to, text] : written)
            if (to == control)
                texts.push_back(text);
        return texts;
    }

    std::map<Caption, std::u16string> captions;
    std::vector<std::pair<Caption, std::u16string>> written;
    std::u16string text1;
    bool command1Enabled = true;
    std::vector<std::u16string> list;  // each line's text
    int selected = -1;
    std::optional<std::u16string> viewer;  // nothing while the viewer has not been shown
};

}  // namespace venmarra::test
