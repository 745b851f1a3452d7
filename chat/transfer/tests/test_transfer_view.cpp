// What a transfer's row, note and checks show, without a display.
#include "TransferView.h"

#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace lanyx;
using namespace lanyx::ui;
using State = TransferItem::State;
using Dir = TransferItem::Direction;

namespace {
TransferItem itemOf(State state, Dir dir = Dir::Incoming) {
    TransferItem i;
    i.id = "0123456789abcdef0123456789abcdef";
    i.direction = dir;
    i.peer = "bob";
    i.names = {"a.txt"};
    i.files = 1;
    i.bytes = 2000;
    i.state = state;
    if (dir == Dir::Incoming) i.folder = "/home/ann/Downloads";
    return i;
}
}  // namespace

TEST(TransferNames, ShortListsLongListsAndOffersCutShortBySender) {
    EXPECT_EQ(NamesText({"a"}, 1), "a");
    EXPECT_EQ(NamesText({"a", "b", "c"}, 3), "a, b, c");
    EXPECT_EQ(NamesText({"a", "b", "c", "d", "e"}, 5), "a, b, c and 2 more");
    // A folder holds many files under one name: its files are not "more".
    EXPECT_EQ(NamesText({"photos"}, 300), "photos");
    // The offer carries at most 16 names: the rest is counted from the files.
    QStringList sixteen;
    for (int i = 0; i < 16; ++i) sixteen << QStringLiteral("f%1").arg(i);
    EXPECT_EQ(NamesText(sixteen, 40, 16), sixteen.join(", ") + " and 24 more");
    EXPECT_EQ(NamesText(sixteen, 40, 2), "f0, f1 and 38 more");
    EXPECT_EQ(NamesText(sixteen, 16, 16), sixteen.join(", "));
    EXPECT_EQ(NamesText({}, 0), "");
    EXPECT_EQ(NamesText({"a", "b"}, 2, 0), "a and 1 more");  // at least one name
}

