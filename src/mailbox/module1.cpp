#include "mailbox/module1.h"

#include "mailbox/texts.h"
#include "text/inert.h"
#include "text/utf.h"
#include "ui/display_text.h"

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

std::size_t Module1::ParseRefreshResponse(std::u16string_view answer, MainWindowView &view)
{
    std::optional<AnswerReader> parsed;
    readAside(answer.size(), [&] { parsed.emplace(answer); });
    const AnswerReader &data = *parsed;
    const auto value = [&](std::u16string_view expression) {
        return textForm(data.read(expression));
    };

    // What the service sends is shown as inert text, cut to what a label can show.
    const auto shownValue = [&](std::u16string_view prefix, std::u16string_view expression) {
        return ui::displayLine(std::u16string(prefix) + value(expression));
    };
    view.setCaption(Caption::Label5, shownValue(texts::kUserPrefix, u"data.data[0].user.USER"));
    const bool available = value(u"data.data[0].user.STATUS") == u"1";
    view.setCaption(Caption::Label6, available ? texts::kAvailable : texts::kUnavailable);
    view.setCaption(Caption::Label2, shownValue(texts::kStartTimePrefix, u"data.data[0].user.ADDTIME"));
    view.setCaption(Caption::Label3, shownValue(texts::kEndTimePrefix, u"data.data[0].user.EXPIRETIME"));

    std::vector<MailLine> mails = unlistedMails(data);
    for (MailLine &mail : mails) {
        view.appendListItem(ui::listLine(mail.from, mail.subject, mail.mailId));
        m_lastMailKey = mail.text();
        m_listed.insert(m_lastMailKey);
        m_lines.push_back(std::move(mail));
    }
    return mails.size();
}

const MailLine *Module1::line(int index) const
{
    return index >= 0 && std::size_t(index) < m_lines.size() ? &m_lines[std::size_t(index)] : nullptr;
}

std::vector<MailLine> Module1::unlistedMails(const AnswerReader &data) const
{
    std::vector<MailLine> mails;
    std::unordered_set<std::u16string> seen;
    for (int index = 0; index < kMailsReadPerRefresh; ++index) {
        const std::u16string entry
            = u"data.data[0].list[" + text::utf16FromLatin1(std::to_string(index)) + u']';
        if (!data.read(entry))
            break;
        const auto field = [&](std::u16string_view name) {
            return textForm(data.read(entry + u'.' + std::u16string(name)));
        };
        const MailLine mail {field(u"FROM"), field(u"SUBJECT"), field(u"MID")};
        if (mail.from.empty())
            continue;  // no mail (a null FROM counts as none)
        std::u16string line = mail.text();
        if (m_listed.contains(line) || seen.contains(line))
            continue;
        seen.insert(std::move(line));
        mails.push_back(mail);
    }
    std::reverse(mails.begin(), mails.end());  // the list is newest first
    return mails;
}

void Module1::ShowMailContent(std::u16string answer, MainWindowView &view)
{
    std::u16string content;  // read, and the answer's tree freed, aside
    readAside(answer.size(), [&] {
        const AnswerReader reader(answer);
        std::u16string().swap(answer);
        content = textForm(reader.read(u"data.data[0][1][0].DATA[0]"));
    });
    view.showMailViewer(text::inert(std::move(content), text::Layout::LineBreaksKept));
}

}  // namespace venmarra
