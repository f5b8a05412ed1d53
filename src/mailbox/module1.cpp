#include "mailbox/module1.h"

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
    const auto text = [&](QStringView expression) {
        return textForm(data.read(expression));
    };

    view.setCaption(Caption::Label5, QStringLiteral("用户名：") + text(u"data.data[0].user.USER"));
    const bool available = text(u"data.data[0].user.STATUS") == QStringLiteral("1");
    view.setCaption(Caption::Label6,
                    available ? QStringLiteral("是否可用：可用") : QStringLiteral("是否可用：不可用"));
    view.setCaption(Caption::Label2, QStringLiteral("开始时间：") + text(u"data.data[0].user.ADDTIME"));
    view.setCaption(Caption::Label3, QStringLiteral("结束时间：") + text(u"data.data[0].user.EXPIRETIME"));

    const QString from = text(u"data.data[0].list[0].FROM");
    if (from.isEmpty())
        return;  // no mail (a null FROM counts as none)
    const MailLine mail {from, text(u"data.data[0].list[0].SUBJECT"), text(u"data.data[0].list[0].MID")};
    const QString line = mail.text();
    if (line == m_lastMailKey)
        return;
    view.appendListItem(mail);
    m_lastMailKey = line;
}

void Module1::ShowMailContent(const QString &answer, MainWindowView &view)
{
    const AnswerReader data = read(answer);
    const QString content = textForm(data.read(u"data.data[0][1][0].DATA[0]"));
    view.showMailViewer(content);
}

}  // namespace venmarra
