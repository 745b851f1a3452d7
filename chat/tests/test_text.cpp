#include "Cp1252.h"
#include "RecordFile.h"
#include "Text.h"

#include <gtest/gtest.h>

using namespace lanyx;

TEST(Cp1252, RoundTripsEveryByteAndMarksTravelAsOneByte) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(cp1252::fromUtf8(cp1252::toUtf8(all)), all);
    EXPECT_EQ(cp1252::fromUtf8("\xC3\x9F"), "\xDF");    // alert mark
    EXPECT_EQ(cp1252::fromUtf8("\xC3\x9E"), "\xDE");    // chat mark
    EXPECT_EQ(cp1252::toUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
}

TEST(Cp1252, OutsideTheCodePageAndBrokenUtf8BecomeQuestionMarks) {
    EXPECT_EQ(cp1252::fromUtf8("a\xE2\x98\x83z"), "a?z");    // snowman
    EXPECT_EQ(cp1252::fromUtf8("\xF0\x9F\x98\x80!"), "?!");  // emoji
    EXPECT_EQ(cp1252::fromUtf8("\xC3"), "?");                // cut sequence
    EXPECT_EQ(cp1252::fromUtf8("\xC3(x"), "?(x");
}

TEST(Text, CaseBlindNamesCoverLatinLetters) {
    EXPECT_TRUE(equalsNoCase("ANN", "ann"));
    EXPECT_TRUE(equalsNoCase("J\xC3\x89R\xC3\x94ME", "j\xC3\xA9r\xC3\xB4me"));  // JÉRÔME
    EXPECT_FALSE(equalsNoCase("ann", "anne"));
    EXPECT_EQ(toLower("\xC5\xA0"
                      "A"),
              "\xC5\xA1"
              "a");                              // Š
    EXPECT_EQ(toLower("\xC3\x97"), "\xC3\x97");  // × has no case
}

TEST(Text, ListItems) {
    EXPECT_EQ(CountItems("team|ann|bob|"), 3);
    EXPECT_EQ(GetItem("team|ann|bob|", 1), "team");
    EXPECT_EQ(GetItem("team|ann|bob|", 3), "bob");
    EXPECT_EQ(GetItem("team|ann|bob|", 4), "");      // past the end of a well-formed list
    EXPECT_EQ(GetItem("team|ann|rest", 5), "rest");  // what follows the last "|"
    EXPECT_EQ(CountItems(""), 0);
    EXPECT_EQ(GetItem("", 1), "");
}

TEST(Text, Numbers) {
    EXPECT_EQ(leadingNumber("255"), 255);
    EXPECT_EQ(leadingNumber(" 12abc"), 12);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber("-7"), -7);
    EXPECT_GT(leadingNumber("99999999999999999999999999"), 0);  // saturates, no overflow
    EXPECT_EQ(parseNumber("2505"), 2505);
    EXPECT_EQ(parseNumber(" 4 "), 4);
    EXPECT_EQ(parseNumber("2.5"), 2);  // half to even
    EXPECT_FALSE(parseNumber("x4"));
    EXPECT_FALSE(parseNumber(""));
}

TEST(Records, ReaderTakesCommasAndLineEndsAlikeAndStripsQuotes) {
    RecordReader in("\"English\"\r\n0\r\n0,0,2505,4605\r\n\"bob\",\"0\" ,4\r\n\"\"\r\n");
    EXPECT_EQ(in.next(), "English");
    EXPECT_EQ(in.next(), "0");
    EXPECT_EQ(in.next(), "0");
    EXPECT_EQ(in.next(), "0");
    EXPECT_EQ(in.next(), "2505");
    EXPECT_EQ(in.next(), "4605");
    EXPECT_EQ(in.next(), "bob");
    EXPECT_EQ(in.next(), "0");
    EXPECT_EQ(in.next(), "4");
    EXPECT_EQ(in.next(), "");
    EXPECT_TRUE(in.atEnd());
    try {
        in.next();
        FAIL() << "reading past the end must fail";
    } catch (const LanyxError& e) {
        EXPECT_EQ(e.number(), err::InputPastEnd);
    }
}

TEST(Records, WriterQuotesTextsAndEndsRecordsWithCrLf) {
    RecordWriter w;
    w.text("bob").number(-1).text("(B)").end().number(3).end();
    EXPECT_EQ(w.str(), "\"bob\",-1,\"(B)\"\r\n3\r\n");
}

TEST(Text, CaseBlindHashAndCompareAgreeWithToLower) {
    // Broken sequences included: a lead byte before an ASCII letter, a lone
    // continuation byte, a lead byte at the end.
    const std::string names[] = {"Ann",
                                 "J\xC3\x89R\xC3\x94ME",
                                 "\xC5\xA0pela",
                                 "\xC3"
                                 "A",
                                 "\xC1"
                                 "A",
                                 "x\x80y",
                                 "end\xC3",
                                 "\xC5\xB8",
                                 "",
                                 "_probe",
                                 "(All)"};
    for (const auto& n : names) {
        const auto lower = toLower(n);
        EXPECT_EQ(hashNoCase(n), hashNoCase(lower)) << n;
        EXPECT_TRUE(lowerEquals(n, lower)) << n;
        EXPECT_EQ(toLower(lower), lower) << n;
        EXPECT_FALSE(lowerEquals(n, lower + "x")) << n;
    }
    EXPECT_FALSE(lowerEquals("Anna", "anne"));
    EXPECT_NE(hashNoCase("ann"), hashNoCase("anne"));
}

TEST(Text, ClaimedUtf8KeepsEveryCharacterAndMarksWhatIsNone) {
    const std::string mark = "\xEF\xBF\xBD";
    const std::pair<std::string, std::string> cases[] = {
        {"Kaffee \xE2\x98\x95 f\xC3\xBCr alle \xF0\x9F\x8E\x89",
         "Kaffee \xE2\x98\x95 f\xC3\xBCr alle \xF0\x9F\x8E\x89"},
        {"\xE6\x97\xA5\xE6\x9C\xAC \xD8\xB3\xD9\x84\xD8\xA7\xD9\x85",
         "\xE6\x97\xA5\xE6\x9C\xAC \xD8\xB3\xD9\x84\xD8\xA7\xD9\x85"},
        {"f\xFCr", "f" + mark + "r"},                     // Windows-1252, not UTF-8
        {"\xC0\xAF", mark + mark},                        // an overlong "/"
        {"\xE0\x80\xAF", mark + mark + mark},             // another
        {"\xED\xA0\x80", mark + mark + mark},             // a surrogate
        {"\xF4\x90\x80\x80", mark + mark + mark + mark},  // past U+10FFFF
        {"end\xE2\x98", "end" + mark + mark},             // cut short
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(validUtf8(in), out) << in;
}
