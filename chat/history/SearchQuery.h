#pragma once
// What people type into a search box, made into a full-text query that
// cannot go wrong: every word and phrase goes to the index as a quoted
// string, so no character typed is ever read as index syntax.
//   words          all must match
//   "a phrase"     these words one after the other
//   a OR b         either (binds closer than the space: a OR b c = (a or b) and c)
//   -word, -"a b"  must not match
#include <string>
#include <string_view>
#include <vector>

namespace lanyx::history {

struct SearchTerm {
    std::string text;     // as typed, without quotes or minus
    bool phrase = false;  // typed in quotes
    bool prefix = false;  // the word being typed: matched as a beginning
};

struct ParsedSearch {
    // Every group must match; a group matches when any of its terms does.
    std::vector<std::vector<SearchTerm>> required;
    std::vector<SearchTerm> excluded;

    bool empty() const { return required.empty() && excluded.empty(); }
    // The index's query language: what must match (empty when nothing is
    // required), what must not (empty when nothing is excluded), and both
    // in one (empty when nothing is required).
    std::string requiredMatch() const;
    std::string excludedMatch() const;
    std::string match() const;
    // The words and phrases to mark in what was found.
    std::vector<std::string> highlights() const;
};

struct SearchOptions {
    // The last word, when nothing follows it and it has kMinPrefix
    // characters or more, matches as a beginning: for searching while the
    // user types. (Shorter beginnings match so many words that the index
    // takes too long over them; they match as whole words.)
    bool prefixLast = false;
};
inline constexpr std::size_t kMinPrefix = 3;

// Longer queries are cut here, and terms beyond kMaxTerms are left out: a
// search box must not become a way to make the index work for minutes.
inline constexpr std::size_t kMaxQueryBytes = 1024;
inline constexpr std::size_t kMaxTerms = 32;

ParsedSearch ParseSearch(std::string_view query, SearchOptions options = {});

// Whether the index would find any word in the text at all (letters and
// digits; punctuation alone makes no word).
bool HasWordCharacter(std::string_view utf8);

// A text as one quoted string of the index's query language.
std::string QuoteForMatch(std::string_view text);

}  // namespace lanyx::history
