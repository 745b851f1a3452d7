// The platform layer on the system it runs on: these tests run on Linux and,
// cross-built, on Windows under Wine (tools/wincross.sh).
#include "DurableFile.h"
#include "OutputFile.h"
#include "Paths.h"
#include "Platform.h"
#include "RecordFile.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace lanyx;
using test::readBytes;
using test::writeBytes;
namespace fs = std::filesystem;

TEST(Paths, ADirOptionThenAWritableProgramFolderThenTheUsersFolder) {
    test::TempDir dir;
    const auto program = dir / "program";
    const auto user = dir / "user";
    fs::create_directories(program);
    fs::create_directories(user);
    EXPECT_EQ(ResolvePaths(std::nullopt, program, true, user).dataDir, program);  // a portable copy
    EXPECT_EQ(ResolvePaths(std::nullopt, program, false, user).dataDir, user);
    EXPECT_EQ(ResolvePaths(dir / "mine", program, false, user).dataDir, dir / "mine");
    EXPECT_TRUE(ResolvePaths(fs::path("relative"), program, false, user).dataDir.is_absolute());

    // The language file: the data folder's copy wins over the installed one.
    EXPECT_EQ(ResolvePaths(std::nullopt, program, false, user).langFile, program / "Lang.con");
    writeBytes(user / "Lang.con", "x");
    EXPECT_EQ(ResolvePaths(std::nullopt, program, false, user).langFile, user / "Lang.con");

    // This process: the test program's own folder, writable here.
    const auto here = ResolvePaths(std::nullopt);
    EXPECT_EQ(here.programDir, platform::programFile().parent_path());
    EXPECT_TRUE(fs::exists(platform::programFile()));
    EXPECT_EQ(platform::userDataDir().filename(), "Lanyx");
    EXPECT_TRUE(platform::isDirWritable(program));
    EXPECT_TRUE(fs::is_empty(program));  // the probe left nothing behind
    EXPECT_FALSE(platform::isDirWritable(dir / "missing"));
}

TEST(Platform, FilesOfNamesOutsideASCIIAreWrittenReplacedAndReadBack) {
    test::TempDir dir;
    // Windows-1252 letters, and letters no single-byte code page holds.
    for (const std::string name : {"Zo\xC3\xAB.txt", "\xCE\x96\xCF\x89\xCE\xAE.txt"}) {
        const auto path = dir.path() / platform::pathFromUtf8(name);
        EXPECT_EQ(platform::pathToUtf8(path.filename()), name);
        std::string error;
        ASSERT_TRUE(platform::replaceFile(path, "first", error)) << error;
        // Replacing an existing file: a plain rename fails over it on Windows.
        ASSERT_TRUE(platform::replaceFile(path, "second", error)) << error;
        EXPECT_EQ(readBytes(path), "second");
        EXPECT_FALSE(fs::exists(fs::path(path).concat(".tmp")));
        EXPECT_FALSE(platform::isReadOnlyFile(path));
        fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        EXPECT_TRUE(platform::isReadOnlyFile(path));
        fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    }
}

TEST(Platform, OutputFilesAreNewAndRenamedWithoutReplacingAnything) {
    test::TempDir dir;
    std::string error;
    auto out = platform::OutputFile::createNew(dir / "a.part", error);
    ASSERT_TRUE(out) << error;
    ASSERT_TRUE(out->write("hello ", 6, error)) << error;
    // Something else already has the name: never written over.
    EXPECT_FALSE(platform::OutputFile::createNew(dir / "a.part", error));
    ASSERT_TRUE(out->flush(error)) << error;
    out.reset();

    std::uint64_t size = 0;
    auto more = platform::OutputFile::openForAppend(dir / "a.part", size, error);
    ASSERT_TRUE(more) << error;
    EXPECT_EQ(size, 6u);
    ASSERT_TRUE(more->write("world", 5, error));
    ASSERT_TRUE(more->flush(error));
    more.reset();
    EXPECT_FALSE(platform::OutputFile::openForAppend(dir / "missing", size, error));
    EXPECT_FALSE(platform::OutputFile::openForAppend(dir.path(), size, error));  // a folder

    writeBytes(dir / "a.txt", "theirs");
    EXPECT_FALSE(platform::renameNoReplace(dir / "a.part", dir / "a.txt", error));
    EXPECT_EQ(readBytes(dir / "a.txt"), "theirs");
    ASSERT_TRUE(platform::renameNoReplace(dir / "a.part", dir / "b.txt", error)) << error;

    auto in = platform::InputFile::open(dir / "b.txt", size, error);
    ASSERT_TRUE(in) << error;
    EXPECT_EQ(size, 11u);
    std::string got(16, '\0');
    std::size_t n = 0;
    ASSERT_TRUE(in->read(got.data(), got.size(), n, error));
    EXPECT_EQ(got.substr(0, n), "hello world");
    EXPECT_FALSE(platform::InputFile::open(dir.path(), size, error));  // a folder is no file to send

    EXPECT_TRUE(platform::makeNewFolder(dir / "new", error));
    EXPECT_FALSE(platform::makeNewFolder(dir / "new", error));
}

// Who talks to whom is in every file of the data folder: what the platform
// layer writes is readable by its owner alone, replaced files lose what
// they gave others, and the folder's start closes what was left open.
TEST(Platform, FilesItWritesAndTheDataFolderAreTheOwnersAlone) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows: the files inherit the data folder's rights";
#else
    test::TempDir dir;
    const auto perms = [](const fs::path& p) { return fs::symlink_status(p).permissions() & fs::perms::mask; };
    constexpr auto ownerRw = fs::perms::owner_read | fs::perms::owner_write;
    std::string error;
    ASSERT_TRUE(platform::replaceFile(dir / "KnownKeys.txt", "x", error)) << error;
    EXPECT_EQ(perms(dir / "KnownKeys.txt"), ownerRw);
    fs::permissions(dir / "KnownKeys.txt", ownerRw | fs::perms::group_read | fs::perms::others_read);
    ASSERT_TRUE(platform::replaceFile(dir / "KnownKeys.txt", "y", error)) << error;
    EXPECT_EQ(perms(dir / "KnownKeys.txt"), ownerRw);
    appendTextFile(dir / "Log.txt", "one\r\n");
    appendTextFile(dir / "Log.txt", "two\r\n");
    EXPECT_EQ(readBytes(dir / "Log.txt"), "one\r\ntwo\r\n");
    EXPECT_EQ(perms(dir / "Log.txt"), ownerRw);

    // Left open by an earlier build: closed; a program file and a link stay.
    const auto data = dir / "data";
    fs::create_directories(data);
    fs::permissions(data, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    writeBytes(data / "Rooms.txt", "r");
    writeBytes(data / "lanyx", "program");
    fs::permissions(data / "Rooms.txt", ownerRw | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(data / "lanyx", fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    writeBytes(dir / "elsewhere", "e");
    fs::permissions(dir / "elsewhere", ownerRw | fs::perms::others_read);
    fs::create_symlink(dir / "elsewhere", data / "link");
    platform::closeToOthers(data);
    EXPECT_EQ(perms(data), fs::perms::owner_all);
    EXPECT_EQ(perms(data / "Rooms.txt"), ownerRw);
    EXPECT_EQ(perms(data / "lanyx"), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    EXPECT_EQ(perms(dir / "elsewhere"), ownerRw | fs::perms::others_read);
#endif
}
