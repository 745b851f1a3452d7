// The rules behind the compose, chat, popup and export windows, without a display.
#include "Cp1252.h"
#include "FileSteps.h"
#include "TestSupport.h"
#include "logic/Export.h"
#include "logic/Mentions.h"
#include "logic/PopupRules.h"
#include "logic/Recipients.h"
#include "logic/SaveRules.h"

#include "logic/Cascade.h"
#include "logic/Contrast.h"
#include "logic/DesktopPrefs.h"
#include "Notifier.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <set>

using namespace lanyx;
using namespace lanyx::ui;

TEST(ComposeRecipients, AllReplacesNamesAndTakesNoMore) {
    ComposeRecipients r;
    AddAll(r, "(All)|bob|");
    EXPECT_EQ(r.names(), std::vector<std::string>{"(All)"});
    ComposeRecipients named;
    AddAll(named, "bob|ann|BOB|");
    EXPECT_EQ(named.names(), (std::vector<std::string>{"bob", "ann"}));  // case-blind duplicate left out
    named.AddUser("(All)");
    EXPECT_EQ(named.names(), std::vector<std::string>{"(All)"});
}

TEST(ComposeRecipients, SendsOncePerRecipientInOrderWithLogLines) {
    test::MemorySegment seg;
    test::Peer ann(seg, "ann");
    ann.joinAs("ann");
    seg.deliverAll();
    ann.node.users().AddBlocked("carl");
    ann.transport.sent.clear();

    ComposeRecipients r;
    AddAll(r, "bob|carl|dave|");
    EXPECT_FALSE(r.Send(ann.node, "   "));
    EXPECT_TRUE(ann.transport.sent.empty());
    EXPECT_TRUE(r.Send(ann.node, "  disk full"));
    // The mark goes first, so the leading blanks of the text survive the trim.
    EXPECT_EQ(ann.transport.sent, (std::vector<std::string>{"ann|P/\xDF  disk full|bob", "ann|P/\xDF  disk full|carl",
                                                            "ann|P/\xDF  disk full|dave"}));
    const auto log = ann.log();
    const auto b = log.find("Private alert sent to bob");
    const auto c = log.find("Private alert sent to carl");
    const auto d = log.find("Private alert sent to dave");
    EXPECT_TRUE(b < c && c < d && d != std::string::npos);

    ComposeRecipients all;
    AddAll(all, "(All)|");
    ann.transport.sent.clear();
    all.Send(ann.node, "  lunch");  // the leading blanks stay
    EXPECT_EQ(ann.transport.sent, std::vector<std::string>{"ann|M/\xDF  lunch"});
    EXPECT_NE(ann.log().find("alert sent to all"), std::string::npos);
}

TEST(ChatMembers, MembershipStatusAndSending) {
    test::MemorySegment seg;
    test::Peer ann(seg, "ann");
    ann.joinAs("ann");
    seg.deliverAll();
    ann.transport.sent.clear();

    ChatMembers m;
    EXPECT_TRUE(m.AddUser("ann"));
    EXPECT_TRUE(m.AddUser("Bob"));
    EXPECT_FALSE(m.AddUser("bob"));
    EXPECT_TRUE(m.Accepts("BOB"));
    EXPECT_FALSE(m.Accepts("carl"));
    EXPECT_EQ(m.StatusText("member|members|in this chat|"), " 2 members in this chat");
    EXPECT_TRUE(m.AddUser("carl"));
    EXPECT_TRUE(m.SendLine(ann.node, "hi"));
    // To each member; the own copy stays on this computer (on the wire it
    // would give away what went sealed to the others).
    EXPECT_EQ(ann.transport.sent, (std::vector<std::string>{"ann|P/\xDEhi|Bob", "ann|P/\xDEhi|carl"}));
    EXPECT_FALSE(m.SendLine(ann.node, "  "));
    EXPECT_TRUE(m.RemoveUser("CARL"));
    EXPECT_FALSE(m.RemoveUser("zed"));

    ChatMembers all;
    all.AddUser("ann");
    all.AddUser("(All)");
    EXPECT_TRUE(all.Accepts("anybody"));
    ann.transport.sent.clear();
    all.SendLine(ann.node, " hello ");
    EXPECT_EQ(ann.transport.sent, std::vector<std::string>{"ann|M/\xDE hello "});
    EXPECT_EQ(all.StatusText("member|members|in this chat|"), " 2 members in this chat");
    ChatMembers one;
    one.AddUser("ann");
    EXPECT_EQ(one.StatusText("member|members|in this chat|"), " 1 member in this chat");
}

