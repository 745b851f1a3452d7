// What reaches the disk when the settings are kept: backups that only ever
// improve, even on a full disk; files flushed before they take their name;
// a read-only file left read-only; names the file cannot hold as they are.
#include "FileSteps.h"
#include "Error.h"
#include "Settings.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#ifdef __linux__
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace lanyx;
using test::FileSteps;
using test::readBytes;
using test::writeBytes;
namespace fs = std::filesystem;

namespace {

const std::string kGood =
    "\"English\"\r\n0\r\n0,0,2505,4605\r\n\"ann\",\"0\",\"4\",\"(B)\",\"0\"\r\n0,0,0,0\r\n\"1\"\r\n"
    "\"mallory\"\r\n\"0\"\r\n";
const std::string kBroken = "\"English\"\r\n0\r\n0,0,2505,4605\r\n\"ann\",abc\r\n";

ReadOutcome start(const fs::path& file) {
    SettingsData d;
    return ReadSettings(file, d, "ann", {});
}

// After three starts on a full disk: empty when the good backup and the
// user's file are as they were, else what went wrong.
std::string threeStartsKeepTheGoodBackup(const fs::path& dir) {
    for (int i = 0; i < 3; ++i) {
        const auto o = start(dir / "User.ini");
        if (!o.refused) return "start " + std::to_string(i + 1) + " did not leave the file alone";
    }
    if (readBytes(dir / "User.ini.bak.1") != kGood) return "the good backup was pushed out";
    if (fs::exists(dir / "User.ini.bak.2") || fs::exists(dir / "User.ini.bak.3")) return "backups moved up";
    if (fs::exists(dir / "User.ini.bak.new")) return "a failed copy was left behind";
    if (readBytes(dir / "User.ini") != kBroken) return "the user's file changed";
    return {};
}

}  // namespace

TEST(SettingsFiles, ThreeStartsOnAFullDiskKeepTheGoodBackup) {
    test::TempDir dir;
    writeBytes(dir / "User.ini.bak.1", kGood);
    writeBytes(dir / "User.ini", kBroken);
    // Every write fails as on a full disk.
    FileSteps full([](FileSteps::Step s, const fs::path&) { return s == FileSteps::Step::Written; });
    EXPECT_EQ(threeStartsKeepTheGoodBackup(dir.path()), "");
}

