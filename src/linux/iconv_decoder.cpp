#include "linux/iconv_decoder.h"

#include "service/text_encoding.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <memory>

namespace venmarra {
namespace {

constexpr const char *kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacement = 0xFFFD;

struct IconvCloser {
    void operator()(iconv_t converter) const { iconv_close(converter); }
};
using Converter = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

std::string canonicalCharset(std::string_view charset)
{
    const std::string lower = asciiLower(charset);
    if (lower == "gbk" || lower == "gb2312" || lower == "x-gbk" || lower == "cp936")
        return "GB18030";
    return std::string(charset);
}

Converter openConverter(std::string_view charset)
{
    const iconv_t converter = iconv_open(kUtf16, canonicalCharset(charset).c_str());
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
    std::u16string text(bytes.size() + 1, u'\0');  // no charset takes fewer bytes than units
    char *in = const_cast<char *>(bytes.data());  // iconv's interface; the bytes are only read
    std::size_t inLeft = bytes.size();
    std::size_t written = 0;
    while (inLeft > 0) {
        char *out = reinterpret_cast<char *>(text.data() + written);
        std::size_t outLeft = (text.size() - written) * sizeof(char16_t);
        const std::size_t done = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
        written = text.size() - outLeft / sizeof(char16_t);
        if (done != std::size_t(-1))
            break;
        if (errno == E2BIG) {
            text.resize(text.size() * 2);
            continue;
        }
        // An invalid byte (EILSEQ), or an incomplete sequence at the end (EINVAL).
        if (written == text.size())
            text.resize(text.size() * 2);
        text[written++] = kReplacement;
        ++in;
        --inLeft;
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
    }
    text.resize(written);
    return text;
}

}  // namespace venmarra