TEST(TransferNames, SpeedAndTimeLeftAtTheirEdges) {
    EXPECT_EQ(SpeedText(0), "");
    EXPECT_EQ(SpeedText(0.5), "");
    EXPECT_EQ(SpeedText(std::nan("")), "");
    EXPECT_EQ(SpeedText(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(SpeedText(1500), "1.5 KB/s");
    EXPECT_EQ(SpeedText(12.4e6), "12 MB/s");
    EXPECT_EQ(TimeLeftText(-1), "");
    EXPECT_EQ(TimeLeftText(0), "0 s left");
    EXPECT_EQ(TimeLeftText(59), "59 s left");
    EXPECT_EQ(TimeLeftText(60), "1 min left");
    EXPECT_EQ(TimeLeftText(89), "1 min left");
    EXPECT_EQ(TimeLeftText(90), "2 min left");
    // Rounding up to the hour says hours, not "60 min".
    EXPECT_EQ(TimeLeftText(3599), "1 h left");
    EXPECT_EQ(TimeLeftText(3900), "1 h 5 min left");
}

TEST(TransferRows, EachStateShowsOnlyTheButtonsThatWorkThen) {
    struct Case {
        State state;
        Dir dir;
        bool accept, decline, cancel, retry, open;
    };
    const Case cases[] = {
        {State::Offering, Dir::Outgoing, false, false, true, false, false},
        {State::Offered, Dir::Incoming, true, true, false, false, false},
        {State::Running, Dir::Incoming, false, false, true, false, false},
        {State::Running, Dir::Outgoing, false, false, true, false, false},
        // Only the receiver connects again; the sender waits for it.
        {State::Interrupted, Dir::Incoming, false, false, true, true, false},
        {State::Interrupted, Dir::Outgoing, false, false, true, false, false},
        {State::Finished, Dir::Incoming, false, false, false, false, true},
        {State::Finished, Dir::Outgoing, false, false, false, false, false},
        {State::Failed, Dir::Incoming, false, false, false, false, false},
        {State::Declined, Dir::Outgoing, false, false, false, false, false},
        {State::Cancelled, Dir::Incoming, false, false, false, false, false},
    };
    for (const auto& c : cases) {
        const auto row = RowFor(itemOf(c.state, c.dir));
        const auto what = TransferStateText(itemOf(c.state, c.dir)).toStdString() +
                          (c.dir == Dir::Incoming ? " in" : " out");
        EXPECT_EQ(row.accept, c.accept) << what;
        EXPECT_EQ(row.decline, c.decline) << what;
        EXPECT_EQ(row.cancel, c.cancel) << what;
        EXPECT_EQ(row.retry, c.retry) << what;
        EXPECT_EQ(row.openFolder, c.open) << what;
    }
    // A finished transfer with no folder recorded has nothing to open.
    auto noFolder = itemOf(State::Finished);
    noFolder.folder.clear();
    EXPECT_FALSE(RowFor(noFolder).openFolder);
}

TEST(TransferRows, ProgressAmountsAndSpeedStayWithinBounds) {
    auto i = itemOf(State::Running);
    i.done = 500;
    i.bytesPerSecond = 1000;
    i.secondsLeft = 2;
    auto row = RowFor(i);
    EXPECT_EQ(row.percent, 25);
    EXPECT_EQ(row.amounts, "500 bytes of 2.0 KB");
    EXPECT_EQ(row.speed, "1.0 KB/s, 2 s left");
    EXPECT_EQ(row.peer, "From bob");
    // More reported than offered (a size lie) never goes past the end.
    i.done = 999999;
    EXPECT_EQ(RowFor(i).percent, 100);
    // Empty files: no division by zero, full once finished.
    auto empty = itemOf(State::Running);
    empty.bytes = 0;
    EXPECT_EQ(RowFor(empty).percent, 0);
    empty.state = State::Finished;
    EXPECT_EQ(RowFor(empty).percent, 100);
    // No speed known yet: nothing shown rather than "0 bytes/s".
    auto fresh = itemOf(State::Running);
    EXPECT_EQ(RowFor(fresh).speed, "");
    // Speed belongs to running transfers only.
    auto stopped = itemOf(State::Interrupted);
    stopped.bytesPerSecond = 5000;
    stopped.secondsLeft = 3;
    stopped.done = 1000;
    EXPECT_EQ(RowFor(stopped).speed, "");
    EXPECT_EQ(RowFor(stopped).amounts, "1.0 KB of 2.0 KB");
    EXPECT_EQ(RowFor(itemOf(State::Offered)).amounts, "1 file, 2.0 KB");
}

TEST(TransferRows, BarOnlyOnceBytesCanMoveAndOwnDeclineNotPinnedOnThePeer) {
    EXPECT_FALSE(RowFor(itemOf(State::Offered)).bar);
    EXPECT_FALSE(RowFor(itemOf(State::Offering, Dir::Outgoing)).bar);
    EXPECT_TRUE(RowFor(itemOf(State::Running)).bar);
    auto cancelled = itemOf(State::Cancelled);
    EXPECT_FALSE(RowFor(cancelled).bar);
    cancelled.done = 10;  // how far it got stays in view
    EXPECT_TRUE(RowFor(cancelled).bar);
    auto declinedHere = itemOf(State::Declined);
    declinedHere.message = "declined";
    EXPECT_EQ(RowFor(declinedHere).state, "Declined");
    EXPECT_EQ(RowFor(itemOf(State::Declined, Dir::Outgoing)).state, "Declined by bob");
}

TEST(TransferNotes, SayWhatEndedHowAndWhere) {
    auto in = itemOf(State::Finished);
    EXPECT_EQ(EndedNote(in), "Received a.txt (1 file, 2.0 KB) from bob into /home/ann/Downloads.");
    auto out = itemOf(State::Failed, Dir::Outgoing);
    out.message = "the offer did not reach bob";
    EXPECT_EQ(EndedNote(out), "Sending a.txt (1 file, 2.0 KB) to bob failed: the offer did not reach bob.");
    EXPECT_EQ(EndedNote(itemOf(State::Declined, Dir::Outgoing)), "bob declined a.txt (1 file, 2.0 KB).");
    EXPECT_EQ(EndedNote(itemOf(State::Cancelled)), "Receiving a.txt (1 file, 2.0 KB) from bob was cancelled.");
    EXPECT_EQ(EndedNote(itemOf(State::Running)), "");
    EXPECT_EQ(FolderToOpen(itemOf(State::Running)), "");
    EXPECT_EQ(FolderToOpen(in), "/home/ann/Downloads");
}

TEST(TransferTargets, EachNameOnceWithTheReasonsOfThoseLeftOut) {
    const CanSendFn can = [](const QString& name, QString* why) {
        if (name.compare("bob", Qt::CaseInsensitive) == 0) return true;
        *why = QStringLiteral("%1 has no keys.").arg(name);
        return false;
    };
    auto one = CheckTargets({"bob", "BOB"}, can);
    EXPECT_EQ(one.ok, QStringList{"bob"});
    EXPECT_EQ(one.why, "");
    auto none = CheckTargets({"zed"}, can);
    EXPECT_TRUE(none.ok.isEmpty());
    EXPECT_EQ(none.why, "zed has no keys.");
    auto mixed = CheckTargets({"zed", "bob", "", "carl"}, can);
    EXPECT_EQ(mixed.ok, QStringList{"bob"});
    EXPECT_EQ(mixed.why, "zed: zed has no keys.\ncarl: carl has no keys.");
    auto nobody = CheckTargets({}, can);
    EXPECT_TRUE(nobody.ok.isEmpty());
    EXPECT_FALSE(nobody.why.isEmpty());
    // No check at all is no permission.
    EXPECT_TRUE(CheckTargets({"bob"}, CanSendFn()).ok.isEmpty());
}

TEST(TransferDrops, OnlyLocalFilesAndAllOfThem) {
    QMimeData local;
    local.setUrls(
        {QUrl::fromLocalFile("/tmp/a b.txt"), QUrl::fromLocalFile("/tmp/dir"), QUrl::fromLocalFile("/tmp/a b.txt")});
    EXPECT_EQ(DroppedPaths(&local), (QStringList{"/tmp/a b.txt", "/tmp/dir"}));
    QMimeData mixed;
    mixed.setUrls({QUrl::fromLocalFile("/tmp/a.txt"), QUrl("https://example.org/b.txt")});
    EXPECT_TRUE(DroppedPaths(&mixed).isEmpty());
    QMimeData text;
    text.setText("/tmp/a.txt");
    EXPECT_TRUE(DroppedPaths(&text).isEmpty());
    EXPECT_TRUE(DroppedPaths(nullptr).isEmpty());
    QMimeData share;
    share.setUrls({QUrl("smb://server/share/a.txt")});
    EXPECT_TRUE(DroppedPaths(&share).isEmpty());
}
