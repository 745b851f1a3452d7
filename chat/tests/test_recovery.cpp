// What a start-up does with the user's files when they are broken, too large,
// or their neighbours are; and what a hostile peer's texts can do to them and
// to lanyx-cli's terminal.
#include "CliPeer.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "Settings.h"

using namespace lanyx;
using namespace lanyx::test;

namespace {

std::size_t boxesContaining(const Recorder& rec, const std::string& part) {
    return static_cast<std::size_t>(std::count_if(rec.boxes.begin(), rec.boxes.end(), [&](const std::string& b) {
        return b.find(part) != std::string::npos;
    }));
}

}  // namespace

TEST(Recovery, ABrokenFileIsKeptAndTheUserToldOnceWhere) {
    MemorySegment seg;
    const std::string broken = "\"English\"\r\n0\r\n0,0,2505,4605\r\n\"ann\",abc\r\n";
    {
        Peer ann(seg, "ann");
        writeBytes(ann.dir / "User.ini", broken);
        EXPECT_EQ(ann.start(), StartUpResult::Running);
        EXPECT_EQ(boxesContaining(ann.rec, (ann.dir / "User.ini.bak.1").string()), 1u);
        EXPECT_EQ(readBytes(ann.dir / "User.ini.bak.1"), broken);
        EXPECT_NE(ann.log().find("the old file kept as User.ini.bak.1"), std::string::npos);
        ann.startUp.Shutdown();
        // The second start reads what the first one saved: nothing more to tell.
        StartUp again(ann.node, ann.rec, seg);
        ann.rec.boxes.clear();
        ann.node.readSettings();
        EXPECT_TRUE(ann.node.settingsNotice().empty());
        EXPECT_EQ(readBytes(ann.dir / "User.ini.bak.1"), broken);
        EXPECT_FALSE(std::filesystem::exists(ann.dir / "User.ini.bak.2"));
    }
}

TEST(Recovery, AnOversizedLanguageFileOrSettingsFileResetsNothing) {
    MemorySegment seg;
    MemoryTransport t(seg);
    Recorder rec;
    TempDir dir;
    SettingsData mine;
    mine.blocked = {"mallory"};
    mine.groups = {"team|ann|bob|"};
    SaveSettings(dir / "User.ini", mine, "ann");
    const auto bytes = readBytes(dir / "User.ini");
    // Far more than 201 lines of 10 fields can take.
    writeBytes(dir / "Lang.con", readBytes(shippedLangFile()) + std::string(LanguageTable::kMaxFileBytes, '\n'));
    NodeConfig c;
    c.dataDir = dir.path();
    c.langFile = dir / "Lang.con";
    c.logonName = "ann";
    {
        ChatNode node(c, t, rec, rec, seg);
        StartUp st(node, rec, seg);
        EXPECT_EQ(st.run({}), StartUpResult::Running);
        EXPECT_TRUE(node.users().IsBlocked("mallory"));
        EXPECT_EQ(node.users().groups(), mine.groups);
        EXPECT_EQ(boxesContaining(rec, "language file could not be read"), 1u);
        EXPECT_EQ(readBytes(dir / "User.ini"), bytes);
        st.Shutdown();
        // Saved as usual, everything the user had in it.
        const auto saved = ReadSettingsText(cp1252::toUtf8(readBytes(dir / "User.ini")));
        EXPECT_EQ(saved.blocked, mine.blocked);
        EXPECT_EQ(saved.groups, mine.groups);
        EXPECT_FALSE(std::filesystem::exists(dir / "User.ini.bak.1"));
    }

    // A settings file far too large is refused, and not written over at shutdown.
    writeBytes(dir / "Lang.con", readBytes(shippedLangFile()));
    std::filesystem::resize_file(dir / "User.ini", kMaxSettingsBytes + 1);
    rec.boxes.clear();
    {
        ChatNode node(c, t, rec, rec, seg);
        StartUp st(node, rec, seg);
        EXPECT_EQ(st.run({}), StartUpResult::Running);
        EXPECT_EQ(boxesContaining(rec, "left as it is"), 1u);
        st.Shutdown();
        EXPECT_EQ(std::filesystem::file_size(dir / "User.ini"), kMaxSettingsBytes + 1);
    }
}

TEST(Recovery, ALogThatCannotBeTrimmedDoesNotStopStartUp) {
    MemorySegment seg;
    Peer ann(seg, "ann");
    std::filesystem::create_directory(ann.dir / "Log.txt.tmp");  // the trimmed copy cannot be written
    std::string log;
    for (int i = 0; i < 400; ++i) log += "\"line\"\n";
    writeBytes(ann.dir / "Log.txt", log);
    EXPECT_EQ(ann.start(), StartUpResult::Running);
    EXPECT_NE(ann.log().find("Log not trimmed"), std::string::npos);
}

