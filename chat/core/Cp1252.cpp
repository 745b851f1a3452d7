#include "Cp1252.h"

#include <array>
#include <cstdint>

namespace lanyx::cp1252 {
namespace {

// 0x80..0x9F; the unassigned slots keep their C1 value.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int byteFor(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
    return '?';
}

}  // namespace

std::string toUtf8(std::string_view bytes) {
    // Sized first: a settings file of many megabytes must not take three
    // times its size while it is read.
    std::size_t size = bytes.size();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x80) size += (b < 0xA0 && kHigh[b - 0x80] >= 0x800) ? 2 : 1;
    }
    std::string out;
    out.resize(size);
    char* o = out.data();
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            *o++ = ch;
            continue;
        }
        const char32_t cp = b < 0xA0 ? kHigh[b - 0x80] : b;
        if (cp < 0x800) {
            *o++ = static_cast<char>(0xC0 | (cp >> 6));
            *o++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            *o++ = static_cast<char>(0xE0 | (cp >> 12));
            *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string fromUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        int len = (b >= 0xF0 && b < 0xF8) ? 4 : (b >= 0xE0) && b < 0xF0 ? 3 : (b >= 0xC2 && b < 0xE0) ? 2 : 0;
        if (len == 0 || i + len > s.size()) {
            out.push_back('?');
            ++i;
            continue;
        }
        char32_t cp = b & (0x7F >> len);
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) {
            out.push_back('?');
            ++i;
            continue;
        }
        out.push_back(static_cast<char>(byteFor(cp)));
        i += len;
    }
    return out;
}

}  // namespace lanyx::cp1252
