#include "linux/iconv_decoder.h"

#include "text/charset_name.h"
#include "text/utf.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <memory>

namespace venmarra {
namespace {

constexpr const char *kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

struct IconvCloser {
    void operator()(iconv_t converter) const { iconv_close(converter); }
};
using Converter = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// GBK is decoded as GB18030, its superset, which reports every byte that is not valid.
std::string iconvName(std::string_view charset)
{
    const std::string name = text::canonicalCharset(charset);
    return name == "gbk" ? "GB18030" : name;
}

Converter openConverter(std::string_view charset)
{
    const iconv_t converter = iconv_open(kUtf16, iconvName(charset).c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    return Converter(converter);
}

}  // namespace

std::optional<std::u16string> IconvDecoder::decode(std::string_view bytes, std::string_view charset) const
{
    const Converter converter = openConverter(charset);
    if (!converter)
        return std::nullopt;
    std::u16string decoded(bytes.size() + 1, u'\0');  // no charset takes fewer bytes than units
    char *in = const_cast<char *>(bytes.data());  // iconv's interface; the bytes are only read
    std::size_t inLeft = bytes.size();
    std::size_t written = 0;
    while (inLeft > 0) {
        char *out = reinterpret_cast<char *>(decoded.data() + written);
        std::size_t outLeft = (decoded.size() - written) * sizeof(char16_t);
        const std::size_t done = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
        written = decoded.size() - outLeft / sizeof(char16_t);
        if (done != std::size_t(-1))
            break;
        if (errno == E2BIG) {
            decoded.resize(decoded.size() * 2);
            continue;
        }
        // An invalid byte (EILSEQ), or an incomplete sequence at the end (EINVAL).
        if (written == decoded.size())
            decoded.resize(decoded.size() * 2);
        decoded[written++] = static_cast<char16_t>(text::kReplacementCharacter);
        ++in;
        --inLeft;
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
    decoded.resize(written);
    return decoded;
}

}  // namespace venmarra
