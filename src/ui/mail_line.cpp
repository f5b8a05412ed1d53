#include "ui/mail_line.h"

#include "ui/display_text.h"
#include "ui/texts.h"

namespace venmarra::ui {

MailLine MailLine::shown() const
{
    return {displayLine(from), displayLine(subject), displayLine(mailId)};
}

std::u16string MailLine::spoken() const
{
    const std::u16string sender = spokenLine(from), title = spokenLine(subject);
    if (sender.empty() || title.empty())
        return sender + title;
    return sender + texts::kSpokenSeparator + title;
}

std::u16string MailLine::joined(bool isolateFields) const
{
    if (!isolateFields)
        return from + u'|' + subject + u'|' + mailId;
    // FIRST STRONG ISOLATE ... POP DIRECTIONAL ISOLATE around fields that hold no formatting of their own.
    const auto isolated = [](const std::u16string &field) {
        return u'\u2068' + field + u'\u2069';
    };
    return isolated(from) + u'|' + isolated(subject) + u'|' + isolated(mailId);
}

}  // namespace venmarra::ui
