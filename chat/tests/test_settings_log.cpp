#include "EventLog.h"
#include "Platform.h"
#include "Error.h"
#include "Settings.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace lanyx;
using test::readBytes;
using test::writeBytes;

namespace {

SettingsData readFrom(const std::filesystem::path& file, ReadOutcome* outcome = nullptr,
                      const std::string& logon = "ann") {
    SettingsData d;
    auto o = ReadSettings(file, d, logon, {});
    if (outcome) *outcome = o;
    return d;
}

}  // namespace

TEST(Settings, MissingFileIsCreatedWithTheDefaultsAndRead) {
    test::TempDir dir;
    ReadOutcome o;
    const auto d = readFrom(dir / "User.ini", &o, "ann");
    EXPECT_TRUE(o.createdDefault);
    EXPECT_FALSE(o.recovered);
    EXPECT_EQ(d.user.Language, "English");
    EXPECT_EQ(d.user.UserName, "ann");
    EXPECT_EQ(d.user.Colour, 0u);
    EXPECT_EQ(d.user.PopupPosition, 4);
    EXPECT_EQ(d.user.AlertSound, "(B)");
    EXPECT_EQ(d.user.Autostart, 0);
    EXPECT_EQ(d.main, (Geometry{0, 0, 2505, 4605}));
    EXPECT_TRUE(d.blocked.empty());
    EXPECT_TRUE(d.groups.empty());
    EXPECT_EQ(readBytes(dir / "User.ini"),
              "\"English\"\r\n0\r\n0,0,2505,4605\r\n\"ann\",\"0\",\"4\",\"(B)\",\"0\"\r\n0,0,0,0\r\n"
              "\"0\"\r\n\"\"\r\n\"0\"\r\n\"\"\r\n");
}

TEST(Settings, BlockedNamesAreTrimmedAndGroupCountSkipsTheEmptyRecord) {
    test::TempDir dir;
    writeBytes(dir / "User.ini",
               "\"English\"\r\n0\r\n0,0,2505,4605\r\n\"ann\",255,2,\"(S)\",1\r\n1,2,3,4\r\n2\r\n\"  bob  \"\r\n"
               "\"ann\"\r\n\"\"\r\n0\r\n");
    ReadOutcome o;
    const auto d = readFrom(dir / "User.ini", &o);
    EXPECT_FALSE(o.recovered);
    EXPECT_EQ(d.blocked, (std::vector<std::string>{"bob", "ann"}));
    EXPECT_TRUE(d.groups.empty());
    EXPECT_EQ(d.user.Colour, 255u);
    EXPECT_EQ(d.user.PopupPosition, 2);
    EXPECT_EQ(d.user.Autostart, 1);
}

TEST(Settings, ShortRecordIsReadAllOrNothingAndTheOldFileIsKept) {
    test::TempDir dir;
    // Record 4 lacks its last value: everything after it is read one value early.
    const std::string broken =
        "\"Deutsch\"\r\n3\r\n10,20,3000,4000\r\n\"ann\",255,2,\"(S)\"\r\n1,2,3,4\r\n0\r\n1\r\n\"team|ann|\"\r\n";
    writeBytes(dir / "User.ini", broken);
    ReadOutcome o;
    const auto d = readFrom(dir / "User.ini", &o, "carl");
    EXPECT_TRUE(o.recovered);
    EXPECT_EQ(o.error.reason, Reason::InputPastEnd);
    // Nothing half-read: the defaults, under the logon name.
    EXPECT_EQ(d.user.Language, "English");
    EXPECT_EQ(d.user.AlertHeight, 0);
    EXPECT_EQ(d.main, (Geometry{0, 0, 2505, 4605}));
    EXPECT_EQ(d.user.UserName, "carl");
    // The user's file is kept; the default file is in its place; he is told where.
    EXPECT_EQ(readBytes(dir / "User.ini.bak.1"), broken);
    EXPECT_EQ(o.backup, dir / "User.ini.bak.1");
    EXPECT_NE(o.notice.find((dir / "User.ini.bak.1").string()), std::string::npos);
    EXPECT_EQ(readBytes(dir / "User.ini").substr(0, 11), "\"English\"\r\n");
    // The next start reads the default file: nothing to recover, the backup stays.
    ReadOutcome again;
    readFrom(dir / "User.ini", &again, "carl");
    EXPECT_FALSE(again.recovered);
    EXPECT_TRUE(again.notice.empty());
    EXPECT_EQ(readBytes(dir / "User.ini.bak.1"), broken);
}