TEST(PopupRules, SizeAndStartPositions) {
    EXPECT_EQ(PopupSizeFor(500, 300, 200).width, 2000);  // a short message: 2000 wide
    EXPECT_EQ(PopupSizeFor(4000, 300, 200).width, 4100);
    EXPECT_EQ(PopupSizeFor(4000, 300, 200).height, 800);
    const PopupSize s{3000, 1000};
    const int SW = 19200, SH = 15360;
    EXPECT_EQ(PopupStartFor(1, SW, SH, s, 7, 7).left, 0);
    EXPECT_EQ(PopupStartFor(1, SW, SH, s, 7, 7).top, -1000);
    EXPECT_EQ(PopupStartFor(2, SW, SH, s, 7, 7).left, SW - 3000);
    EXPECT_EQ(PopupStartFor(3, SW, SH, s, 7, 7).top, SH);
    EXPECT_EQ(PopupStartFor(4, SW, SH, s, 7, 7).left, SW - 3000);
    const auto none = PopupStartFor(0, SW, SH, s, 7, 9);
    EXPECT_FALSE(none.slides);
    EXPECT_EQ(none.left, 7);
    EXPECT_EQ(none.top, 9);
}

TEST(PopupRules, SlideComesToRestAtTheAlertHeight) {
    // Corner 2, H = 1: stops with its top 450 to 499 twips below the edge.
    std::int32_t top = -1000;
    int steps = 0;
    while (PopupSlideStep(2, 1, 15360, 1000, top)) ++steps;
    EXPECT_GE(top, 450);
    EXPECT_LT(top, 500);
    // Corner 4, H = 0: rises until its bottom is at or above the screen's.
    top = 15360;
    while (PopupSlideStep(4, 0, 15360, 1000, top)) {
    }
    EXPECT_LE(top + 1000, 15360);
    EXPECT_GT(top + 1000, 15360 - 50);
    EXPECT_FALSE(PopupSlideStep(0, 0, 15360, 1000, top));
}

TEST(PopupRules, APopupRestsClearOfThoseAlreadyAtItsCorner) {
    // Screen 15360 twips high, popups 1000 high: each takes its height and
    // a slide step along the edge.
    const int SH = 15360, h = 1000;
    const std::int32_t b = h + kPopupSlideStep;
    const struct {
        int alertHeight;
        std::vector<PopupBand> taken;
        std::int32_t rest;
    } cases[] = {
        {2, {}, 900},                                     // alone: H x 450 from the edge
        {0, {{0, b}}, b},                                 // one there: just past it
        {0, {{0, b}, {b, 2 * b}}, 2 * b},                 // stacked on
        {0, {{b, 2 * b}}, 0},                             // the first place was freed
        {0, {{0, b}, {b + 10, 2 * b + 10}}, 2 * b + 10},  // a gap too narrow is skipped
        {0, {{0, b}, {3 * b, 4 * b}}, b},                 // a gap wide enough is taken
        {1, {{0, 300}}, 450},                             // a band short of the usual place leaves it free
        {0, {{0, SH - 500}}, 0},                          // no room left: the usual place
        {0, {{0, SH - b}}, SH - b},                       // just room for one more
    };
    for (const auto& c : cases)
        EXPECT_EQ(PopupRestFor(c.alertHeight, SH, h, c.taken), c.rest) << c.taken.size() << " at H " << c.alertHeight;
    // A popup taller than the screen rests at the usual place.
    EXPECT_EQ(PopupRestFor(1, SH, SH, {{0, 100}}), 450);
}

TEST(PopupRules, AGrownPopupKeepsItsPlaceWhileItIsFree) {
    const int SH = 15360, h = 1000;
    const std::int32_t b = h + kPopupSlideStep;
    const struct {
        std::int32_t rest;
        std::int32_t height;
        std::vector<PopupBand> taken;
        std::int32_t kept;
    } cases[] = {
        {b, h, {{0, b}}, b},                           // alone in its place
        {b, 3 * h, {{0, b}, {5 * b, 6 * b}}, b},       // grew into a gap wide enough
        {b, 3 * h, {{0, b}, {2 * b, 3 * b}}, 3 * b},   // grew over the next: past it
        {b, h, {{0, b}, {b, 2 * b}}, 2 * b},           // another came while it slid in
        {2 * b, h, {{b, 2 * b + 1}}, 0},               // ... and a nearer place is free
        {b, SH - 2 * b, {{0, b}, {2 * b, 3 * b}}, b},  // no place free: it stays
    };
    for (const auto& c : cases)
        EXPECT_EQ(PopupRestKept(c.rest, 0, SH, c.height, c.taken), c.kept) << c.rest << " " << c.height;
}