TEST(Recovery, ATerminalRunLeavesTheFileAsTheDesktopSavedIt) {
    // lanyx-cli: no windows, so nothing of theirs is touched.
    struct Terminal : Recorder {
        bool opensWindows() const override { return false; }
    };
    MemorySegment seg;
    MemoryTransport t(seg);
    Terminal rec;
    TempDir dir;
    SettingsData mine;
    mine.user.Chat = {1500, 900, 9000, 7000};  // where the user left the chat windows
    mine.blocked = {"mallory"};
    SaveSettings(dir / "User.ini", mine, "ann");
    const auto bytes = readBytes(dir / "User.ini");
    NodeConfig c;
    c.dataDir = dir.path();
    c.langFile = shippedLangFile();
    c.logonName = "ann";
    {
        ChatNode node(c, t, rec, rec, seg);
        StartUp st(node, rec, seg);
        StartUpOptions o;
        o.probeMs = 100;
        ASSERT_EQ(st.run(o), StartUpResult::Running);
        st.Shutdown();
    }
    EXPECT_EQ(readBytes(dir / "User.ini"), bytes);
    // The desktop places its chat windows anew at each start, as it always did.
    Recorder desk;
    {
        ChatNode node(c, t, desk, desk, seg);
        StartUp st(node, desk, seg);
        StartUpOptions o;
        o.probeMs = 100;
        ASSERT_EQ(st.run(o), StartUpResult::Running);
        st.Shutdown();
    }
    EXPECT_NE(ReadSettingsText(cp1252::toUtf8(readBytes(dir / "User.ini"))).user.Chat, mine.user.Chat);
}

TEST(Recovery, AReadOnlySettingsFileStaysSoAndTheUserIsToldOnce) {
    MemorySegment seg;
    Peer ann(seg, "ann");
    SettingsData mine;
    mine.blocked = {"mallory"};
    SaveSettings(ann.dir / "User.ini", mine, "ann");
    const auto bytes = readBytes(ann.dir / "User.ini");
    std::filesystem::permissions(ann.dir / "User.ini", std::filesystem::perms::owner_read);
    StartUpOptions o;
    o.probeMs = 100;
    ASSERT_EQ(ann.startUp.run(o), StartUpResult::Running);
    EXPECT_TRUE(ann.node.users().IsBlocked("mallory"));
    ann.node.users().AddBlocked("eve");
    ann.startUp.Shutdown();
    EXPECT_EQ(boxesContaining(ann.rec, "read-only"), 1u);
    EXPECT_EQ(readBytes(ann.dir / "User.ini"), bytes);
    // Nobody may write it still (Windows reports a read-only file as readable by all).
    constexpr auto anyWrite = std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                              std::filesystem::perms::others_write;
    EXPECT_EQ(std::filesystem::status(ann.dir / "User.ini").permissions() & anyWrite, std::filesystem::perms::none);
    EXPECT_NE(ann.log().find("Settings file is read-only"), std::string::npos);
    std::filesystem::permissions(ann.dir / "User.ini", std::filesystem::perms::owner_all);
}

TEST(Recovery, BlockedNamesTheFileCannotHoldAsTheyAreSurviveARestart) {
    MemorySegment seg;
    TempDir home;
    const std::vector<std::string> odd = {"x\",1,\"spy", "evil\r\nline", "\xE5\x90\x8D"};
    {
        Peer ann(seg, "ann", Peer::Folder{home.path()});
        ann.joinAs("ann");
        for (const auto& n : odd) EXPECT_TRUE(ann.node.users().AddBlocked(n));
        EXPECT_FALSE(ann.node.users().AddBlocked("   "));
        ann.node.saveSettings();
    }
    Peer again(seg, "ann", Peer::Folder{home.path()});
    again.joinAs("ann");
    EXPECT_EQ(again.node.users().blocked(), odd);
    EXPECT_TRUE(again.node.settingsNotice().empty());
}

TEST(Recovery, FullListsLeaveOutTheRestAndTellOnce) {
    MemorySegment seg;
    Peer ann(seg, "ann");
    ann.joinAs("ann");
    std::vector<std::string> names;
    for (std::size_t i = 0; i < kMaxBlockedNames + 7; ++i) names.push_back("n" + std::to_string(i));
    ann.node.ToggleBlocked(names);
    auto& users = ann.node.users();
    EXPECT_EQ(users.blocked().size(), kMaxBlockedNames);
    EXPECT_TRUE(users.IsBlocked("n0"));
    EXPECT_FALSE(users.IsBlocked(names.back()));  // left out, not half-blocked
    EXPECT_FALSE(users.AddBlocked("one more"));
    EXPECT_FALSE(users.IsBlocked("one more"));
    // Unblocking makes room.
    ann.node.ToggleBlocked({"n0"});
    EXPECT_TRUE(users.AddBlocked("one more"));
    std::vector<std::string> groups;
    for (std::size_t i = 0; i < kMaxGroups + 2; ++i) groups.push_back("g" + std::to_string(i) + "|ann|");
    users.setGroups(groups);
    EXPECT_EQ(users.groups().size(), kMaxGroups);
    users.setGroups(groups);
    EXPECT_EQ(ann.rec.listsFull, (std::vector<std::string>{"blocked 7", "groups 2"}));
    EXPECT_NE(ann.log().find("Blocked list full (10000): 1 left out"), std::string::npos);
}

TEST(CliOutput, ControlCharactersInEveryFieldAreShownAsEscapes) {
    // A sender with a tab and a line break once forged a whole event line.
    EXPECT_EQ(cli::EventLine("chat", "x\tprivate-alert\r\nboss", "pay\x1b]0;title\x07"),
              "chat\tx\\x09private-alert\\x0D\\x0Aboss\tpay\\x1B]0;title\\x07");
    // DEL, and the unassigned wire bytes, which decode to C1 controls; the
    // assigned ones (the euro sign, the single guillemet of 0x9B) are letters.
    EXPECT_EQ(cli::EscapeControls(cp1252::toUtf8("a\x7F\x9D\x81\x80\x9B")), "a\\x7F\\x9D\\x81\xE2\x82\xAC\xE2\x80\xBA");
    EXPECT_EQ(cli::EscapeControls("J\xC3\xA9r\xC3\xB4me \\x41"), "J\xC3\xA9r\xC3\xB4me \\x41");
}
