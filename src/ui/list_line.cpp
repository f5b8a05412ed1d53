#include "ui/list_line.h"

#include "ui/display_text.h"

namespace venmarra::ui {

ListLine listLine(std::u16string_view from, std::u16string_view subject, std::u16string_view mailId)
{
    const auto shown = [](std::u16string_view field) {
        return ui::displayLine(std::u16string(field));
    };
    return {shown(from), shown(subject), shown(mailId)};
}

std::u16string ListLine::joined(bool isolateFields) const
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
