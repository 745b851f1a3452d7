// Offers, transfer lists and writing what arrives: what a hostile or broken
// sender may try, and what a receiver must never lose.
#include "FileOffer.h"
#include "ReceiveWriter.h"
#include "TestFiles.h"
#include "TransferTestSupport.h"
#include "Unfinished.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace lanyx::transfer;
using lanyx::Reason;
using lanyx::Result;
using lanyx::test::readBytes;
using lanyx::test::TempDir;
using lanyx::test::writeBytes;
using namespace lanyx::test;

namespace {

Result<void> writeAll(ReceiveWriter& w, const std::string& bytes) {
    return w.write(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

Offer offerFor(std::uint64_t files, std::uint64_t bytes) {
    Offer o;
    o.id = std::string(32, 'a');
    o.port = 40000;
    o.files = files;
    o.bytes = bytes;
    o.names = {"x"};
    return o;
}

}  // namespace

TEST(TransferPaths, RefusesEverythingThatLeavesTheFolderOrCannotBeStored) {
    for (const char* good : {"a.txt", "photos/2026/a b.jpg", ".hidden", "Grüße.txt", "a..b", "...x"})
        EXPECT_EQ(CheckRelativePath(good), PathError::None) << good;
    const std::pair<std::string, PathError> bad[] = {
        {"", PathError::Empty},
        {"/etc/passwd", PathError::Absolute},
        {"\\\\server\\share", PathError::Absolute},
        {"C:evil", PathError::Absolute},
        {"..", PathError::DotDot},
        {"a/../../b", PathError::DotDot},
        {"./a", PathError::DotDot},
        {"a\\..\\b", PathError::Separator},
        {"a//b", PathError::Separator},
        {"a/", PathError::Separator},
        {"a\nb", PathError::Control},
        {std::string("a\0b", 3), PathError::Control},
        {"\xff\xfe", PathError::Control},
        {"\xc0\xaf", PathError::Control},      // overlong '/'
        {"\xed\xa0\x80", PathError::Control},  // a surrogate
        {"CON", PathError::Reserved},
        {"dir/aux.txt", PathError::Reserved},
        {"com1", PathError::Reserved},
        {"LPT9.log", PathError::Reserved},
        {"ab:c", PathError::Reserved},
        {"what?", PathError::Reserved},
        {"trailing.", PathError::Reserved},
        {"trailing ", PathError::Reserved},
        {std::string(256, 'n'), PathError::TooLong},
    };
    for (const auto& [path, error] : bad) EXPECT_EQ(CheckRelativePath(path), error) << path;
    std::string deep;
    for (int i = 0; i < 65; ++i) deep += "d/";
    deep += "f";
    EXPECT_EQ(CheckRelativePath(deep), PathError::TooDeep);
}

TEST(TransferOffer, RoundTripsAndRefusesWhatDoesNotParseExactly) {
    Offer o = offerFor(3, 12345);
    o.id = "0123456789abcdef0123456789abcdef";
    o.names = {"report 2026.pdf", "100%;done,x", "Fotos"};
    o.same = "00112233445566778899aabbccddeeff";
    auto text = FormatOffer(o);
    EXPECT_EQ(text.find(' '), std::string::npos);
    EXPECT_EQ(ParseOffer(text), o);
    // Fields a later version adds after the known ones are ignored.
    EXPECT_EQ(ParseOffer(text + ";resume=1"), o);

    const std::string base = "v1;id=0123456789abcdef0123456789abcdef;port=40000;files=1;bytes=5;names=";
    EXPECT_TRUE(ParseOffer(base + "a"));
    for (const std::string& bad : std::vector<std::string>{
             base,                                      // no names
             base + "..",                               // leaves the folder
             base + "a%2Fb",                            // a path, not a name
             base + "a b",                              // unencoded space
             base + "%4",                               // cut escape
             std::string("v2") + base.substr(2) + "a",  // unknown version
             "v1;id=0123456789ABCDEF0123456789abcdef;port=40000;files=1;bytes=5;names=a",
             "v1;id=0123456789abcdef0123456789abcdef;port=0;files=1;bytes=5;names=a",
             "v1;id=0123456789abcdef0123456789abcdef;port=65536;files=1;bytes=5;names=a",
             "v1;id=0123456789abcdef0123456789abcdef;port=40000;files=-1;bytes=5;names=a",
             "v1;id=0123456789abcdef0123456789abcdef;port=40000;files=1;bytes=99999999999999999999;names=a",
             "v1;id=0123456789abcdef0123456789abcdef;port=040000;files=1;bytes=5;names=a",
             "v1;port=40000;id=0123456789abcdef0123456789abcdef;files=1;bytes=5;names=a",
             base + "a;same=00112233445566778899AABBCCDDEEFF",  // not as written
             base + "a;same=0011",
             base + "a;same=00112233445566778899aabbccddeeff;same=00112233445566778899aabbccddeeff",
         })
        EXPECT_FALSE(ParseOffer(bad)) << bad;
    // Many names: the offer still fits a datagram, and the count tells the rest.
    Offer many = offerFor(500, 1);
    many.names.assign(500, std::string(60, 'n'));
    auto big = FormatOffer(many);
    EXPECT_LE(big.size(), kMaxOfferText);
    auto back = ParseOffer(big);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->files, 500u);
    EXPECT_LT(back->names.size(), 16u);
}

TEST(TransferManifest, AcceptsATreeAndRefusesLiesAndEscapes) {
    std::vector<Entry> tree = {{"Fotos", true, 0},
                               {"Fotos/a.jpg", false, 10},
                               {"Fotos/2026", true, 0},
                               {"Fotos/2026/b c.jpg", false, 0},
                               {"notes.txt", false, 5}};
    auto ok = ParseManifest(FormatManifest(tree), offerFor(3, 15));
    ASSERT_EQ(ok.error, ManifestError::None);
    EXPECT_EQ(ok.entries, tree);

    auto check = [](const std::string& text, std::uint64_t files, std::uint64_t bytes) {
        return ParseManifest(text, offerFor(files, bytes)).error;
    };
    EXPECT_EQ(check("F 5 a\nF 5 b\n", 2, 11), ManifestError::SizeMismatch);                    // a size lie
    EXPECT_EQ(check("F 18446744073709551615 a\nF 2 b\n", 2, 1), ManifestError::SizeMismatch);  // no wrap
    EXPECT_EQ(check("F 5 a\n", 2, 5), ManifestError::SizeMismatch);
    EXPECT_EQ(check("F 5 ../a\n", 1, 5), ManifestError::BadPath);
    EXPECT_EQ(check("F 5 /etc/cron.d/x\n", 1, 5), ManifestError::BadPath);
    EXPECT_EQ(check("F 5 .a.lanyx-part\n", 1, 5), ManifestError::BadPath);
    EXPECT_EQ(check("F 5 d/a\n", 1, 5), ManifestError::NoParent);         // folder not listed
    EXPECT_EQ(check("F 1 d\nF 4 d/a\n", 2, 5), ManifestError::NoParent);  // a file is no folder
    EXPECT_EQ(check("F 1 a\nF 4 A\n", 2, 5), ManifestError::Duplicate);   // one name where case is folded
    EXPECT_EQ(check("D d\nD d\n", 0, 0), ManifestError::Duplicate);
    EXPECT_EQ(check("F 5 a", 1, 5), ManifestError::Syntax);  // truncated
    EXPECT_EQ(check("F 05 a\n", 1, 5), ManifestError::Syntax);
    EXPECT_EQ(check("X a\n", 0, 0), ManifestError::Syntax);
    EXPECT_EQ(check("F 5 a b\n", 1, 5), ManifestError::Syntax);  // unencoded space
}

TEST(TransferNames, NumbersTakenNamesLikeADesktop) {
    EXPECT_EQ(NumberedName("report.pdf", 1, false), "report (1).pdf");
    EXPECT_EQ(NumberedName("archive.tar.gz", 2, false), "archive.tar (2).gz");
    EXPECT_EQ(NumberedName(".bashrc", 1, false), ".bashrc (1)");
    EXPECT_EQ(NumberedName("v1.2", 1, true), "v1.2 (1)");
    TempDir dir;
    writeBytes(dir / "a.txt", "old");
    writeBytes(dir / "a (1).txt", "older");
    EXPECT_EQ(UniqueName(dir.path(), "a.txt", false), "a (2).txt");
    EXPECT_EQ(UniqueName(dir.path(), "b.txt", false), "b.txt");
    EXPECT_EQ(PartialName(dir / "b.txt"), dir / ".b.txt.lanyx-part");
}

TEST(TransferWriter, WritesATreeNeverOverwritesAndKeepsPartialsHidden) {
    TempDir dir;
    writeBytes(dir / "notes.txt", "mine, keep me");
    std::vector<Entry> entries = {{"Fotos", true, 0}, {"Fotos/a.jpg", false, 6}, {"notes.txt", false, 5}};
    ReceiveWriter w(dir.path(), entries, testDigests());
    ASSERT_TRUE(w.begin());
    EXPECT_TRUE(listing(dir.path()) == std::vector<std::string>{"notes.txt"}) << "nothing written by begin";

    auto at = w.openFile(1);
    ASSERT_TRUE(at) << at.error().text;
    EXPECT_EQ(*at, 0u);
    ASSERT_TRUE(writeAll(w, "abc"));
    EXPECT_TRUE(fs::exists(dir / "Fotos" / ".a.jpg.lanyx-part"));
    EXPECT_FALSE(fs::exists(dir / "Fotos" / "a.jpg"));
    ASSERT_TRUE(writeAll(w, "def"));
    EXPECT_EQ(writeAll(w, "g").error().reason, Reason::MoreThanSize);
    ASSERT_TRUE(w.finishFile(digestOf("abcdef")));
    EXPECT_EQ(readBytes(dir / "Fotos" / "a.jpg"), "abcdef");

    ASSERT_TRUE(w.openFile(2));
    ASSERT_TRUE(writeAll(w, "hello"));
    ASSERT_TRUE(w.finishFile(digestOf("hello")));
    EXPECT_EQ(readBytes(dir / "notes.txt"), "mine, keep me");
    EXPECT_EQ(readBytes(dir / "notes (1).txt"), "hello");
    EXPECT_EQ(listing(dir.path()), (std::vector<std::string>{"Fotos", "Fotos/a.jpg", "notes (1).txt", "notes.txt"}));
}

TEST(TransferWriter, DamagedOrShortFilesNeverGetTheirNameAndCancelCleansUp) {
    TempDir dir;
    std::vector<Entry> entries = {{"d", true, 0}, {"d/e", true, 0}, {"d/e/f.bin", false, 4}, {"g.bin", false, 4}};
    ReceiveWriter w(dir.path(), entries, testDigests());
    ASSERT_TRUE(w.begin());
    ASSERT_TRUE(w.openFile(3));
    ASSERT_TRUE(writeAll(w, "good"));
    ASSERT_TRUE(w.finishFile(digestOf("good")));

    ASSERT_TRUE(w.openFile(2));
    ASSERT_TRUE(writeAll(w, "ba"));
    EXPECT_EQ(w.finishFile(digestOf("ba")).error().reason, Reason::EndedEarly);
    ASSERT_TRUE(writeAll(w, "ad"));
    EXPECT_EQ(w.finishFile(digestOf("good")).error().reason, Reason::ArrivedDamaged);
    EXPECT_EQ(w.problem(), StopReason::Damaged);
    EXPECT_FALSE(fs::exists(dir / "d" / "e" / "f.bin"));

    w.cancel();
    // The partial file and the folders only it needed are gone; the
    // finished file stays.
    EXPECT_EQ(listing(dir.path()), std::vector<std::string>{"g.bin"});
}

TEST(TransferWriter, ResumesAPartialFileAndChecksTheWhole) {
    TempDir dir;
    const std::string data = "0123456789";
    std::vector<Entry> entries = {{"big.iso", false, data.size()}};
    ReceiveWriter w(dir.path(), entries, testDigests());
    ASSERT_TRUE(w.begin());
    ASSERT_TRUE(w.openFile(0));
    ASSERT_TRUE(writeAll(w, data.substr(0, 4)));
    w.suspend();  // the connection dropped
    const auto resumed = w.openFile(0);
    ASSERT_TRUE(resumed) << resumed.error().text;
    EXPECT_EQ(*resumed, 4u);
    ASSERT_TRUE(writeAll(w, data.substr(4)));
    ASSERT_TRUE(w.finishFile(digestOf(data)));
    EXPECT_EQ(readBytes(dir / "big.iso"), data);
    EXPECT_EQ(listing(dir.path()), std::vector<std::string>{"big.iso"});
}

TEST(TransferWriter, NeverWritesThroughLinksOrOverAPlantedFile) {
    TempDir dir;
    TempDir outside;
    // A link where a folder of the transfer goes, planted before it starts.
    fs::create_directory_symlink(outside.path(), dir / "d");
    std::vector<Entry> entries = {{"d", true, 0}, {"d/x", false, 1}, {"y", false, 1}};
    ReceiveWriter w(dir.path(), entries, testDigests());
    ASSERT_TRUE(w.begin());
    EXPECT_EQ(w.targetOf(1), dir / "d (1)" / "x") << "the taken name is numbered";
    ASSERT_TRUE(w.openFile(1));
    // A link planted at the partial name of the next file is not followed.
    fs::create_symlink(outside / "victim", dir / ".y.lanyx-part");
    EXPECT_FALSE(w.openFile(2));
    EXPECT_TRUE(fs::is_empty(outside.path()));

    ReceiveWriter none(dir / "missing", entries, testDigests());
    EXPECT_EQ(none.begin().error().reason, Reason::FolderMissing);
    // Free space is checked before anything is written.
    ReceiveWriter huge(outside.path(), {{"z", false, 1ull << 62}}, testDigests());
    EXPECT_EQ(huge.begin().error().reason, Reason::NotEnoughSpace);
    EXPECT_EQ(huge.problem(), StopReason::DiskFull);
}

TEST(UnfinishedStore, RoundTripsAndLeavesOutOnlyTheLinesThatDoNotParse) {
    Unfinished u;
    u.offer = offerFor(2, 9);
    u.offer.names = {"Fotos", "a b.txt"};
    u.offer.same = "00112233445566778899aabbccddeeff";
    u.sender = "ann";
    u.senderKey = std::string(64, 'a');
    u.folder = "/home/bob/Down loads";
    u.address = lanyx::IpAddress::v4(0x7f000001);
    u.touched = 1700000000000;
    u.resume = {{{"Fotos", "Fotos (1)"}, {"a b.txt", "a b.txt"}}, std::string(64, 'b'), 2};
    Unfinished waiting = u;  // accepted, its list not come yet
    waiting.offer.id = NewTransferId();
    waiting.resume = {};
    const auto text = FormatUnfinished({u, waiting});
    auto back = ParseUnfinished(text);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->damaged, 0u);
    EXPECT_EQ(back->transfers, (std::vector<Unfinished>{u, waiting}));