TEST(Settings, BackupsRotateThroughThreeAndTheSameBrokenFileIsKeptOnce) {
    test::TempDir dir;
    for (const char* v : {"A", "B", "C", "D"}) {
        writeBytes(dir / "User.ini", std::string("\"") + v + "\"\r\n");
        readFrom(dir / "User.ini");
    }
    EXPECT_EQ(readBytes(dir / "User.ini.bak.1"), "\"D\"\r\n");
    EXPECT_EQ(readBytes(dir / "User.ini.bak.2"), "\"C\"\r\n");
    EXPECT_EQ(readBytes(dir / "User.ini.bak.3"), "\"B\"\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir / "User.ini.bak.4"));
    writeBytes(dir / "User.ini", "\"D\"\r\n");
    ReadOutcome o;
    readFrom(dir / "User.ini", &o);
    EXPECT_TRUE(o.recovered);
    EXPECT_EQ(readBytes(dir / "User.ini.bak.2"), "\"C\"\r\n");  // not moved on for the same file
}

TEST(Settings, FilesThatCannotBeOpenedOrAreHugeAreLeftAlone) {
    test::TempDir dir;
    SettingsData mine;
    mine.blocked = {"mallory"};
    SaveSettings(dir / "User.ini", mine, "ann");
    const auto bytes = readBytes(dir / "User.ini");

    // Far larger than any settings file: refused, not read, not replaced.
    std::filesystem::resize_file(dir / "User.ini", kMaxSettingsBytes + 1);
    ReadOutcome o;
    auto d = readFrom(dir / "User.ini", &o, "carl");
    EXPECT_TRUE(o.refused);
    EXPECT_EQ(o.error.reason, Reason::SettingsTooLarge);
    EXPECT_FALSE(o.recovered);
    EXPECT_TRUE(d.blocked.empty());
    EXPECT_EQ(d.user.UserName, "carl");
    EXPECT_FALSE(o.notice.empty());
    EXPECT_EQ(std::filesystem::file_size(dir / "User.ini"), kMaxSettingsBytes + 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "User.ini.bak.1"));

    writeBytes(dir / "User.ini", bytes);
    std::filesystem::permissions(dir / "User.ini", std::filesystem::perms::none);
    if (std::ifstream(dir / "User.ini")) GTEST_SKIP() << "running as a user that reads any file";
    d = readFrom(dir / "User.ini", &o);
    std::filesystem::permissions(dir / "User.ini", std::filesystem::perms::owner_all);
    EXPECT_TRUE(o.refused);
    EXPECT_EQ(readBytes(dir / "User.ini"), bytes);
    EXPECT_FALSE(std::filesystem::exists(dir / "User.ini.bak.1"));
}

TEST(Settings, NameAndListsReadAreCheckedWithoutGivingUpTheRest) {
    test::TempDir dir;
    const std::string head = "\"English\"\r\n0\r\n0,0,2505,4605\r\n";
    const std::string tail = ",0,4,\"(B)\",0\r\n0,0,0,0\r\n2\r\n\"bob\"\r\n\"a\x01b\"\r\n1\r\n\"team|\"\r\n";
    writeBytes(dir / "User.ini", head + "\"\"" + tail);
    ReadOutcome o;
    auto d = readFrom(dir / "User.ini", &o, "carl");
    EXPECT_FALSE(o.recovered);
    EXPECT_EQ(d.user.UserName, "carl");  // an empty name never reaches the wire
    EXPECT_EQ(d.blocked, (std::vector<std::string>{"bob"}));
    EXPECT_EQ(d.groups, (std::vector<std::string>{"team|"}));
    EXPECT_EQ(o.droppedNames, 1u);
    EXPECT_NE(o.notice.find("\"carl\""), std::string::npos);

    // A logon name the dialog would refuse is what the default file holds: kept as it is.
    writeBytes(dir / "User.ini", head + "\"john.doe\"" + tail);
    d = readFrom(dir / "User.ini", &o, "john.doe");
    EXPECT_EQ(d.user.UserName, "john.doe");
    EXPECT_TRUE(o.replacedName.empty());
}