TEST(PopupRules, ASlideEndsWithinItsBand) {
    // Wherever it is sent, the slide's last step leaves the popup inside the
    // band said to be taken.
    const int SH = 15360, h = 1000;
    for (const int corner : {2, 4})
        for (const std::int32_t rest : {0, 450, 1234, 5049}) {
            std::int32_t top = corner == 2 ? -h : SH;
            while (PopupSlideTo(corner, rest, SH, h, top)) {
            }
            const std::int32_t fromEdge = corner == 2 ? top : SH - top - h;
            const PopupBand band = PopupBandAt(rest, h);
            EXPECT_GE(fromEdge, band.from) << corner << " " << rest;
            EXPECT_LE(fromEdge + h, band.to) << corner << " " << rest;
        }
}

TEST(PopupRules, FlashesSixTimesAndEndsUnlit) {
    PopupFlash f;
    int ticks = 1;
    while (f.tick()) ++ticks;
    EXPECT_EQ(ticks, 6);
    EXPECT_FALSE(f.lit());
}

TEST(Export, TextAndRtfFilesByteForByte) {
    test::TempDir dir;
    Transcript t;
    t.add({.prefix = "bob", .text = "caf\xC3\xA9 {x} \\ y", .colour = 0x0000FF, .indentTwips = 600});
    t.add({.prefix = "12:00:00 ann", .text = "hi", .colour = 0, .indentTwips = 1100});
    EXPECT_EQ(t.PlainText(), "bob:\tcaf\xC3\xA9 {x} \\ y\r\n12:00:00 ann:\thi\r\n");
    WriteExport(dir / "c.txt", ExportKind::Text, t.PlainText(), t.Rtf());
    EXPECT_EQ(test::readBytes(dir / "c.txt"), "\"bob:\tcaf\xE9 {x} \\ y\r\n12:00:00 ann:\thi\r\n\"\r\n");
    WriteExport(dir / "c.rtf", ExportKind::Rtf, t.PlainText(), t.Rtf("Arial", 20));
    EXPECT_EQ(test::readBytes(dir / "c.rtf"),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n"
              "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue0;}\r\n"
              "\\viewkind4\\uc1"
              "\\pard\\fi-600\\li600\\tx600\\cf1\\f0\\fs20 bob:\\tab caf\\'e9 \\{x\\} \\\\ y\\par\r\n"
              "\\pard\\fi-1100\\li1100\\tx1100\\cf2\\f0\\fs20 12:00:00 ann:\\tab hi\\par\r\n"
              "}\r\n");
    EXPECT_EQ(ExportKindFor("a.txt"), ExportKind::Text);
    EXPECT_EQ(ExportKindFor("a.TXT"), ExportKind::None);  // compared with case
    EXPECT_EQ(ExportKindFor("a.rtf"), ExportKind::Rtf);
    EXPECT_THROW(WriteExport(dir / "no" / "such.txt", ExportKind::Text, "x", ""), LanyxError);
}

namespace {
ChatLine said(const std::string& sender, const std::string& text, const std::string& date, const std::string& time) {
    return {
        .prefix = sender, .text = text, .colour = 0, .indentTwips = 600, .sender = sender, .date = date, .time = time};
}
}  // namespace

