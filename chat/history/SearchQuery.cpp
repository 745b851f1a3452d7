#include "SearchQuery.h"

#include <cstdint>

namespace lanyx::history {

namespace {

// One code point from UTF-8; a byte that starts no valid sequence is taken
// as itself (and counts as a letter: better a search that finds nothing than
// a word silently dropped).
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    const auto b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || i + static_cast<std::size_t>(len) > s.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; k < len; ++k) {
        const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    i += static_cast<std::size_t>(len);
    return cp;
}

// Punctuation and symbols, which the index takes as separators.
bool isSeparator(char32_t c) {
    if (c < 0x80) return !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
    if (c < 0xC0)
        return !(c == 0xAA || c == 0xB2 || c == 0xB3 || c == 0xB5 || c == 0xB9 || c == 0xBA ||
                 (c >= 0xBC && c <= 0xBE));
    if (c == 0xD7 || c == 0xF7) return true;
    return (c >= 0x2000 && c <= 0x206F) || (c >= 0x20A0 && c <= 0x20CF) || (c >= 0x2190 && c <= 0x2BFF) ||
           (c >= 0x3000 && c <= 0x303F) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF0F) ||
           (c >= 0x1F000 && c <= 0x1FAFF);
}

bool isBlank(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F;
}

std::string quoted(const SearchTerm& t) {
    std::string out = QuoteForMatch(t.text);
    if (t.prefix) out += '*';
    return out;
}

}  // namespace

bool HasWordCharacter(std::string_view s) {
    for (std::size_t i = 0; i < s.size();)
        if (!isSeparator(nextCodePoint(s, i))) return true;
    return false;
}

std::string QuoteForMatch(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (const char c : text) {
        // A quote inside a string is written twice; a NUL would end the text early.
        if (c == '"') out += '"';
        out += c == '\0' ? ' ' : c;
    }
    out += '"';
    return out;
}

ParsedSearch ParseSearch(std::string_view query, SearchOptions options) {
    ParsedSearch out;
    if (query.size() > kMaxQueryBytes) {
        query = query.substr(0, kMaxQueryBytes);
        // Not in the middle of a character.
        while (!query.empty() && (static_cast<unsigned char>(query.back()) & 0xC0) == 0x80) query.remove_suffix(1);
        if (!query.empty() && static_cast<unsigned char>(query.back()) >= 0xC0) query.remove_suffix(1);
    }
    std::size_t terms = 0;
    bool orPending = false;          // "OR" came after a term that may take a partner
    bool lastPositive = false;       // the last thing read was a required term
    SearchTerm* lastWord = nullptr;  // the last term read, when a bare word
    bool endsInWord = false;

    std::size_t i = 0;
    while (i < query.size()) {
        if (isBlank(query[i])) {
            ++i;
            endsInWord = false;
            continue;
        }
        bool negated = false;
        if (query[i] == '-' && i + 1 < query.size() && !isBlank(query[i + 1])) {
            negated = true;
            ++i;
        }
        SearchTerm term;
        if (query[i] == '"') {
            const auto close = query.find('"', i + 1);
            const auto end = close == std::string_view::npos ? query.size() : close;
            term.text = std::string(query.substr(i + 1, end - i - 1));
            term.phrase = true;
            i = close == std::string_view::npos ? query.size() : close + 1;
            endsInWord = false;
        } else {
            const auto start = i;
            while (i < query.size() && !isBlank(query[i]) && query[i] != '"') ++i;
            term.text = std::string(query.substr(start, i - start));
            endsInWord = true;
        }
        lastWord = nullptr;
        if (!negated && !term.phrase && term.text == "OR") {
            orPending = lastPositive;
            continue;
        }
        if (!HasWordCharacter(term.text) || terms >= kMaxTerms) {
            // Nothing the index could find: as if it had not been typed.
            continue;
        }
        ++terms;
        if (negated) {
            out.excluded.push_back(std::move(term));
            orPending = lastPositive = false;
            continue;
        }
        if (orPending && !out.required.empty()) out.required.back().push_back(std::move(term));
        else out.required.push_back({std::move(term)});
        orPending = false;
        lastPositive = true;
        if (!out.required.back().back().phrase) lastWord = &out.required.back().back();
    }
    if (options.prefixLast && lastWord && endsInWord) {
        std::size_t chars = 0;
        for (const char c : lastWord->text) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        lastWord->prefix = chars >= kMinPrefix;
    }
    return out;
}

std::string ParsedSearch::requiredMatch() const {
    std::string out;
    for (const auto& group : required) {
        if (!out.empty()) out += " AND ";
        if (group.size() == 1) {
            out += quoted(group.front());
            continue;
        }
        out += '(';
        for (std::size_t k = 0; k < group.size(); ++k) {
            if (k) out += " OR ";
            out += quoted(group[k]);
        }
        out += ')';
    }
    return out;
}

std::string ParsedSearch::excludedMatch() const {
    std::string out;
    for (const auto& t : excluded) {
        if (!out.empty()) out += " OR ";
        out += quoted(t);
    }
    return out;
}

std::string ParsedSearch::match() const {
    const auto req = requiredMatch();
    if (req.empty() || excluded.empty()) return req;
    return "(" + req + ") NOT (" + excludedMatch() + ")";
}

std::vector<std::string> ParsedSearch::highlights() const {
    std::vector<std::string> out;
    for (const auto& group : required)
        for (const auto& t : group) out.push_back(t.text);
    return out;
}

}  // namespace lanyx::history
