#include "ui/mail_line.h"

#include "ui/display_text.h"

namespace venmarra::ui {

std::u16string MailLine::shown(bool isolateFields) const
{
    if (!isolateFields)
        return displayLine(text());
    return isolatedField(from) + u'|' + isolatedField(subject) + u'|' + isolatedField(mailId);
}

}  // namespace venmarra::ui