// An exported chat: who took part and when, then every line and note
// after its time, in the order they came.
TEST(Export, AChatExportHasAHeadingTimesAndTheNotesBetweenItsLines) {
    struct Case {
        const char* what;
        std::vector<ChatLine> lines;
        std::vector<ChatNote> notes;
        std::string text;  // after the heading's participants
    };
    const std::vector<Case> cases{
        {"one day",
         {said("bob", "hi", "2026-05-01", "09:00:00"), said("ann", "yo", "2026-05-01", "09:00:07")},
         {{.before = 1, .date = "2026-05-01", .time = "09:00:05", .text = "N1", .id = 3}},
         "D: 2026-05-01\r\n\r\n09:00:00 bob:\thi\r\n09:00:05 N1\r\n09:00:07 ann:\tyo\r\n"},
        {"notes first and last",
         {said("bob", "hi", "2026-05-01", "09:00:00")},
         {{.before = 0, .date = "2026-05-01", .time = "08:59:00", .text = "N1", .id = -1},
          {.before = 1, .date = "2026-05-01", .time = "09:01:00", .text = "N2", .id = -1}},
         "D: 2026-05-01\r\n\r\n08:59:00 N1\r\n09:00:00 bob:\thi\r\n09:01:00 N2\r\n"},
        {"over midnight",
         {said("bob", "late", "2026-05-01", "23:59:58"), said("ann", "early", "2026-05-02", "00:00:03")},
         {},
         "D: 2026-05-01 \xE2\x80\x93 2026-05-02\r\n\r\n23:59:58 bob:\tlate\r\n\r\n2026-05-02\r\n"
         "00:00:03 ann:\tearly\r\n"},
        {"nothing said", {}, {}, "D: 2026-06-30\r\n\r\n"},
    };
    ExportHeading heading{.participantsLabel = "P",
                          .participants = {"ann", "bob"},
                          .dateLabel = "D",
                          .today = "2026-06-30",
                          .indentTwips = 1500};
    for (const auto& c : cases) {
        Transcript t;
        for (const auto& l : c.lines) t.add(l);
        for (const auto& n : c.notes) t.addNote(n);
        EXPECT_EQ(ExportText(t, heading), "P: ann, bob\r\n" + c.text) << c.what;
        // The RTF holds the same: the labels in bold, the notes in italics,
        // every line with the one hanging indent.
        const std::string rtf = ExportRtf(t, heading, "Arial", 20);
        EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252", 0), 0u) << c.what;
        EXPECT_NE(rtf.find("\\b P:\\b0  ann, bob\\par"), std::string::npos) << c.what;
        for (const auto& l : c.lines)
            EXPECT_NE(rtf.find("\\pard\\fi-1500\\li1500\\tx1500\\cf1\\f0\\fs20 " + l.time + " " + l.sender + ":\\tab " +
                               l.text + "\\par"),
                      std::string::npos)
                << c.what;
        for (const auto& n : c.notes)
            EXPECT_NE(rtf.find("\\i " + n.time + " " + n.text + "\\i0\\par"), std::string::npos) << c.what;
    }
    // A note is worded again in another language by its id.
    Transcript t;
    t.addNote({.before = 0, .date = "2026-05-01", .time = "09:00:00", .text = "N1", .id = 3});
    t.setNoteText(3, "N1b");
    EXPECT_EQ(t.notes()[0].text, "N1b");
    // The lines as the window shows them are not changed by the notes.
    EXPECT_EQ(t.PlainText(), "");
}

TEST(Export, TheParticipantsAreTheMembersThenWhoeverElseWroteOnceEach) {
    Transcript t;
    t.add(said("BOB", "hi", "", ""));
    t.add(said("dave", "bye", "", ""));
    t.add(said("dave", "again", "", ""));
    EXPECT_EQ(Participants({"ann", "bob", "carl"}, t), (std::vector<std::string>{"ann", "bob", "carl", "dave"}));
    EXPECT_EQ(Participants({}, Transcript()), std::vector<std::string>{});
}

TEST(SaveRules, TypesNamesAndExistingFiles) {
    EXPECT_EQ(TypeExtension("Text Files (*.txt)"), ".txt");
    EXPECT_EQ(TypeExtension("Rich Text Files (*.rtf)"), ".rtf");
    EXPECT_EQ(NameAfterTypeChange("", "*.txt", ".txt"), ".txt");
    EXPECT_EQ(NameAfterTypeChange("chat.TXT", "*.txt", ".rtf"), "chat.rtf");
    EXPECT_EQ(NameAfterTypeChange("chat", "*.txt", ".rtf"), "chat.rtf");

    std::set<std::string> there = {"/d/old.txt", "/d/sub"};
    auto exists = [&](const std::filesystem::path& p) { return there.count(p.string()) > 0; };
    EXPECT_EQ(DecideSave("", ".txt", "/d", exists).kind, SaveDecision::Nothing);
    EXPECT_EQ(DecideSave("*.log", ".txt", "/d", exists).kind, SaveDecision::ShowPattern);
    EXPECT_EQ(DecideSave("old.txt", ".txt", "/d", exists).kind, SaveDecision::Locate);
    EXPECT_EQ(DecideSave("sub", ".txt", "/d", exists).kind, SaveDecision::Locate);
    // The extension that makes it an existing file's name: not overwritten either.
    EXPECT_EQ(DecideSave("old", ".txt", "/d", exists).kind, SaveDecision::Locate);
    const auto ok = DecideSave("new", ".txt", "/d", exists);
    EXPECT_EQ(ok.kind, SaveDecision::Accept);
    EXPECT_EQ(ok.value, "/d/new.txt");
    EXPECT_EQ(DecideSave("new.txt", ".txt", "/d", exists).value, "/d/new.txt");  // not twice
}

