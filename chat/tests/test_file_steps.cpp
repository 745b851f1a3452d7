// Every file the program replaces reaches the disk before it takes its name,
// and the folder after: a power cut right after the rename finds the new
// contents whole. One case per kind of file.
#include "Crypto.h"
#include "FileSteps.h"
#include "Identity.h"
#include "Networks.h"
#include "Outbox.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace lanyx;
using namespace lanyx::test;
namespace fs = std::filesystem;

namespace {

// Stops as a power cut would, right after `file` took its new name, and
// keeps what the file held then.
struct PowerCut {
    explicit PowerCut(fs::path f)
        : file(std::move(f)), steps([this](FileSteps::Step s, const fs::path& p) {
              if (s == FileSteps::Step::Renamed && p == file) atCut = readBytes(file);
              return false;  // nothing after the cut: every later step fails
          }) {}
    fs::path file;
    std::string atCut;
    FileSteps steps;
};

}  // namespace

TEST(FileSteps, KeysKnownKeysAndReplayWindowsAreFlushedBeforeTheirRename) {
    if (!crypto::available()) GTEST_SKIP() << "this build has no cryptographic library: no key files";
    TempDir dir;
    {
        FileSteps steps;
        const auto loaded = LoadOrCreateIdentity(dir.path());
        ASSERT_TRUE(loaded.identity) << loaded.note;
        EXPECT_EQ(steps.replacedDurably(dir / Identity::kFileName), "");
    }
    PinStore pins;
    pins.pinNew("bob", std::string(32, 's'), std::string(32, 'b'), true, 1'700'000'000);
    SeenStore seen;
    seen.privateSenders["bob"] = {7, 1};
    std::string problem;
    FileSteps steps;
    ASSERT_TRUE(pins.save(dir / PinStore::kFileName, problem)) << problem;
    ASSERT_TRUE(seen.save(dir / SeenStore::kFileName, problem)) << problem;
    EXPECT_EQ(steps.replacedDurably(dir / PinStore::kFileName), "");
    EXPECT_EQ(steps.replacedDurably(dir / SeenStore::kFileName), "");
}

TEST(FileSteps, TheOutboxAndTheDestinationsAreFlushedBeforeTheirRename) {
    TempDir dir;
    FileSteps steps;
    net::writeDestinations(dir / "Network.txt", {"192.168.7.255"});
    EXPECT_EQ(steps.replacedDurably(dir / "Network.txt"), "");
    if (!crypto::available()) GTEST_SKIP() << "this build has no cryptographic library: no outbox";
    const Identity me = Identity::generate();
    Outbox box(dir.path(), me);
    std::string problem;
    ASSERT_TRUE(box.load(problem)) << problem;
    ASSERT_TRUE(box.save(problem)) << problem;
    EXPECT_EQ(steps.replacedDurably(dir / Outbox::kFileName), "");
}

TEST(FileSteps, APowerCutRightAfterTheRenameFindsTheNewFileWhole) {
    TempDir dir;
    SeenStore old, now;
    old.privateSenders["bob"] = {7, 1};
    for (int i = 0; i < 500; ++i) now.privateSenders["user" + std::to_string(i)] = {static_cast<std::uint64_t>(i), 3};
    std::string problem;
    ASSERT_TRUE(old.save(dir / SeenStore::kFileName, problem));
    PowerCut cut(dir / SeenStore::kFileName);
    now.save(dir / SeenStore::kFileName, problem);
    EXPECT_EQ(cut.steps.replacedDurably(cut.file).find("was renamed before"), std::string::npos);
    EXPECT_EQ(cut.atCut, now.toText());
}
