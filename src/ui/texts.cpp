#include "ui/texts.h"

#include "build_settings.h"
#include "text/utf.h"

namespace venmarra::texts {

std::u16string mainWindowCaption()
{
    return u"Venmarra  - By " + text::utf16FromUtf8(build::kAuthorCredit);
}

}  // namespace venmarra::texts