TEST(Cascade, AWindowOpensCentredOnItsOwnerAndInsideTheWorkArea) {
    using lanyx::ui::NearOwner;
    const QRect area(0, 0, 1000, 800);
    const struct {
        QRect owner;
        QSize size;
        QPoint at;
    } cases[] = {
        {{400, 300, 200, 200}, {100, 100}, {450, 350}},  // centred
        {{900, 700, 100, 100}, {300, 200}, {700, 600}},  // at the corner: pulled in
        {{-50, -50, 100, 100}, {300, 200}, {0, 0}},      // owner partly off the area
        {{100, 100, 100, 100}, {1200, 900}, {0, 0}},     // larger than the area: its corner inside
        {area, {300, 200}, {350, 300}},                  // no owner shown: the middle of the area
    };
    for (const auto& c : cases) EXPECT_EQ(NearOwner(c.size, c.owner, area), c.at) << c.owner.x();
}

TEST(Cascade, StepsPastTakenPlacesAndWrapsInsideTheArea) {
    using lanyx::ui::CascadePlace;
    const QRect area(0, 0, 300, 200);
    const QSize size(100, 100);
    EXPECT_EQ(CascadePlace({10, 10}, size, area, {}, 20), QPoint(10, 10));  // free: stays
    EXPECT_EQ(CascadePlace({10, 10}, size, area, {{10, 10}}, 20), QPoint(30, 30));
    // A start outside the area (a monitor since unplugged) is pulled in.
    EXPECT_EQ(CascadePlace({900, -50}, size, area, {}, 20), QPoint(200, 0));
    // At the bottom the next place starts again at the top, one step right.
    QList<QPoint> taken;
    QPoint p(0, 0);
    for (int i = 0; i < 30; ++i) {
        p = CascadePlace({0, 0}, size, area, taken, 20);
        EXPECT_TRUE(area.contains(QRect(p, size))) << i;
        if (i < 12) {
            EXPECT_FALSE(taken.contains(p)) << i;
        }
        taken.append(p);
    }
    // Larger than the area: its top-left corner.
    EXPECT_EQ(CascadePlace({50, 50}, QSize(500, 500), area, {}, 20), QPoint(0, 0));
}

TEST(Contrast, InvisibleColoursAreDrawnReadableAndReadableOnesKept) {
    const QColor white(255, 255, 255), black(0, 0, 0);
    EXPECT_DOUBLE_EQ(ContrastRatio(black, white), 21.0);
    EXPECT_EQ(ReadableOn(QColor(255, 0, 0), white), QColor(255, 0, 0));  // red reads: unchanged
    for (const QColor& bg : {white, black, QColor(240, 240, 240), QColor(30, 30, 60)})
        for (const QColor& fg : {white, black, QColor(255, 255, 0), QColor(0, 0, 128), bg}) {
            const QColor drawn = ReadableOn(fg, bg);
            EXPECT_GE(ContrastRatio(drawn, bg), kReadableContrast)
                << fg.name().toStdString() << " on " << bg.name().toStdString();
        }
    // Yellow on white keeps its hue: darker, not black.
    const QColor yellow = ReadableOn(QColor(255, 255, 0), white);
    EXPECT_NE(yellow, black);
    EXPECT_GT(yellow.red(), yellow.blue());
}

TEST(DesktopPrefs, RoundTripKeepsUnknownLinesAndSkipsDamagedOnes) {
    const auto p = DesktopPrefs::fromText("Other=1\r\nNotifications=1\ngarbage\nChatSound=ding.wav\n=x\n");
    EXPECT_TRUE(p.notifications);
    EXPECT_EQ(p.chatSound, "ding.wav");
    EXPECT_EQ(p.other, QStringList{"Other=1"});
    EXPECT_EQ(DesktopPrefs::fromText(p.toText()).toText(), p.toText());
    // Values that cannot be right leave the defaults.
    const auto bad = DesktopPrefs::fromText("Notifications=yes\nChatSound=../../etc/x.wav\nChatSound=\n");
    EXPECT_FALSE(bad.notifications);
    EXPECT_EQ(bad.chatSound, "(S)");
    EXPECT_TRUE(bad.other.isEmpty());
}