TEST(Settings, QuotesAndLineBreaksInTextsReadBackAndPlainTextsAreWrittenAsBefore) {
    test::TempDir dir;
    SettingsData d;
    d.user.AlertSound = "C:\\a \"b\".wav";
    d.user.Language = "Eng\r\nlish";
    d.blocked = {"x\",1,\"spy", "bob", "BOB"};
    d.groups = {"team|ann|"};
    SaveSettings(dir / "User.ini", d, "ann");
    const auto back = readFrom(dir / "User.ini");
    EXPECT_EQ(back.user.AlertSound, d.user.AlertSound);
    EXPECT_EQ(back.user.Language, "Eng  lish");
    EXPECT_EQ(back.blocked, (std::vector<std::string>{"x\",1,\"spy", "bob"}));  // escaped, and read back
    EXPECT_EQ(back.groups, d.groups);

    SettingsData plain;
    plain.blocked = {"bob"};
    plain.groups = {"team|ann|"};
    SaveSettings(dir / "User.ini", plain, "ann");
    EXPECT_EQ(readBytes(dir / "User.ini"),
              "\"English\"\r\n0\r\n0,0,2505,4605\r\n\"ann\",0,4,\"(B)\",0\r\n0,0,0,0\r\n1\r\n\"bob\"\r\n1\r\n"
              "\"team|ann|\"\r\n");
    // A raw quote, as any copy may have written it, reads as it always did
    // (which is why names with quotes are written escaped).
    writeBytes(dir / "User.ini",
               "\"English\"\r\n0\r\n0,0,2505,4605\r\n\"ann\",0,4,\"(B)\",0\r\n0,0,0,0\r\n"
               "1\r\n\"x\",1,\"spy\"\r\n1\r\n\"g\"\"\r\n");
    ReadOutcome o;
    const auto old = readFrom(dir / "User.ini", &o);
    EXPECT_FALSE(o.recovered) << o.error.text;
    EXPECT_EQ(old.blocked, (std::vector<std::string>{"x"}));
    EXPECT_EQ(old.groups, (std::vector<std::string>{"spy"}));
}

TEST(Settings, HundredsOfThousandsOfBlockedNamesReadInOnePassUpToTheCap) {
    std::string text = "\"English\"\r\n0\r\n0,0,2505,4605\r\n\"ann\",0,4,\"(B)\",0\r\n0,0,0,0\r\n200000\r\n";
    for (int i = 0; i < 200000; ++i) text += "\"n" + std::to_string(i % 5000) + "\"\r\n";
    text += "1\r\n\"team|ann|\"\r\n";
    ReadNotes notes;
    auto d = ReadSettingsText(text, &notes);
    EXPECT_EQ(d.blocked.size(), 5000u);  // the second copies of each are dropped
    EXPECT_EQ(notes.blockedLeftOut, 0u);
    EXPECT_EQ(d.groups, std::vector<std::string>{"team|ann|"});  // what follows the list is read

    std::string many = "\"English\"\r\n0\r\n0,0,2505,4605\r\n\"ann\",0,4,\"(B)\",0\r\n0,0,0,0\r\n200000\r\n";
    for (int i = 0; i < 200000; ++i) many += "\"n" + std::to_string(i) + "\"\r\n";
    many += "1\r\n\"team|ann|\"\r\n";
    d = ReadSettingsText(many, &notes);
    EXPECT_EQ(d.blocked.size(), kMaxBlockedNames);
    EXPECT_EQ(d.blocked.back(), "n" + std::to_string(kMaxBlockedNames - 1));  // the first ones are kept
    EXPECT_EQ(notes.blockedLeftOut, 200000u - kMaxBlockedNames);
    EXPECT_EQ(d.groups, std::vector<std::string>{"team|ann|"});
}

