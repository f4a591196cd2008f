#include "platform/CodePage.h"
#include "platform/CodePageBytes.h"

#include <iconv.h>
#include <string>
#include <string_view>

// glibc's CP936 is the Windows code page 936 table (GBK with the euro sign at 0x80).
namespace veskard::platform::detail {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from)
        : handle_(::iconv_open(to, from)) {}
    ~Converter() {
        if (valid())
            ::iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // The whole input (one character at most) converted, or nothing when any
    // part of it has no equivalent.
    std::optional<std::string> convert(std::string_view input) {
        if (!valid())
            return std::nullopt;
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char output[8];
        char* out = output;
        std::size_t outLeft = sizeof output;
        if (::iconv(handle_, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
            inLeft != 0)
            return std::nullopt;
        return std::string(output, sizeof output - outLeft);
    }

private:
    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle_;
};

} // namespace

std::string unitToCodePageBytes(char16_t unit) {
    const char input[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return Converter("CP936", "UTF-16LE").convert({input, 2}).value_or(std::string());
}

std::optional<char16_t> codePageBytesToUnit(std::span<const char> bytes) {
    const std::optional<std::string> units =
        Converter("UTF-16LE", "CP936").convert({bytes.data(), bytes.size()});
    if (!units || units->size() != 2)
        return std::nullopt;
    return static_cast<char16_t>(static_cast<unsigned char>((*units)[0]) |
                                 static_cast<unsigned char>((*units)[1]) << 8);
}

// glibc names the Windows code pages "CP" and their number (CP437, CP850,
// CP932, CP936, CP949, CP950, CP1252, ...).
std::optional<std::string> characterToCodePage(std::u16string_view character, unsigned codePage) {
    const std::string name = codePage == 65001 ? "UTF-8" : "CP" + std::to_string(codePage);
    std::string input;
    for (const char16_t unit : character)
        input += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return Converter(name.c_str(), "UTF-16LE").convert(input);
}

} // namespace veskard::platform::detail

namespace veskard::platform {

unsigned consoleCodePage() {
    return 936;
}

} // namespace veskard::platform
