#include "ui/texts.h"

#include "build_settings.h"
#include "text/utf.h"

namespace venmarra::texts {

std::u16string mainWindowCaption()
{
    return u"Venmarra  - By " + text::utf16FromUtf8(build::kAuthorCredit);
}

std::u16string mailboxReady(std::u16string_view address)
{
    return kCreated + std::u16string(u"：") + std::u16string(address);
}

std::u16string newMail(std::size_t count, std::u16string_view first)
{
    if (count == 1)
        return u"新邮件：" + std::u16string(first);
    return text::utf16FromUtf8(std::to_string(count)) + u" 封新邮件，第一封：" + std::u16string(first);
}

}  // namespace venmarra::texts
