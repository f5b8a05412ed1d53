#include "linux/iconv_decoder.h"

#include "text/charset_name.h"
#include "text/utf.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace venmarra {
namespace {

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
    const iconv_t converter = iconv_open("UTF-8", iconvName(charset).c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    return Converter(converter);
}

}  // namespace

std::optional<std::string> IconvDecoder::decode(std::string_view bytes, std::string_view charset) const
{
    const Converter converter = openConverter(charset);
    if (!converter)
        return std::nullopt;
    std::string replacement;
    text::appendUtf8(replacement, text::kReplacementCharacter);
    std::string decoded(bytes.size() + bytes.size() / 2 + replacement.size(), '\0');  // grown as needed
    char *in = const_cast<char *>(bytes.data());  // iconv's interface; the bytes are only read
    std::size_t inLeft = bytes.size();
    std::size_t written = 0;
    while (inLeft > 0) {
        char *out = decoded.data() + written;
        std::size_t outLeft = decoded.size() - written;
        const std::size_t done = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
        written = decoded.size() - outLeft;
        if (done != static_cast<std::size_t>(-1))
            break;
        if (errno != E2BIG) {  // an invalid byte (EILSEQ), or a sequence cut by the end (EINVAL)
            if (decoded.size() - written < replacement.size())
                decoded.resize(decoded.size() * 2);
            decoded.replace(written, replacement.size(), replacement);
            written += replacement.size();
            ++in;
            --inLeft;
            iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
        } else {
            decoded.resize(decoded.size() * 2);
        }
    }
    decoded.resize(written);
    return decoded;
}

}  // namespace venmarra