TEST(DesktopPrefs, MissingFileGivesDefaultsAndWriteReadsBack) {
    const QString dir = QDir::temp().filePath(QStringLiteral("lanyx-prefs-%1").arg(QCoreApplication::applicationPid()));
    QDir().mkpath(dir);
    const QString file = QDir(dir).filePath(DesktopPrefs::FileName());
    QFile::remove(file);
    EXPECT_FALSE(DesktopPrefs::Read(file).notifications);
    DesktopPrefs p;
    p.notifications = true;
    p.chatSound = "(B)";
    ASSERT_TRUE(p.Write(file));
    EXPECT_EQ(DesktopPrefs::Read(file).toText(), p.toText());
    EXPECT_FALSE(p.Write(QDir(dir).filePath("no/such/folder/Desktop.ini")));
    QDir(dir).removeRecursively();
}

TEST(DesktopPrefs, TheFileIsFlushedBeforeItTakesItsName) {
    test::TempDir dir;
    test::FileSteps steps;
    DesktopPrefs p;
    p.chatSound = "(B)";
    ASSERT_TRUE(p.Write(QString::fromStdString((dir / "Desktop.ini").string())));
    EXPECT_EQ(steps.replacedDurably(dir / "Desktop.ini"), "");
}

TEST(SessionPlatform, WaylandWithXWaylandRunsThroughXcbUnlessTheUserChose) {
    EXPECT_EQ(ChoosePlatform({"", "wayland", "wayland-0", ":0"}), "xcb;wayland");
    EXPECT_EQ(ChoosePlatform({"", "", "wayland-0", ":1"}), "xcb;wayland");     // no session type, still Wayland
    EXPECT_EQ(ChoosePlatform({"wayland", "wayland", "wayland-0", ":0"}), "");  // the user's choice wins
    EXPECT_EQ(ChoosePlatform({"", "wayland", "wayland-0", ""}), "");           // no XWayland: Qt's own choice
    EXPECT_EQ(ChoosePlatform({"", "x11", "", ":0"}), "");
}

TEST(SessionPlatform, AlertsGoToNotificationsWhenChosenOrWhenAPopupCannotBePlaced) {
    EXPECT_EQ(RouteAlert(false, "xcb", true), AlertRoute::Popup);
    EXPECT_EQ(RouteAlert(true, "xcb", true), AlertRoute::Notification);
    EXPECT_EQ(RouteAlert(false, "wayland", true), AlertRoute::Notification);
    EXPECT_EQ(RouteAlert(false, "wayland-egl", true), AlertRoute::Notification);
    // Without a service the popup is the only way left.
    EXPECT_EQ(RouteAlert(true, "wayland", false), AlertRoute::Popup);
}

TEST(NotificationBody, MarkupIsEscapedAndAHugeAlertBounded) {
    EXPECT_EQ(DesktopNotifier::BodyFor("<b>a & b</b>"), "&lt;b&gt;a &amp; b&lt;/b&gt;");
    const QString body = DesktopNotifier::BodyFor(QString(60000, 'x'));
    EXPECT_EQ(body.size(), DesktopNotifier::kMaxBody + 1);
}

TEST(Mentions, AWordOfItsOwnNamesTheUserAndTypingOneOffersTheMembers) {
    const struct {
        const char* line;
        bool mentions;
    } lines[] = {
        {"@ann lunch?", true},       {"lunch, @Ann?", true}, {"thanks @ann.", true}, {"@annabel lunch?", false},
        {"mail ann@ann.org", false}, {"ann, lunch?", false}, {"@ann.smith?", false}, {"", false},
    };
    for (const auto& l : lines) EXPECT_EQ(Mentions(QString::fromUtf8(l.line), "ann"), l.mentions) << l.line;

    const struct {
        const char* text;
        int cursor;
        int start;
    } typed[] = {
        {"@b", 2, 0}, {"hi @bo", 6, 3}, {"hi @", 4, 3}, {"mail a@b", 8, -1}, {"hi bob", 6, -1}, {"@bob there", 10, -1},
    };
    for (const auto& t : typed) EXPECT_EQ(MentionStart(QString::fromUtf8(t.text), t.cursor), t.start) << t.text;
    EXPECT_EQ(MentionChoices({"bob", "Bea", "carl", "BOB"}, "b"), (QStringList{"bob", "Bea"}));
    EXPECT_TRUE(MentionChoices({"bob"}, "x").isEmpty());
}
