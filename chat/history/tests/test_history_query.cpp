// The search box's syntax: what users type becomes quoted strings and
// operators of the index, nothing else.
#include "SearchQuery.h"

#include <gtest/gtest.h>

using namespace lanyx::history;

namespace {
std::string match(std::string_view q, bool prefix = false) {
    return ParseSearch(q, {prefix}).match();
}
}  // namespace

TEST(SearchQuery, WordsAllMustMatchAndPhrasesStayTogether) {
    EXPECT_EQ(match("lunch friday"), R"("lunch" AND "friday")");
    EXPECT_EQ(match(R"("fire drill" today)"), R"("fire drill" AND "today")");
    EXPECT_EQ(match("  spaced\t\tout \r\n"), R"("spaced" AND "out")");
    EXPECT_EQ(match(""), "");
    EXPECT_TRUE(ParseSearch("   ").empty());
}

TEST(SearchQuery, OrBindsCloserThanTheSpaceAndOnlyInCapitals) {
    EXPECT_EQ(match("a OR b c"), R"(("a" OR "b") AND "c")");
    EXPECT_EQ(match("a OR b OR c"), R"(("a" OR "b" OR "c"))");
    EXPECT_EQ(match(R"("x y" OR z)"), R"(("x y" OR "z"))");
    // Lower case is a word like any other.
    EXPECT_EQ(match("tea or coffee"), R"("tea" AND "or" AND "coffee")");
    // Quoted, it is the word.
    EXPECT_EQ(match(R"("OR")"), R"("OR")");
    // Dangling: left out.
    EXPECT_EQ(match("OR"), "");
    EXPECT_EQ(match("OR a"), R"("a")");
    EXPECT_EQ(match("a OR"), R"("a")");
    EXPECT_EQ(match("a OR OR b"), R"(("a" OR "b"))");
}

TEST(SearchQuery, MinusExcludesWordsAndPhrases) {
    EXPECT_EQ(match("lunch -friday"), R"(("lunch") NOT ("friday"))");
    EXPECT_EQ(match(R"(drill -"fire drill" -test)"), R"(("drill") NOT ("fire drill" OR "test"))");
    // An excluded term takes no OR partner; the word after starts anew.
    EXPECT_EQ(match("a OR -b c"), R"(("a" AND "c") NOT ("b"))");
    // A minus inside a word, or alone, is no operator.
    EXPECT_EQ(match("e-mail"), R"("e-mail")");
    EXPECT_EQ(match("a - b"), R"("a" AND "b")");
    // Nothing required: only the exclusion, for the store to apply.
    const auto only = ParseSearch("-spam -ads");
    EXPECT_EQ(only.match(), "");
    EXPECT_EQ(only.requiredMatch(), "");
    EXPECT_EQ(only.excludedMatch(), R"("spam" OR "ads")");
    EXPECT_FALSE(only.empty());
}

TEST(SearchQuery, IndexSyntaxTypedByTheUserIsQuotedNeverRead) {
    EXPECT_EQ(match("NEAR(a b)"), R"x("NEAR(a" AND "b)")x");
    EXPECT_EQ(match("text:secret"), R"("text:secret")");
    EXPECT_EQ(match("a* ^b AND NOT c"), R"("a*" AND "^b" AND "AND" AND "NOT" AND "c")");
    EXPECT_EQ(match("{a b}:c + d"), R"("{a" AND "b}:c" AND "d")");
    // A quote inside a word ends it and opens a phrase that runs to the end.
    EXPECT_EQ(match(R"(say"hi there)"), R"("say" AND "hi there")");
    // A quote doubled inside a quoted string is how the index reads a quote.
    EXPECT_EQ(QuoteForMatch(R"(a"b)"), R"("a""b")");
    EXPECT_EQ(QuoteForMatch(std::string("a\0b", 3)), R"("a b")");
}

TEST(SearchQuery, TermsWithoutAnyWordAreLeftOut) {
    // An index string with no word in it matches nothing, which would make
    // "hello !!!" find nothing at all.
    EXPECT_EQ(match("hello !!! ... --"), R"("hello")");
    EXPECT_EQ(match(R"(hello "" "?!")"), R"("hello")");
    EXPECT_EQ(match("hi \xF0\x9F\x8E\x89 \xE2\x80\x94"), R"("hi")");  // emoji, em dash
    EXPECT_EQ(match("caf\xC3\xA9 \xC3\xBC"), "\"caf\xC3\xA9\" AND \"\xC3\xBC\"");
    EXPECT_EQ(match("\xE6\x97\xA5\xE6\x9C\xAC"), "\"\xE6\x97\xA5\xE6\x9C\xAC\"");
    EXPECT_TRUE(HasWordCharacter("\xFF"));  // not UTF-8: kept, finds nothing
}

TEST(SearchQuery, TheWordBeingTypedMatchesAsABeginning) {
    EXPECT_EQ(match("lunch fri", true), R"("lunch" AND "fri"*)");
    EXPECT_EQ(match("lunch fri ", true), R"("lunch" AND "fri")");  // finished with a blank
    EXPECT_EQ(match(R"("fire dri)", true), R"("fire dri")");       // phrases never
    EXPECT_EQ(match("lunch -fri", true), R"(("lunch") NOT ("fri"))");
    EXPECT_EQ(match("a OR", true), R"("a")");  // not the word being typed
    EXPECT_EQ(match("a !!!", true), R"("a")");
    EXPECT_EQ(match("fri", false), R"("fri")");
    // Two letters begin too many words to search for them all.
    EXPECT_EQ(match("lunch fr", true), R"("lunch" AND "fr")");
    EXPECT_EQ(match("caf\xC3\xA9", true), "\"caf\xC3\xA9\"*");  // characters, not bytes
    EXPECT_EQ(match("\xC3\xA9\xC3\xA9", true), "\"\xC3\xA9\xC3\xA9\"");
}

TEST(SearchQuery, LongQueriesAreCutWithoutBreakingACharacter) {
    std::string many;
    for (int i = 0; i < 100; ++i) many += "w" + std::to_string(i) + " ";
    const auto parsed = ParseSearch(many);
    EXPECT_EQ(parsed.required.size(), kMaxTerms);

    std::string longText(kMaxQueryBytes - 1, 'a');
    longText += "\xC3\xA9zzz";  // é across the cut
    const auto cut = ParseSearch(longText);
    ASSERT_EQ(cut.required.size(), 1u);
    EXPECT_EQ(cut.required[0][0].text, std::string(kMaxQueryBytes - 1, 'a'));
}

TEST(SearchQuery, HighlightsAreTheRequiredTerms) {
    const auto p = ParseSearch(R"(lunch "fire drill" OR x -spam)");
    EXPECT_EQ(p.highlights(), (std::vector<std::string>{"lunch", "fire drill", "x"}));
}
