// Code page 932 at the byte boundaries, through glibc's iconv tables.
#include "codec.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>

#include "error.h"

namespace platform::cp932 {

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw Error("code page 932 conversion is not available");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    enum class Stop { Done, Invalid, Incomplete };

    // Converts as much of [in, in + left) as it can, appending to out.
    Stop run(const char*& in, size_t& left, std::string& out) {
        char buffer[1024];
        while (left > 0) {
            char* src = const_cast<char*>(in);
            char* dst = buffer;
            size_t room = sizeof buffer;
            size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            in = src;
            if (r != static_cast<size_t>(-1)) continue;
            if (errno == E2BIG) continue;
            // The shift state must not carry over the sequence we are about to skip.
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            return errno == EINVAL ? Stop::Incomplete : Stop::Invalid;
        }
        return Stop::Done;
    }

private:
    iconv_t cd_;
};

// Length of the UTF-8 sequence a lead byte announces; 1 for a stray byte.
size_t utf8_length(unsigned char c) {
    if (c >= 0xF0 && c <= 0xF4) return 4;
    if (c >= 0xE0) return c <= 0xEF ? 3 : 1;
    if (c >= 0xC2) return 2;
    return 1;
}

bool is_lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool is_trail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

}  // namespace

std::string encode(const std::string& utf8) {
    Converter conv("CP932", "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    const char* in = utf8.data();
    size_t left = utf8.size();
    while (left > 0) {
        if (conv.run(in, left, out) == Converter::Stop::Done) break;
        // One character the code page lacks (or a broken UTF-8 sequence): one "?",
        // then carry on with the rest of the text.
        size_t skip = utf8_length(static_cast<unsigned char>(*in));
        for (size_t i = 1; i < skip && i < left; ++i) {
            if ((static_cast<unsigned char>(in[i]) & 0xC0) != 0x80) {
                skip = i;
                break;
            }
        }
        if (skip > left) skip = left;
        out += '?';
        in += skip;
        left -= skip;
    }
    return out;
}

std::string decode(const std::string& bytes) {
    Converter conv("UTF-8", "CP932");
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    const char* in = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        if (conv.run(in, left, out) == Converter::Stop::Done) break;
        // A well-formed pair without a character stands for one character; anything
        // else costs one byte, so an ASCII byte after a stray lead byte survives.
        size_t skip = 1;
        if (left >= 2 && is_lead(static_cast<unsigned char>(in[0])) && is_trail(static_cast<unsigned char>(in[1])))
            skip = 2;
        out += "\xEF\xBF\xBD";
        in += skip;
        left -= skip;
    }
    return out;
}

}  // namespace platform::cp932
