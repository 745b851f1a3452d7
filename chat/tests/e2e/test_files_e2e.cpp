// Files between lanyx-cli copies on a simulated segment: the offer over UDP,
// the files over TCP from the receiver to the sender's port.
#include "Segment.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

using namespace lanyx::e2e;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> tree(const fs::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        out.push_back(e.path().lexically_relative(dir).generic_string());
    std::sort(out.begin(), out.end());
    return out;
}

class FilesEndToEnd : public SegmentTest {
protected:
    void SetUp() override {
        SegmentTest::SetUp();
        src_ = root_ / "src";
        inbox_ = root_ / "inbox";
        fs::create_directories(src_);
        fs::create_directories(inbox_);
    }
    // bob listens on host 1 with these options; returns once he has joined.
    Process& receiver(std::vector<std::string> options) {
        options.insert(options.begin(), "listen");
        auto& p = cli(1, "bob", options);
        joined_ = waitForText(out("bob"), "join\tbob\t", 15000);
        return p;
    }
    Process& sender(std::vector<std::string> paths, std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"send", "--to", "bob"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back("--");
        args.insert(args.end(), paths.begin(), paths.end());
        return cli(0, "ann", args);
    }
    std::string p(const fs::path& path) const { return path.string(); }
    // A slow link out of ann's host, so that a transfer is still running
    // when it is cut; false (with the reason) where it cannot be made.
    bool slowLink(std::string& why) {
        if (!segment_->namespaces()) {
            why = "no network namespaces: the link cannot be slowed";
            return false;
        }
        auto& tc = run(0, "tc",
                       {"tc", "qdisc", "add", "dev", "eth0", "root", "tbf", "rate", "40mbit", "burst", "32kb",
                        "latency", "100ms"});
        if (tc.wait(5000) != 0) {
            why = "tc cannot slow the link: " + err("tc");
            return false;
        }
        return true;
    }
    fs::path src_, inbox_;
    bool joined_ = false;
};

#define REQUIRE_JOINED()                                                                             \
    do {                                                                                             \
        if (!joined_) {                                                                              \
            if (!segment_->namespaces()) GTEST_SKIP() << "no network namespaces: cannot run copies"; \
            FAIL() << "bob did not start: " << readFile(out("bob")) << err("bob");                   \
        }                                                                                            \
    } while (0)

}  // namespace

TEST_F(FilesEndToEnd, AFileAndAFolderTreeArriveByteForByte) {
    writeFile(src_ / "report.pdf", pattern(5u << 20, 1));
    writeFile(src_ / "photos" / "2026" / "a.jpg", pattern(300000, 2));
    writeFile(src_ / "photos" / "b.jpg", "");
    writeFile(src_ / "photos" / "notes" / "notes.txt", "bell");
    receiver({"--accept-into", p(inbox_), "--accept-from", "ann", "--accept-from", "ann2"});
    REQUIRE_JOINED();
    auto& ann = sender({p(src_ / "report.pdf"), p(src_ / "photos")});
    ASSERT_EQ(ann.wait(60000), 0) << readFile(out("ann")) << err("ann") << readFile(out("bob"));
    const auto annOut = readFile(out("ann"));
    EXPECT_NE(annOut.find("transfer-started\tbob\treport.pdf, photos\n"), std::string::npos) << annOut;
    EXPECT_NE(annOut.find("file-sent\tbob\treport.pdf\n"), std::string::npos) << annOut;
    EXPECT_NE(annOut.find("file-sent\tbob\tphotos\n"), std::string::npos) << annOut;

    ASSERT_TRUE(waitForText(out("bob"), "file-received\tann\t" + p(inbox_ / "photos") + "\n", 5000))
        << readFile(out("bob"));
    const auto bobOut = readFile(out("bob"));
    EXPECT_NE(bobOut.find("file-offer\tann\t4 files, " + std::to_string((5u << 20) + 300000u + 4u) +
                          " bytes: report.pdf, photos\n"),
              std::string::npos)
        << bobOut;
    EXPECT_NE(bobOut.find("file-received\tann\t" + p(inbox_ / "report.pdf") + "\n"), std::string::npos);
    EXPECT_EQ(readFile(p(inbox_ / "report.pdf")), pattern(5u << 20, 1));
    EXPECT_EQ(readFile(p(inbox_ / "photos" / "2026" / "a.jpg")), pattern(300000, 2));
    EXPECT_EQ(readFile(p(inbox_ / "photos" / "notes" / "notes.txt")), "bell");
    EXPECT_EQ(tree(inbox_), (std::vector<std::string>{"photos", "photos/2026", "photos/2026/a.jpg", "photos/b.jpg",
                                                      "photos/notes", "photos/notes/notes.txt", "report.pdf"}));

    // The same again: nothing is overwritten, the new copy takes a new name.
    auto& again = cli(0, "ann2", {"send", "--to", "bob", p(src_ / "photos")});
    ASSERT_EQ(again.wait(60000), 0) << readFile(out("ann2")) << err("ann2");
    ASSERT_TRUE(waitForText(out("bob"), "file-received\tann2\t", 5000));
    EXPECT_NE(readFile(out("bob")).find("file-received\tann2\t" + p(inbox_ / "photos (1)") + "\n"), std::string::npos)
        << readFile(out("bob"));
    EXPECT_EQ(readFile(p(inbox_ / "photos (1)" / "2026" / "a.jpg")), pattern(300000, 2));
    EXPECT_EQ(readFile(p(inbox_ / "photos" / "2026" / "a.jpg")), pattern(300000, 2));
}

