#include "Cp1252.h"
#include "Error.h"
#include "TestFiles.h"
#include "Text.h"
#include "modLANG.h"

#include <gtest/gtest.h>

using namespace lanyx;

namespace {

struct Reported {
    std::vector<std::string> boxes, logs;
    void attach(LanguageTable& t) {
        t.setReporters([this](const std::string& text, const std::string& title,
                              int icon) { boxes.push_back(title + "|" + text + "|" + std::to_string(icon)); },
                       [this](const std::string& text) { logs.push_back(text); });
    }
};

const char* kSmall = "Code,English,Deutsch\r\n1001,Main,Haupt\r\n1002,Alert,Alarm\r\n1003,Chat,Plaudern\r\n";

}  // namespace

TEST(Language, PicksTheColumnAndFallsBackToEnglish) {
    LanguageTable t;
    std::string lang = "Deutsch";
    t.loadText(kSmall, lang);
    EXPECT_EQ(t.text(1002), "Alarm");
    lang = "Klingon";
    t.loadText(kSmall, lang);
    EXPECT_EQ(lang, "English");
    EXPECT_EQ(t.text(1002), "Alert");
}

TEST(Language, HeaderWithTrailingCommaGivesTheSameLanguages) {
    LanguageTable a, b;
    std::string la = "English", lb = "English";
    a.loadText("x,English,Deutsch\r\n1,a,b\r\n", la);
    b.loadText("x,English,Deutsch,\r\n1,a,b\r\n", lb);
    EXPECT_EQ(a.languages(), b.languages());
}

TEST(Language, CircularSearchResumesWhereItStopped) {
    LanguageTable t;
    std::string lang = "English";
    t.loadText(kSmall, lang);
    t.text(1001);
    t.text(1002);
    EXPECT_EQ(t.lastLookupSteps(), 2u);  // in file order: the second step
    t.text(1002);
    EXPECT_EQ(t.lastLookupSteps(), 1u);  // the same code again: one step
    EXPECT_EQ(t.text(1001), "Main");     // wraps around
}

TEST(Language, MissingCodeIsReportedOncePerRun) {
    LanguageTable t;
    Reported r;
    r.attach(t);
    std::string lang = "English";
    t.loadText(kSmall, lang);
    EXPECT_EQ(t.text(4242), "");
    EXPECT_EQ(t.text(4242), "");
    EXPECT_EQ(t.text(4243), "");
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0], "Language Error|Error reading language files. Cannot find code 4242|64");
    EXPECT_EQ(r.logs, std::vector<std::string>{"Cannot find text code 4242"});
    EXPECT_TRUE(t.errorFlag());
}

TEST(Language, UnusableFilesFailAndKeepThePreviousTable) {
    LanguageTable t;
    Reported r;
    r.attach(t);
    std::string lang = "English";
    t.loadText(kSmall, lang);

    lang = "English";
    EXPECT_THROW(t.loadText("Code,Deutsch\r\n1,a\r\n", lang), LanyxError);
    EXPECT_EQ(r.logs, std::vector<std::string>{"Cannot find default language or English"});
    EXPECT_EQ(r.boxes.at(0), "|Error reading language files. No languages available|0");

    lang = "English";
    EXPECT_THROW(t.loadText("Code,English\r\nabc,x\r\n", lang), LanyxError);                  // code not a number
    EXPECT_THROW(t.loadText("Code,English\r\n1,a,b,c,d,e,f,g,h,i,j\r\n", lang), LanyxError);  // 11 fields
    std::string many = "Code,English\r\n";
    for (int i = 0; i < 202; ++i) many += std::to_string(i) + ",t\r\n";
    EXPECT_THROW(t.loadText(many, lang), LanyxError);
    EXPECT_EQ(t.text(1003), "Chat");  // still the old table
}

TEST(Language, ShippedFileHasEveryLanguageAndStaysWithinItsLimits) {
    const auto bytes = test::readBytes(test::shippedLangFile());
    ASSERT_FALSE(bytes.empty());
    // Windows-1252 with CR LF line ends, no empty lines.
    EXPECT_EQ(bytes.find("\n\n"), std::string::npos);
    EXPECT_EQ(bytes.find("\r\n\r\n"), std::string::npos);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at byte " << i;
        }

    for (const char* name : {"English",
                             "Fran\xC3\xA7"
                             "ais",
                             "Deutsch", "Espa\xC3\xB1oles"}) {
        LanguageTable t;
        Reported r;
        r.attach(t);
        std::string lang = name;
        t.load(test::shippedLangFile(), lang);
        EXPECT_EQ(lang, name);
        EXPECT_LE(t.size(), LanguageTable::kMaxEntries);
        // Codes the core itself uses.
        for (int code : {1201, 1208, 8202, 8203, 8204, 8205, 8209, 10201}) EXPECT_FALSE(t.text(code).empty()) << code;
        EXPECT_EQ(GetItem(t.text(1201), 3).empty(), false);
        EXPECT_TRUE(r.boxes.empty()) << name;
    }
}
