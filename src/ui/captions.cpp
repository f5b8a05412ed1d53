#include "ui/captions.h"

#include "build_settings.h"
#include "service/text_encoding.h"

namespace venmarra::texts {

std::u16string mainWindowCaption()
{
    return u"Venmarra  - By " + utf16FromUtf8(build::kAuthorCredit);
}

}  // namespace venmarra::texts