TEST_F(FilesEndToEnd, ADeclinedOfferLeavesNothingAndAnAbsentRecipientIsAnError) {
    writeFile(src_ / "a.txt", "hello");
    receiver({"--decline"});
    REQUIRE_JOINED();
    auto& ann = sender({p(src_ / "a.txt")});
    ASSERT_EQ(ann.wait(60000), 5) << readFile(out("ann")) << err("ann");
    EXPECT_NE(readFile(out("ann")).find("transfer-declined\tbob\ta.txt\n"), std::string::npos) << readFile(out("ann"));
    EXPECT_EQ(readFile(out("ann")).find("file-sent"), std::string::npos);
    EXPECT_NE(readFile(out("bob")).find("file-offer\tann\t1 file, 5 bytes: a.txt\n"), std::string::npos);
    EXPECT_NE(readFile(out("bob")).find("transfer-declined\tann\ta.txt\n"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(inbox_));

    auto& lost = cli(2, "carl", {"send", "--to", "nobody", "--wait-ms", "1000", p(src_ / "a.txt")});
    EXPECT_EQ(lost.wait(30000), 5);
    EXPECT_NE(err("carl").find("lanyx-cli: nobody: was not seen on the network"), std::string::npos) << err("carl");

    // Checked before the wait: a folder that is not there, a path that is not there.
    auto& bad = cli(2, "dora", {"listen", "--accept-into", p(root_ / "missing")});
    EXPECT_EQ(bad.wait(5000), 2);
    EXPECT_NE(err("dora").find("no such folder"), std::string::npos) << err("dora");
    auto& bad2 = cli(2, "eve", {"send", "--to", "bob", p(src_ / "missing.txt")});
    EXPECT_EQ(bad2.wait(5000), 2);
    EXPECT_NE(err("eve").find("missing.txt: no such file or folder"), std::string::npos) << err("eve");
}

TEST_F(FilesEndToEnd, AConnectionCutHalfwayResumesAndTheFileArrivesWhole) {
    writeFile(src_ / "big.bin", pattern(24u << 20, 7));
    receiver({"--accept-into", p(inbox_), "--accept-from", "ann", "--test-drop-after", std::to_string(10u << 20)});
    REQUIRE_JOINED();
    auto& ann = sender({p(src_ / "big.bin")});
    ASSERT_EQ(ann.wait(90000), 0) << readFile(out("ann")) << err("ann") << readFile(out("bob"));
    ASSERT_TRUE(waitForText(out("bob"), "file-received\tann\t", 5000)) << readFile(out("bob"));
    // The receiver cut its connection and came back at once; the sender saw
    // the connection go and the transfer go on.
    const auto annOut = readFile(out("ann"));
    EXPECT_NE(annOut.find("transfer-interrupted\tbob\tthe receiver closed the connection\n"), std::string::npos)
        << annOut;
    EXPECT_LT(annOut.find("transfer-interrupted"), annOut.find("file-sent\tbob\tbig.bin\n")) << annOut;
    EXPECT_EQ(readFile(p(inbox_ / "big.bin")), pattern(24u << 20, 7));
    EXPECT_EQ(tree(inbox_), (std::vector<std::string>{"big.bin"}));
}

TEST_F(FilesEndToEnd, CtrlCAtTheSenderCancelsAndTheReceiverRemovesThePartialFiles) {
    if (std::string why; !slowLink(why)) GTEST_SKIP() << why;
    writeFile(src_ / "movie.bin", pattern(40u << 20, 3));
    writeFile(src_ / "extras" / "one.bin", pattern(1000, 4));
    receiver({"--accept-into", p(inbox_), "--accept-from", "ann", "--accept-from", "ann2"});
    REQUIRE_JOINED();
    auto& ann = sender({p(src_ / "extras"), p(src_ / "movie.bin")});
    ASSERT_TRUE(waitForText(out("ann"), "transfer-progress\tbob\t", 30000)) << readFile(out("ann")) << err("ann");
    ASSERT_FALSE(fs::is_empty(inbox_));  // something is being written
    ann.signal(SIGINT);
    EXPECT_EQ(ann.wait(15000), 5) << readFile(out("ann"));
    EXPECT_NE(readFile(out("ann")).find("transfer-cancelled\tbob\tcancelled\n"), std::string::npos)
        << readFile(out("ann"));
    ASSERT_TRUE(waitForText(out("bob"), "transfer-cancelled\tann\tcancelled by ann\n", 10000)) << readFile(out("bob"));
    EXPECT_EQ(readFile(out("bob")).find("file-received"), std::string::npos);
    // No partial file stays; the file that had arrived whole before stays.
    EXPECT_EQ(tree(inbox_), (std::vector<std::string>{"extras", "extras/one.bin"}));
    EXPECT_EQ(readFile(p(inbox_ / "extras" / "one.bin")), pattern(1000, 4));
}

TEST_F(FilesEndToEnd, CtrlCAtTheReceiverCancelsAndTellsTheSender) {
    if (std::string why; !slowLink(why)) GTEST_SKIP() << why;
    writeFile(src_ / "movie.bin", pattern(40u << 20, 3));
    auto& bob = receiver({"--accept-into", p(inbox_), "--accept-from", "ann"});
    REQUIRE_JOINED();
    auto& ann = sender({p(src_ / "movie.bin")});
    ASSERT_TRUE(waitForText(out("bob"), "transfer-progress\tann\t", 30000)) << readFile(out("bob")) << err("ann");
    bob.signal(SIGINT);
    EXPECT_EQ(bob.wait(15000), 0);
    EXPECT_NE(readFile(out("bob")).find("transfer-cancelled\tann\tcancelled\n"), std::string::npos)
        << readFile(out("bob"));
    EXPECT_TRUE(fs::is_empty(inbox_));
    EXPECT_EQ(ann.wait(15000), 5) << readFile(out("ann"));
    EXPECT_NE(readFile(out("ann")).find("transfer-cancelled\tbob\tcancelled by bob\n"), std::string::npos)
        << readFile(out("ann"));
}

TEST_F(FilesEndToEnd, APictureArrivesWithoutAnOfferAndIsKeptByteForByte) {
    // A 1 × 1 PNG.
    const std::string png(
        "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1f\x15\xc4\x89\0\0\0\n"
        "IDAT\x78\x9c\x63\0\x01\0\0\x05\0\x01\x0d\x0a\x2d\xb4\0\0\0\0IEND\xae\x42\x60\x82",
        67);
    writeFile(src_ / "shot.png", png);
    receiver({});
    REQUIRE_JOINED();
    auto& ann = cli(0, "ann", {"image", "--to", "bob", p(src_ / "shot.png")});
    ASSERT_EQ(ann.wait(60000), 0) << readFile(out("ann")) << err("ann") << readFile(out("bob"));
    ASSERT_TRUE(waitForText(out("bob"), "image\tann\t", 5000)) << readFile(out("bob")) << err("bob");
    const auto bobOut = readFile(out("bob"));
    const auto at = bobOut.find("image\tann\t") + 10;
    const auto line = bobOut.substr(at, bobOut.find('\n', at) - at);
    const auto tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << line;
    EXPECT_EQ(line.substr(tab + 1, 3), "id=") << line;
    EXPECT_EQ(line.size(), tab + 4 + 16) << line;
    EXPECT_EQ(readFile(line.substr(0, tab)), png);
    // Nothing was offered to bob to answer, and no file transfer is told of.
    EXPECT_EQ(bobOut.find("file-offer\t"), std::string::npos) << bobOut;
    EXPECT_EQ(bobOut.find("file-received\t"), std::string::npos) << bobOut;
    EXPECT_NE(readFile(out("ann")).find("delivery\tbob\tpicture: delivered\tid="), std::string::npos)
        << readFile(out("ann"));
}
