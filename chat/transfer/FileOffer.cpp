#include "FileOffer.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <random>
#include <unordered_map>

namespace lanyx::transfer {

bool ParseCount(std::string_view s, std::uint64_t& out) {
    if (s.empty() || s.size() > 20 || (s.size() > 1 && s[0] == '0')) return false;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size();
}

namespace {

bool isHexLower(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

std::vector<std::string_view> split(std::string_view s, char sep) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        auto at = s.find(sep, start);
        parts.push_back(s.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Well-formed UTF-8 without overlong forms or surrogates.
bool validUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        std::size_t n;
        std::uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if ((c & 0xE0) == 0xC0) {
            n = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            n = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            n = 3;
            cp = c & 0x07;
        } else return false;
        for (std::size_t k = 1; k <= n; ++k) {
            if (i + k >= s.size()) return false;
            auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        static constexpr std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += n + 1;
    }
    return true;
}

bool iequals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Names Windows keeps for devices, with or without an extension.
bool reservedDeviceName(std::string_view component) {
    auto stem = component.substr(0, component.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    for (const char* name : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (iequals(stem, name)) return true;
    if (stem.size() == 4 && (iequals(stem.substr(0, 3), "COM") || iequals(stem.substr(0, 3), "LPT")) &&
        stem[3] >= '0' && stem[3] <= '9')
        return true;
    return false;
}

}  // namespace

std::string EncodeName(std::string_view name) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    out.reserve(name.size());
    for (char ch : name) {
        auto c = static_cast<unsigned char>(ch);
        if (c <= 0x20 || c >= 0x7F || c == '%' || c == ';' || c == ',' || c == '|') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

std::optional<std::string> DecodeName(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c == '%') {
            if (i + 2 >= text.size()) return std::nullopt;
            int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
            if (hi < 0 || lo < 0) return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else if (c <= 0x20 || c >= 0x7F || c == ';' || c == ',' || c == '|') {
            return std::nullopt;  // must have been encoded
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string NewTransferId() {
    std::random_device rd;
    static const char* hex = "0123456789abcdef";
    std::string id;
    for (int i = 0; i < 8; ++i) {
        auto v = static_cast<std::uint32_t>(rd());
        for (int k = 0; k < 4; ++k) id += hex[(v >> (k * 4)) & 15];
    }
    return id;
}

std::string FormatOffer(const Offer& offer) {
    std::string text = "v1;id=" + offer.id + ";port=" + std::to_string(offer.port) +
                       ";files=" + std::to_string(offer.files) + ";bytes=" + std::to_string(offer.bytes) + ";names=";
    std::string tail;
    // Offers name IPv4 addresses alone: a receiver of an earlier build
    // refuses an offer with any other.
    std::size_t written = 0;
    for (const auto& a : offer.addresses) {
        if (!a.isV4() || written == kMaxOfferAddresses) continue;
        tail += (written++ ? "," : ";from=") + a.toString();
    }
    if (offer.tops) tail += ";tops=" + std::to_string(offer.tops);
    if (IsTransferId(offer.same)) tail += ";same=" + offer.same;
    for (std::size_t i = 0; i < offer.names.size() && i < kMaxOfferNames; ++i) {
        auto encoded = EncodeName(offer.names[i]);
        // The count still tells the rest.
        if (text.size() + encoded.size() + 1 + tail.size() > kMaxOfferText) break;
        if (i) text += ',';
        text += encoded;
    }
    return text + tail;
}

const char* StopReasonCode(StopReason reason) {
    switch (reason) {
    case StopReason::None: return "";
    case StopReason::Cancelled: return "cancelled";
    case StopReason::DiskFull: return "disk-full";
    case StopReason::CannotWrite: return "cannot-write";
    case StopReason::Damaged: return "damaged";
    case StopReason::Refused: return "refused";
    case StopReason::Busy: return "busy";
    case StopReason::Failed: return "failed";
    }
    return "failed";
}

StopReason ParseStopReason(std::string_view code) {
    if (code.empty()) return StopReason::None;
    for (auto r : {StopReason::Cancelled, StopReason::DiskFull, StopReason::CannotWrite, StopReason::Damaged,
                   StopReason::Refused, StopReason::Busy})
        if (code == StopReasonCode(r)) return r;
    return StopReason::Failed;
}

bool IsTransferId(std::string_view text) {
    return text.size() == 32 && isHexLower(text);
}

std::optional<Offer> ParseOffer(std::string_view text) {
    if (text.size() > kMaxOfferText) return std::nullopt;
    auto fields = split(text, ';');
    // Fields come in this order; later versions may add fields after them.
    static constexpr std::string_view keys[] = {"id=", "port=", "files=", "bytes=", "names="};
    if (fields.size() < 6 || fields[0] != "v1") return std::nullopt;
    for (std::size_t i = 0; i < 5; ++i)
        if (fields[i + 1].substr(0, keys[i].size()) != keys[i]) return std::nullopt;
    auto value = [&](std::size_t i) { return fields[i + 1].substr(keys[i].size()); };

    Offer offer;
    offer.id = std::string(value(0));
    if (!IsTransferId(offer.id)) return std::nullopt;
    std::uint64_t port = 0;
    if (!ParseCount(value(1), port) || port == 0 || port > 65535) return std::nullopt;
    offer.port = static_cast<std::uint16_t>(port);
    if (!ParseCount(value(2), offer.files) || !ParseCount(value(3), offer.bytes)) return std::nullopt;
    if (offer.files > kMaxEntries) return std::nullopt;
    if (!value(4).empty()) {
        for (auto part : split(value(4), ',')) {
            auto name = DecodeName(part);
            if (!name || offer.names.size() == kMaxOfferNames) return std::nullopt;
            // A top-level name is a single component.
            if (CheckRelativePath(*name) != PathError::None || name->find('/') != std::string::npos)
                return std::nullopt;
            offer.names.push_back(std::move(*name));
        }
    }
    if (offer.names.empty()) return std::nullopt;
    // Fields of later builds; each at most once.
    bool from = false;
    for (std::size_t i = 6; i < fields.size(); ++i) {
        const auto field = fields[i];
        if (field.substr(0, 5) == "from=" && !from) {
            from = true;
            for (auto part : split(field.substr(5), ',')) {
                auto address = IpAddress::parseV4(part);
                if (!address || offer.addresses.size() == kMaxOfferAddresses) return std::nullopt;
                offer.addresses.push_back(*address);
            }
        } else if (field.substr(0, 5) == "tops=" && !offer.tops) {
            if (!ParseCount(field.substr(5), offer.tops) || offer.tops == 0 || offer.tops > kMaxEntries ||
                offer.tops < offer.names.size())
                return std::nullopt;
        } else if (field.substr(0, 5) == "same=" && offer.same.empty()) {
            if (!IsTransferId(field.substr(5))) return std::nullopt;
            offer.same = std::string(field.substr(5));
        } else if (field.substr(0, 5) == "from=" || field.substr(0, 5) == "tops=" || field.substr(0, 5) == "same=") {
            return std::nullopt;
        }
    }
    return offer;
}

PathError CheckRelativePath(std::string_view path) {
    if (path.empty()) return PathError::Empty;
    if (path.size() > kMaxPathBytes) return PathError::TooLong;
    if (path[0] == '/' || path[0] == '\\') return PathError::Absolute;
    if (path.size() >= 2 && path[1] == ':') return PathError::Absolute;
    for (char ch : path) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) return PathError::Control;
        if (c == '\\') return PathError::Separator;
    }
    if (!validUtf8(path)) return PathError::Control;
    auto parts = split(path, '/');
    if (parts.size() > kMaxDepth) return PathError::TooDeep;
    for (auto part : parts) {
        if (part.empty()) return PathError::Separator;
        if (part == "." || part == "..") return PathError::DotDot;
        if (part.size() > kMaxNameBytes) return PathError::TooLong;
        if (part.find_first_of("<>:\"|?*") != std::string_view::npos) return PathError::Reserved;
        if (part.back() == '.' || part.back() == ' ') return PathError::Reserved;
        if (reservedDeviceName(part)) return PathError::Reserved;
    }
    return PathError::None;
}

const char* PathErrorText(PathError error) {
    switch (error) {
    case PathError::None: return "ok";
    case PathError::Empty: return "an empty name";
    case PathError::Absolute: return "an absolute path";
    case PathError::DotDot: return "a path that leaves its folder";
    case PathError::Separator: return "a badly formed path";
    case PathError::Control: return "a name with control characters or invalid text";
    case PathError::Reserved: return "a name this system reserves";
    case PathError::TooLong: return "a name that is too long";
    case PathError::TooDeep: return "folders nested too deep";
    }
    return "a bad name";
}

std::string FormatManifest(const std::vector<Entry>& entries) {
    std::string text;
    for (const auto& e : entries) {
        if (e.folder) text += "D " + EncodeName(e.path) + "\n";
        else text += "F " + std::to_string(e.size) + " " + EncodeName(e.path) + "\n";
    }
    return text;
}

ManifestResult ParseManifest(std::string_view text, const Offer& offer) {
    ManifestResult result;
    auto fail = [&](ManifestError error, std::size_t line) {
        ManifestResult r;
        r.error = error;
        r.line = line;
        return r;
    };
    // Folders listed so far, and every path seen (case-folded ASCII, so that
    // a case-insensitive file system cannot merge two entries).
    std::unordered_map<std::string, bool> seen;  // path -> folder
    auto fold = [](std::string s) {
        for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return s;
    };
    std::uint64_t files = 0, bytes = 0;
    std::size_t lineNo = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) return fail(ManifestError::Syntax, lineNo + 1);  // unterminated
        auto line = text.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (result.entries.size() >= kMaxEntries) return fail(ManifestError::TooMany, lineNo);
        Entry entry;
        std::string_view encoded;
        if (line.substr(0, 2) == "D ") {
            entry.folder = true;
            encoded = line.substr(2);
        } else if (line.substr(0, 2) == "F ") {
            auto rest = line.substr(2);
            auto space = rest.find(' ');
            if (space == std::string_view::npos || !ParseCount(rest.substr(0, space), entry.size))
                return fail(ManifestError::Syntax, lineNo);
            encoded = rest.substr(space + 1);
        } else {
            return fail(ManifestError::Syntax, lineNo);
        }
        auto path = DecodeName(encoded);
        if (!path) return fail(ManifestError::Syntax, lineNo);
        // Names ending like our temporary files could meet a partial file.
        if (CheckRelativePath(*path) != PathError::None ||
            (path->size() >= 11 && path->compare(path->size() - 11, 11, ".lanyx-part") == 0))
            return fail(ManifestError::BadPath, lineNo);
        entry.path = std::move(*path);
        auto key = fold(entry.path);
        if (seen.count(key)) return fail(ManifestError::Duplicate, lineNo);
        auto slash = key.rfind('/');
        if (slash != std::string::npos) {
            auto parent = seen.find(key.substr(0, slash));
            if (parent == seen.end() || !parent->second) return fail(ManifestError::NoParent, lineNo);
        }
        seen.emplace(std::move(key), entry.folder);
        if (!entry.folder) {
            ++files;
            if (entry.size > offer.bytes - std::min(bytes, offer.bytes))
                return fail(ManifestError::SizeMismatch, lineNo);
            bytes += entry.size;
        }
        result.entries.push_back(std::move(entry));
    }
    if (files != offer.files || bytes != offer.bytes) return fail(ManifestError::SizeMismatch, lineNo);
    return result;
}

}  // namespace lanyx::transfer