TEST(Settings, SaveAndReadBackKeepEverythingIncludingWideDesktops) {
    test::TempDir dir;
    SettingsData d;
    d.user.Language =
        "Fran\xC3\xA7"
        "ais";
    d.user.Colour = 0x00FF8000;
    d.user.PopupPosition = 1;
    d.user.AlertSound = "ding.wav";
    d.user.Autostart = 1;
    d.user.Chat = {100, 200, 2500, 3800};
    d.main = {40000, 100, 2505, 4605};  // right of a 2,560-pixel screen
    d.blocked = {" eve ", "mallory"};
    d.groups = {"team|ann|bob|", "ops|carl|"};
    SaveSettings(dir / "User.ini", d, "J\xC3\xA9r\xC3\xB4me");
    EXPECT_NE(readBytes(dir / "User.ini").find("\"J\xE9r\xF4me\""), std::string::npos);  // Windows-1252 on disk

    ReadOutcome o;
    // The default file's name is the logon name, which may hold what the name rules refuse.
    const auto back = readFrom(dir / "User.ini", &o, "J\xC3\xA9r\xC3\xB4me");
    EXPECT_FALSE(o.recovered) << o.error.text;
    EXPECT_EQ(back.user.Language, d.user.Language);
    EXPECT_EQ(back.user.UserName, "J\xC3\xA9r\xC3\xB4me");
    EXPECT_EQ(back.user.Colour, d.user.Colour);
    EXPECT_EQ(back.user.AlertSound, "ding.wav");
    EXPECT_EQ(back.user.Chat, d.user.Chat);
    EXPECT_EQ(back.main, d.main);
    EXPECT_EQ(back.blocked, (std::vector<std::string>{"eve", "mallory"}));
    EXPECT_EQ(back.groups, d.groups);
    EXPECT_FALSE(std::filesystem::exists(dir / "User.ini.tmp"));
}

TEST(Settings, LanguageFailureLeavesTheFileAndTheReadSettingsAlone) {
    test::TempDir dir;
    SettingsData d;
    d.blocked = {"mallory"};
    SaveSettings(dir / "User.ini", d, "ann");
    const auto bytes = readBytes(dir / "User.ini");
    SettingsData read;
    auto o = ReadSettings(dir / "User.ini", read, "ann",
                          [](std::string&) { throw LanyxError(err::Overflow, "Language file too large"); });
    EXPECT_FALSE(o.recovered);
    EXPECT_FALSE(o.refused);
    EXPECT_EQ(o.languageError.number, err::Overflow);
    EXPECT_EQ(read.blocked, d.blocked);
    EXPECT_EQ(readBytes(dir / "User.ini"), bytes);
    EXPECT_FALSE(std::filesystem::exists(dir / "User.ini.bak.1"));
    EXPECT_NE(o.notice.find(describe(o.languageError)), std::string::npos);
}

TEST(EventLog, LinesAreQuotedAndTimeStamped) {
    test::TempDir dir;
    EventLog log(dir / "Log.txt", [] { return " 07/12/2026 11:22:33 "; });
    log.WriteLog("Lanyx loaded");
    log.WriteLog("Unknow Data Receved (bob: a\r\nforged line)");
    EXPECT_EQ(readBytes(dir / "Log.txt"),
              "\"07/12/2026 11:22:33 Lanyx loaded\"\r\n"
              "\"07/12/2026 11:22:33 Unknow Data Receved (bob: a  forged line)\"\r\n");
}

TEST(EventLog, AFailingWriteIsReportedWithEachEventsText) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "Log.txt");  // not writable as a file, even for root
    std::vector<std::string> shown;
    EventLog log(dir / "Log.txt", {}, [&](const std::string& m) { shown.push_back(m); });
    log.WriteLog("one");
    log.WriteLog("two");
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], "Error writing to Log file. Text to write:\n\none");
    EXPECT_EQ(shown[1], "Error writing to Log file. Text to write:\n\ntwo");
}

TEST(EventLog, TrimKeepsTheLast300Lines) {
    test::TempDir dir;
    std::string text;
    for (int i = 1; i <= 450; ++i) text += "\"line " + std::to_string(i) + "\"\r\n";
    writeBytes(dir / "Log.txt", text);
    EventLog log(dir / "Log.txt");
    EXPECT_TRUE(log.TrimLog(300));
    const auto kept = readBytes(dir / "Log.txt");
    EXPECT_EQ(kept.substr(0, 12), "\"line 151\"\r\n");
    EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 300);

    // 300 lines or fewer: untouched.
    EXPECT_TRUE(log.TrimLog(300));
    EXPECT_EQ(readBytes(dir / "Log.txt"), kept);
    EventLog missing(dir / "none.txt");
    EXPECT_TRUE(missing.TrimLog(300));
}

TEST(EventLog, TrimTakesLineFeedsAloneAndKeepsABoundedTail) {
    test::TempDir dir;
    std::string text;
    for (int i = 1; i <= 100000; ++i) text += "\"line " + std::to_string(i) + "\"\n";
    writeBytes(dir / "Log.txt", text);
    EventLog log(dir / "Log.txt");
    EXPECT_TRUE(log.TrimLog(300));
    const auto kept = readBytes(dir / "Log.txt");
    EXPECT_EQ(kept.substr(0, 13), "\"line 99701\"\n");
    EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), 300);

    // One giant line: no more than the bound is kept, from a line start on.
    writeBytes(dir / "Log.txt", "\"a\"\r\n" + std::string(EventLog::kMaxKeptBytes + 5, 'x') + "\r\n\"z\"\r\n");
    EXPECT_TRUE(log.TrimLog(300));
    EXPECT_EQ(readBytes(dir / "Log.txt"), "\"z\"\r\n");
}

