#include "Text.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace lanyx {

namespace {

char32_t lowerCp(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    switch (c) {
    case 0x160: return 0x161;
    case 0x152: return 0x153;
    case 0x17D: return 0x17E;
    case 0x178: return 0xFF;
    default: return c;
    }
}

// Walks the lower case of a text byte by byte, without building it. Two-byte
// sequences cover every upper-case letter we fold, and the lower case of each
// has the same length, so the lower-case text is as long as the text.
template <typename Emit> bool forEachLowerByte(std::string_view s, Emit emit) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            if (!emit(static_cast<char>((b >= 'A' && b <= 'Z') ? b + 32 : b))) return false;
            continue;
        }
        if ((b & 0xE0) == 0xC0 && i + 1 < s.size()) {
            const auto c = static_cast<unsigned char>(s[i + 1]);
            const char32_t cp = ((b & 0x1F) << 6) | (c & 0x3F);
            const char32_t lo = lowerCp(cp);
            if (lo != cp && lo < 0x800) {
                if (!emit(static_cast<char>(0xC0 | (lo >> 6))) || !emit(static_cast<char>(0x80 | (lo & 0x3F))))
                    return false;
            } else if (!emit(s[i]) || !emit(s[i + 1])) {
                return false;
            }
            ++i;
            continue;
        }
        if (!emit(s[i])) return false;
    }
    return true;
}

}  // namespace

std::string toLower(std::string_view s) {
    std::string out;
    out.resize(s.size());
    std::size_t n = 0;
    forEachLowerByte(s, [&](char c) {
        out[n++] = c;
        return true;
    });
    return out;
}

std::uint64_t hashNoCase(std::string_view s) {
    // FNV-1a, then a final mix so that the low bits (the bucket) depend on
    // every byte.
    std::uint64_t h = 1469598103934665603ull;
    forEachLowerByte(s, [&](char c) {
        h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        return true;
    });
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return h;
}

bool lowerEquals(std::string_view s, std::string_view lowerKey) {
    if (s.size() != lowerKey.size()) return false;
    std::size_t n = 0;
    return forEachLowerByte(s, [&](char c) { return lowerKey[n++] == c; });
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    bool ascii = true;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if ((x | y) & 0x80) {
            ascii = false;
            break;
        }
        const auto lx = (x >= 'A' && x <= 'Z') ? x + 32 : x;
        const auto ly = (y >= 'A' && y <= 'Z') ? y + 32 : y;
        if (lx != ly) return false;
    }
    return ascii || toLower(a) == toLower(b);
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::string_view trimBlanks(std::string_view s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(' ');
    return s.substr(b, e - b + 1);
}

std::int64_t leadingNumber(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
    std::int64_t v = 0;
    constexpr std::int64_t cap = std::numeric_limits<std::int64_t>::max() / 10 - 10;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        if (v < cap) v = v * 10 + (s[i] - '0');
    return neg ? -v : v;
}

std::optional<std::int64_t> parseNumber(std::string_view s) {
    s = trimBlanks(s);
    if (s.empty() || s.size() > 40) return std::nullopt;
    std::string text(s);
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E')) return std::nullopt;
    char* end = nullptr;
    const double d = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(d)) return std::nullopt;
    if (d > 9.2e18 || d < -9.2e18) return std::nullopt;
    return static_cast<std::int64_t>(std::nearbyint(d));
}

std::int32_t CountItems(std::string_view list) {
    std::int32_t n = 0;
    for (char c : list)
        if (c == '|') ++n;
    return n;
}

std::string GetItem(std::string_view list, std::int32_t n) {
    std::size_t start = 0;
    for (std::int32_t k = 1;; ++k) {
        const auto bar = list.find('|', start);
        if (bar == std::string_view::npos) return std::string(list.substr(start));
        if (k == n) return std::string(list.substr(start, bar - start));
        start = bar + 1;
    }
}

bool IsValidUserName(std::string_view name) {
    if (name.empty() || name.size() > kMaxUserName) return false;
    for (char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    return true;
}

std::string validUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t len = b < 0x80                  ? 1
                          : (b >= 0xC2 && b < 0xE0) ? 2
                          : (b >= 0xE0 && b < 0xF0) ? 3
                          : (b >= 0xF0 && b < 0xF5) ? 4
                                                    : 0;
        bool ok = len > 0 && i + len <= s.size();
        char32_t cp = len == 1 ? b : b & (0x7F >> len);
        for (std::size_t k = 1; ok && k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            ok = (c & 0xC0) == 0x80;
            cp = (cp << 6) | (c & 0x3F);
        }
        // The shortest form only, and no surrogate or value past the last plane.
        ok = ok && !(len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) &&
             !(len == 4 && (cp < 0x10000 || cp > 0x10FFFF));
        if (!ok) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        out.append(s.substr(i, len));
        i += len;
    }
    return out;
}

bool IsStorableText(std::string_view utf8) {
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x20 || c == 0x7F || c == '"') return false;
        // U+0080..U+009F: the C1 controls, as the five unassigned bytes decode.
        if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) return false;
    }
    return true;
}

}  // namespace lanyx
