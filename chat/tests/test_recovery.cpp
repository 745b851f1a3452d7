// What a start-up does with the user's files when they are broken, too large,
// or their neighbours are; and what a hostile peer's texts can do to them and
// to lanyx-cli's terminal.
#include "CliPeer.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace lanyx;
using namespace lanyx::test;

namespace {

std::size_t boxesContaining(const Recorder& rec, const std::string& part) {
    return static_cast<std::size_t>(std::count_if(rec.boxes.begin(), rec.boxes.end(),
                                                  [&](const std::string& b) { return b.find(part) != std::string::npos; }));
}

} // namespace

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

TEST(Recovery, TheBlockActionRefusesNamesTheSettingsCannotHold) {
    UserList users;
    users.AddBlocked("x\",1,\"spy");
    users.AddBlocked("evil\r\nline");
    users.AddBlocked("   ");
    users.AddBlocked("bob");
    EXPECT_EQ(users.blocked(), (std::vector<std::string>{"bob"}));
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
