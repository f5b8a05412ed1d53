#pragma once

#include "mailbox/main_window_view.h"

#include <QString>

#include <utility>
#include <vector>

namespace venmarra::test {

// Hands every write on to the real window and keeps the captions written, in order.
class RecordingView final : public MainWindowView {
public:
    explicit RecordingView(MainWindowView &window)
        : m_window(window)
    {
    }

    void setCaption(Caption control, const std::u16string &text) override
    {
        m_captions.emplace_back(control, QString::fromStdU16String(text));
        m_window.setCaption(control, text);
    }
    void setText1(const std::u16string &text) override { m_window.setText1(text); }
    void disableCommand1() override { m_window.disableCommand1(); }
    void appendListItem(const MailLine &mail) override { m_window.appendListItem(mail); }
    int selectedListIndex() const override { return m_window.selectedListIndex(); }
    std::u16string listItemMailId(int index) const override { return m_window.listItemMailId(index); }
    std::u16string listItemText(int index) const override { return m_window.listItemText(index); }
    void showMailViewer(const std::u16string &content) override { m_window.showMailViewer(content); }

    std::vector<QString> captionsOf(Caption control) const
    {
        std::vector<QString> texts;
        for (const auto &[written, text] : m_captions)
            if (written == control)
                texts.push_back(text);
        return texts;
    }

private:
    MainWindowView &m_window;
    std::vector<std::pair<Caption, QString>> m_captions;
};

}  // namespace venmarra::test
