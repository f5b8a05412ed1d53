// The Linux program's charset decoding of an answer over any bytes and charset name: well-formed
// UTF-8 always; one charset's names decode alike, whatever their letter case; UTF-8 (named, or
// for a name no decoder knows) by the rules of text; and a byte that no character of the charset
// can hold (a control or a space in UTF-8 and GB18030) is never taken into one.
#include "linux/iconv_decoder.h"
#include "properties.h"
#include "service/charset.h"
#include "text/charset_name.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

namespace {

using namespace venmarra;
using fuzz::require;

std::string decoded(std::string_view bytes, const std::string &charset)
{
    static const IconvDecoder decoder;
    return decodeAnswerBody(std::string(bytes), "text/plain; charset=\"" + charset + "\"", decoder);
}

// The bytes below `limit`, in order.
std::string below(std::string_view text, unsigned char limit)
{
    std::string kept;
    for (const char c : text)
        if (static_cast<unsigned char>(c) < limit)
            kept.push_back(c);
    return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const char *const kNames[]
        = {"utf-8", "UTF8",      "gbk",        "GB2312", "x-gbk",    "cp936",   "gb18030",
           "big5",  "shift_jis", "iso-8859-7", "koi8-r", "utf-16le", "nonsense"};
    FuzzedDataProvider input(data, size);
    const std::string name
        = input.ConsumeBool() ? input.PickValueInArray(kNames) : input.ConsumeRandomLengthString(16);
    const std::string bytes = input.ConsumeRemainingBytesAsString();
    const std::string text = decoded(bytes, name);
    require(text::isValidUtf8(text));
    require(decoded(bytes, " " + text::asciiUpper(name) + " ") == text);
    const std::string canonical = text::canonicalCharset(name);
    if (canonical == "gbk")
        require(decoded(bytes, "GBK") == text && decoded(bytes, "cp936") == text);
    if (canonical == "utf-8" || canonical == "nonsense")
        require(text == text::validUtf8(bytes) && below(text, 0x80) == below(bytes, 0x80));
    if (canonical == "gbk" || canonical == "gb18030")
        require(below(text, 0x30) == below(bytes, 0x30));
    return 0;
}
