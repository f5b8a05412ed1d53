#include "mailbox/module1.h"

#include "mailbox/texts.h"

#include <algorithm>
#include <optional>

namespace venmarra {

using Caption = MainWindowView::Caption;

AnswerReader Module1::read(const QString &answer) const
{
    if (!m_offload || answer.size() <= kOffloadAbove)
        return AnswerReader(answer);
    std::optional<AnswerReader> parsed;
    m_offload([&] { parsed.emplace(answer); });
    return std::move(*parsed);
}

void Module1::ParseRefreshResponse(const QString &answer, MainWindowView &view)
{
    const AnswerReader data = read(answer);
    const auto value = [&](QStringView expression) {
        return textForm(data.read(expression));
    };

    view.setCaption(Caption::Label5, texts::text(texts::kUserPrefix) + value(u"data.data[0].user.USER"));
    const bool available = value(u"data.data[0].user.STATUS") == QStringLiteral("1");
    view.setCaption(Caption::Label6,
                    available ? texts::text(texts::kAvailable) : texts::text(texts::kUnavailable));
    view.setCaption(Caption::Label2,
                    texts::text(texts::kStartTimePrefix) + value(u"data.data[0].user.ADDTIME"));
    view.setCaption(Caption::Label3,
                    texts::text(texts::kEndTimePrefix) + value(u"data.data[0].user.EXPIRETIME"));

    for (const MailLine &mail : unlistedMails(data)) {
        view.appendListItem(mail);
        m_lastMailKey = mail.text();
        m_listed.insert(m_lastMailKey);
    }
}

std::vector<MailLine> Module1::unlistedMails(const AnswerReader &data) const
{
    std::vector<MailLine> mails;
    QSet<QString> seen;
    for (int index = 0; index < kMailsReadPerRefresh; ++index) {
        const QString entry = QStringLiteral("data.data[0].list[%1]").arg(index);
        if (!data.read(entry))
            break;
        const auto field = [&](const char16_t *name) {
            return textForm(data.read(entry + u'.' + QString::fromUtf16(name)));
        };
        const MailLine mail {field(u"FROM"), field(u"SUBJECT"), field(u"MID")};
        if (mail.from.isEmpty())
            continue;  // no mail (a null FROM counts as none)
        const QString line = mail.text();
        if (m_listed.contains(line) || seen.contains(line))
            continue;
        seen.insert(line);
        mails.push_back(mail);
    }
    std::reverse(mails.begin(), mails.end());  // the list is newest first
    return mails;
}

void Module1::ShowMailContent(const QString &answer, MainWindowView &view)
{
    const AnswerReader data = read(answer);
    const QString content = textForm(data.read(u"data.data[0][1][0].DATA[0]"));
    view.showMailViewer(content);
}

}  // namespace venmarra
