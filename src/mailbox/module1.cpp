#include "mailbox/module1.h"

#include "text/inert.h"
#include "text/utf.h"
#include "ui/display_text.h"
#include "ui/texts.h"

#include <algorithm>
#include <optional>

namespace venmarra {

using Caption = MainWindowView::Caption;

void Module1::readAside(std::size_t answerSize, const std::function<void()> &work) const
{
    if (m_offload && answerSize > kOffloadAbove)
        m_offload(work);
    else
        work();
}

std::size_t Module1::ParseRefreshResponse(std::string_view answer, MainWindowView &view)
{
    std::optional<AnswerReader> parsed;
    readAside(answer.size(), [&] { parsed.emplace(answer); });
    const AnswerReader &data = *parsed;
    const auto value = [&](std::string_view expression) {
        return text::utf16FromUtf8(textForm(data.read(expression)));
    };

    // What the service sends is shown as inert text, cut to what a label can show.
    const auto shownValue = [&](std::u16string_view prefix, std::string_view expression) {
        return ui::displayLine(std::u16string(prefix) + value(expression));
    };
    view.setCaption(Caption::Label5, shownValue(texts::kUserPrefix, "data.data[0].user.USER"));
    const bool available = value("data.data[0].user.STATUS") == u"1";
    view.setCaption(Caption::Label6, available ? texts::kAvailable : texts::kUnavailable);
    view.setCaption(Caption::Label2, shownValue(texts::kLabel2, "data.data[0].user.ADDTIME"));
    view.setCaption(Caption::Label3, shownValue(texts::kLabel3, "data.data[0].user.EXPIRETIME"));

    std::vector<ui::MailLine> mails = unlistedMails(data);
    for (ui::MailLine &mail : mails) {
        view.appendListItem(mail.shown(), mail.spoken());
        m_lastMailKey = mail.joined();
        m_listed.insert(m_lastMailKey);
        m_lines.push_back(std::move(mail));
    }
    return mails.size();
}

const ui::MailLine *Module1::line(int index) const
{
    return index >= 0 && static_cast<std::size_t>(index) < m_lines.size()
        ? &m_lines[static_cast<std::size_t>(index)]
        : nullptr;
}

std::vector<ui::MailLine> Module1::unlistedMails(const AnswerReader &data) const
{
    std::vector<ui::MailLine> mails;
    std::unordered_set<std::u16string> seen;
    for (int index = 0; index < kMailsReadPerRefresh; ++index) {
        const std::string entry = "data.data[0].list[" + std::to_string(index) + ']';
        if (!data.read(entry))
            break;
        const auto field = [&](std::string_view name) {
            return text::utf16FromUtf8(textForm(data.read(entry + '.' + std::string(name))));
        };
        const ui::MailLine mail {field("FROM"), field("SUBJECT"), field("MID")};
        if (mail.from.empty())
            continue;  // no mail (a null FROM counts as none)
        std::u16string line = mail.joined();
        if (m_listed.contains(line) || seen.contains(line))
            continue;
        seen.insert(std::move(line));
        mails.push_back(mail);
    }
    std::reverse(mails.begin(), mails.end());  // the list is newest first
    return mails;
}

void Module1::ShowMailContent(std::string answer, MainWindowView &view)
{
    std::string content;  // read, the answer and what was read of it freed, and made inert, aside
    readAside(answer.size(), [&] {
        {
            AnswerReader reader(answer);
            std::string().swap(answer);
            content = textForm(reader.take("data.data[0][1][0].DATA[0]"));
        }  // the rest of what was read goes here
        content = text::inertUtf8(std::move(content), text::Layout::LineBreaksKept);
    });
    view.showMailViewer(std::move(content));
}

}  // namespace venmarra