TEST(SettingsFiles, ThreeStartsOnARealFullDiskKeepTheGoodBackup) {
#ifndef __linux__
    GTEST_SKIP() << "a small file system of its own is made with Linux namespaces";
#else
    test::TempDir dir;
    int report[2];
    ASSERT_EQ(pipe(report), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A small file system of its own, seen by this process alone.
        auto say = [&](const std::string& text, int code) {
            (void)!write(report[1], text.data(), text.size());
            _exit(code);
        };
        try {
            if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                mount("tmpfs", dir.path().c_str(), "tmpfs", 0, "size=64k") != 0)
                say("cannot mount a small file system here (needs root)", 77);
            writeBytes(dir / "User.ini.bak.1", kGood);
            writeBytes(dir / "User.ini", kBroken);
            const int fd = ::open((dir / "filler").c_str(), O_WRONLY | O_CREAT, 0600);
            const std::string block(4096, 'x');
            while (::write(fd, block.data(), block.size()) > 0) {
            }
            while (::write(fd, "x", 1) > 0) {
            }
            ::close(fd);
            std::error_code ec;
            if (fs::copy_file(dir / "User.ini", dir / "probe", ec)) say("the file system is not full", 1);
            const auto problem = threeStartsKeepTheGoodBackup(dir.path());
            say(problem, problem.empty() ? 0 : 1);
        } catch (const std::exception& e) {
            say(e.what(), 1);
        }
    }
    close(report[1]);
    std::string said;
    char buf[256];
    for (ssize_t n; (n = read(report[0], buf, sizeof buf)) > 0;) said.append(buf, static_cast<std::size_t>(n));
    close(report[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << said;
    EXPECT_EQ(WEXITSTATUS(status), 0) << said;
#endif
}

TEST(SettingsFiles, ARecoveryKeepsAWholeCopyAndEveryFileIsFlushedBeforeItsRename) {
    test::TempDir dir;
    writeBytes(dir / "User.ini.bak.1", kGood);
    writeBytes(dir / "User.ini", kBroken);
    FileSteps steps;
    const auto o = start(dir / "User.ini");
    EXPECT_TRUE(o.recovered);
    EXPECT_EQ(readBytes(dir / "User.ini.bak.1"), kBroken);
    EXPECT_EQ(readBytes(dir / "User.ini.bak.2"), kGood);
    EXPECT_EQ(steps.replacedDurably(dir / "User.ini.bak.1"), "");
    EXPECT_EQ(steps.replacedDurably(dir / "User.ini"), "");  // the defaults

    SettingsData mine;
    mine.blocked = {"bob"};
    SaveSettings(dir / "User.ini", mine, "ann");
    EXPECT_EQ(steps.replacedDurably(dir / "User.ini"), "");

    // An empty file holds nothing worth a backup: the good ones stay.
    writeBytes(dir / "User.ini", "");
    EXPECT_TRUE(start(dir / "User.ini").recovered);
    EXPECT_EQ(readBytes(dir / "User.ini.bak.1"), kBroken);
    EXPECT_EQ(readBytes(dir / "User.ini.bak.2"), kGood);
}

TEST(SettingsFiles, AReadOnlyFileIsReadLeftReadOnlyAndTheUserTold) {
    test::TempDir dir;
    writeBytes(dir / "User.ini", kGood);
    fs::permissions(dir / "User.ini", fs::perms::owner_read | fs::perms::group_read);
    const auto before = fs::status(dir / "User.ini").permissions();
    SettingsData d;
    const auto o = ReadSettings(dir / "User.ini", d, "ann", {});
    EXPECT_TRUE(o.readOnly);
    EXPECT_FALSE(o.refused);
    EXPECT_EQ(d.blocked, std::vector<std::string>{"mallory"});
    EXPECT_NE(o.notice.find("read-only"), std::string::npos) << o.notice;
    d.blocked.push_back("eve");
    try {
        SaveSettings(dir / "User.ini", d, "ann");
        ADD_FAILURE() << "a read-only file was written";
    } catch (const LanyxError& e) {
        EXPECT_EQ(e.reason(), Reason::SettingsReadOnly);
    }
    EXPECT_EQ(readBytes(dir / "User.ini"), kGood);
    EXPECT_EQ(fs::status(dir / "User.ini").permissions(), before);

    // Read-only and unreadable: not even the defaults replace it.
    fs::permissions(dir / "User.ini", fs::perms::owner_write, fs::perm_options::add);
    writeBytes(dir / "User.ini", kBroken);
    fs::permissions(dir / "User.ini", fs::perms::owner_read);
    const auto broken = start(dir / "User.ini");
    EXPECT_TRUE(broken.refused);
    EXPECT_EQ(readBytes(dir / "User.ini"), kBroken);
    EXPECT_FALSE(fs::exists(dir / "User.ini.bak.1"));
}

TEST(SettingsFiles, NamesTheFileCannotHoldAsTheyAreAreStoredEscapedAndReadBack) {
    test::TempDir dir;
    SettingsData d;
    d.blocked = {"x\",1,\"spy", "evil\r\nline", "tab\there", "\xE5\x90\x8D", "100%", "J\xC3\xA9r\xC3\xB4me", "bob"};
    d.groups = {"q\"uote|ann|", "team|ann|"};
    SaveSettings(dir / "User.ini", d, "ann");
    const auto bytes = readBytes(dir / "User.ini");
    // Every name earlier versions stored is written as it always was.
    EXPECT_NE(bytes.find("\r\n\"100%\"\r\n\"J\xE9r\xF4me\"\r\n\"bob\"\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\r\n\"\"\"x%22,1,%22spy\"\r\n\"\"\"evil%0D%0Aline\"\r\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\"\"\"%E5%90%8D\"\r\n"), std::string::npos) << bytes;  // not in Windows-1252
    ReadOutcome o;
    SettingsData back;
    o = ReadSettings(dir / "User.ini", back, "ann", {});
    EXPECT_EQ(o.droppedNames, 0u);
    EXPECT_EQ(back.blocked, d.blocked);
    EXPECT_EQ(back.groups, d.groups);

    // A damaged escape is left out and counted, the rest stands.
    EXPECT_EQ(ListEntryFromStored("\"bad%4"), std::nullopt);
    EXPECT_EQ(ListEntryFromStored("\"bad%zz"), std::nullopt);
    EXPECT_EQ(ListEntryFromStored("\"%20lead"), std::nullopt);
    EXPECT_EQ(ListEntryFromStored("\"a%25b"), "a%b");
    EXPECT_EQ(StoredListEntry("plain name"), "plain name");
}

TEST(SettingsFiles, ListsBeyondTheCapAreCutWhenReadAndTheUserToldWhatWasLeftOut) {
    test::TempDir dir;
    SettingsData d;
    for (std::size_t i = 0; i < kMaxBlockedNames + 5; ++i) d.blocked.push_back("n" + std::to_string(i));
    for (std::size_t i = 0; i < kMaxGroups + 3; ++i) d.groups.push_back("g" + std::to_string(i) + "|ann|");
    SaveSettings(dir / "User.ini", d, "ann");  // a save writes no more than the caps
    SettingsData back;
    auto o = ReadSettings(dir / "User.ini", back, "ann", {});
    EXPECT_EQ(back.blocked.size(), kMaxBlockedNames);
    EXPECT_EQ(back.groups.size(), kMaxGroups);
    EXPECT_EQ(o.blockedLeftOut, 0u);

    // A file written elsewhere with more: the first ones are kept, the user told.
    std::string text = "\"English\"\r\n0\r\n0,0,2505,4605\r\n\"ann\",0,4,\"(B)\",0\r\n0,0,0,0\r\n" +
                       std::to_string(kMaxBlockedNames + 5) + "\r\n";
    for (std::size_t i = 0; i < kMaxBlockedNames + 5; ++i) text += "\"n" + std::to_string(i) + "\"\r\n";
    text += std::to_string(kMaxGroups + 3) + "\r\n";
    for (std::size_t i = 0; i < kMaxGroups + 3; ++i) text += "\"g" + std::to_string(i) + "|\"\r\n";
    writeBytes(dir / "User.ini", text);
    o = ReadSettings(dir / "User.ini", back, "ann", {});
    EXPECT_EQ(back.blocked.size(), kMaxBlockedNames);
    EXPECT_EQ(back.groups.size(), kMaxGroups);
    EXPECT_EQ(o.blockedLeftOut, 5u);
    EXPECT_EQ(o.groupsLeftOut, 3u);
    EXPECT_NE(o.notice.find("5 blocked names and 3 groups were left out"), std::string::npos) << o.notice;
}