TEST(EventLog, LimiterWritesAFewOfEachKindPerMinuteThenSumsUp) {
    LogLimiter limit(3, 60000);
    std::vector<std::string> summaries;
    int written = 0;
    for (int i = 0; i < 10; ++i) written += limit.admit("Error", 1000 + i, summaries);
    EXPECT_EQ(written, 3);
    EXPECT_TRUE(limit.admit("Other kind", 2000, summaries));
    EXPECT_TRUE(summaries.empty());
    // The window is over: the next line of any kind brings the summary.
    EXPECT_TRUE(limit.admit("Other kind", 61000, summaries));
    ASSERT_EQ(summaries.size(), 1u);
    EXPECT_EQ(summaries[0], "Error: 7 more lines of this kind not logged within a minute");
    summaries.clear();
    EXPECT_TRUE(limit.admit("Error", 61001, summaries));  // a new window
    // The tick counter wraps after 49 days; a window spans the wrap.
    LogLimiter wrap(1, 60000);
    EXPECT_TRUE(wrap.admit("E", 0xFFFFFF00u, summaries));
    EXPECT_FALSE(wrap.admit("E", 0x10u, summaries));
    EXPECT_TRUE(summaries.empty());
    EXPECT_EQ(wrap.flush(), std::vector<std::string>{"E: 1 more line of this kind not logged within a minute"});
    EXPECT_TRUE(wrap.flush().empty());
}

#ifdef _WIN32
namespace {
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The Run key's value, as the system reads it at logon.
std::optional<std::wstring> runValue() {
    wchar_t buf[2048];
    DWORD size = sizeof buf;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Lanyx", RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buf);
}
}  // namespace

TEST(Platform, AutostartEntryIsWrittenQuotedAndRemoved) {
    // The user's own entry comes back after the test.
    const auto before = runValue();
    // A folder with a space (the system would start "C:\Lan" first) and
    // letters outside the ANSI code page.
    platform::SetAutostart(1, std::filesystem::path(L"C:\\Lan yx\\\u0396\u03c9\u03ae\\lanyx.exe"));
    EXPECT_EQ(runValue().value_or(L"<none>"), L"\"C:\\Lan yx\\\u0396\u03c9\u03ae\\lanyx\"");
    platform::SetAutostart(7, "x");  // any other flag: nothing
    EXPECT_TRUE(runValue());
    platform::SetAutostart(0, "x");
    EXPECT_FALSE(runValue());
    platform::SetAutostart(0, "x");  // nothing there: no error
    if (before)
        RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Lanyx", REG_SZ, before->c_str(),
                        static_cast<DWORD>((before->size() + 1) * sizeof(wchar_t)));
}
#else
TEST(Platform, AutostartEntryIsWrittenAndRemoved) {
    test::TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    const auto entry = dir / "autostart" / "Lanyx.desktop";
    platform::SetAutostart(1, "/opt/Lan yx/lanyx");
    const auto text = readBytes(entry);
    EXPECT_NE(text.find("Exec=\"/opt/Lan yx/lanyx\""), std::string::npos);
    EXPECT_NE(text.find("[Desktop Entry]"), std::string::npos);
    platform::SetAutostart(7, "/x");  // any other flag: nothing
    EXPECT_TRUE(std::filesystem::exists(entry));
    platform::SetAutostart(0, "/x");
    EXPECT_FALSE(std::filesystem::exists(entry));
    platform::SetAutostart(0, "/x");  // nothing there: no error
    unsetenv("XDG_CONFIG_HOME");
}
#endif

TEST(Platform, OneCopyPerDataFolder) {
    test::TempDir dir;
    auto first = platform::InstanceLock::acquire(dir.path());
    ASSERT_TRUE(first);
    EXPECT_FALSE(platform::InstanceLock::acquire(dir.path()));
    first.reset();
    EXPECT_TRUE(platform::InstanceLock::acquire(dir.path()));
    EXPECT_FALSE(platform::GetLogonName().empty());
}