    // One field changed at a time: that line goes, the good one stays.
    const auto line = text.substr(text.find('\n') + 1, text.find('\n', text.find('\n') + 1) - text.find('\n'));
    const auto field = [&](std::size_t n, const std::string& value) {
        std::vector<std::string> f;
        std::string rest = line.substr(0, line.size() - 1);
        for (std::size_t at; (at = rest.find('\t')) != std::string::npos; rest.erase(0, at + 1))
            f.push_back(rest.substr(0, at));
        f.push_back(rest);
        f[n] = value;
        std::string out;
        for (const auto& x : f) out += (out.empty() ? "" : "\t") + x;
        return out + "\n";
    };
    for (const auto& bad : {field(2, "xyz"), field(3, "300.1.1.1"), field(5, "-1"), field(6, "-"),
                            field(8, "Fotos/..,a%20b.txt/a%20b.txt"), field(8, "Fotos/a%2Fb,a%20b.txt/x"),
                            field(8, "Fotos"), field(9, "v1;id=nothex"), field(7, ""), field(0, "transfers")}) {
        const auto parsed = ParseUnfinished("Lanyx unfinished transfers 1\n" + bad +
                                            FormatUnfinished({waiting}).substr(29));
        ASSERT_TRUE(parsed) << bad;
        EXPECT_EQ(parsed->damaged, 1u) << bad;
        EXPECT_EQ(parsed->transfers, std::vector<Unfinished>{waiting}) << bad;
    }
    // The same transfer twice, and not such a file at all.
    EXPECT_EQ(ParseUnfinished(text + line)->damaged, 1u);
    EXPECT_FALSE(ParseUnfinished("Lanyx known keys 2\n"));
}
