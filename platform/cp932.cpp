// Code page 932 through glibc's iconv ("CP932", Microsoft's mapping).
#include "platform/cp932.h"

#include "platform/cp932_detail.h"

#include <cerrno>
#include <iconv.h>
#include <string>

namespace pelmora {

namespace {

using namespace cp932_detail;

// Owns one iconv conversion descriptor.
class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw CodecError(std::string("文字コードの変換 (") + from + " から " + to +
                             ") が使えません。");
        }
    }
    ~IconvHandle() { iconv_close(cd_); }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Converts the whole input; `what` names the input encoding for messages.
std::string Convert(std::string_view input, const char* to, const char* from, const char* what) {
    IconvHandle handle(to, from);
    const bool fromUtf8 = std::string_view(from) == "UTF-8";
    std::string out;
    out.reserve(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(handle.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc == static_cast<std::size_t>(-1)) {
            const int error = errno;
            if (error == E2BIG) {
                continue;
            }
            const std::size_t offset = input.size() - inLeft;
            if (error == EINVAL) {
                ThrowIncomplete(what, input, offset);
            }
            if (error == EILSEQ) {
                const std::size_t length = fromUtf8 ? Utf8SequenceLength(input, offset) : 0;
                if (length > 0) {
                    ThrowUnrepresentable(input, offset, length);
                }
                ThrowInvalid(what, input, offset);
            }
            throw CodecError("文字コードを変換できません (先頭から " + std::to_string(offset) +
                             " バイトの位置)。");
        }
    }
    // Flush any shift state (none for these encodings, but harmless).
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(handle.get(), nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    return out;
}

} // namespace

std::string SjisToUtf8(std::string_view sjis) {
    return Convert(sjis, "UTF-8", "CP932", "Shift-JIS");
}

std::string Utf8ToSjis(std::string_view utf8) {
    return Convert(utf8, "CP932", "UTF-8", "UTF-8");
}

} // namespace pelmora
