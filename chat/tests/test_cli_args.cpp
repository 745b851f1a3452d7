// lanyx-cli's options for sending and receiving files.
#include "CliPeer.h"
#include "CliTestAids.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

using namespace lanyx::cli;

namespace {

// As the tests' build of lanyx-cli reads its arguments.
std::optional<std::string> parse(std::vector<std::string> args, CliOptions& o, TestAids& aids) {
    auto p = TakeTestAids(args, aids);
    if (!p) p = ParseArgs(args, o);
    if (!p) p = CheckTestAids(aids, o);
    return p;
}

std::optional<std::string> parse(std::vector<std::string> args, CliOptions& o) {
    TestAids aids;
    return parse(std::move(args), o, aids);
}

std::string problem(std::vector<std::string> args) {
    CliOptions o;
    const auto p = parse(std::move(args), o);
    return p ? *p : std::string("(accepted)");
}

}  // namespace

TEST(CliFileOptions, SendTakesRecipientsAndPathsInAnyOrder) {
    CliOptions o;
    ASSERT_FALSE(parse({"send", "a.txt", "--to", "bob", "photos", "--to", "ann", "--", "--odd name"}, o));
    EXPECT_EQ(o.command, "send");
    EXPECT_EQ(o.to, (std::vector<std::string>{"bob", "ann"}));
    // After "--" a path may start with a dash.
    EXPECT_EQ(o.paths, (std::vector<std::string>{"a.txt", "photos", "--odd name"}));
    EXPECT_EQ(o.offerWaitMs, 300000u);
    EXPECT_TRUE(o.text.empty());

    CliOptions w;
    ASSERT_FALSE(parse({"--offer-wait-ms", "1500", "send", "--to", "bob", "x"}, w));
    EXPECT_EQ(w.offerWaitMs, 1500u);
}

TEST(CliFileOptions, SendWithoutRecipientOrPathIsRefused) {
    EXPECT_EQ(problem({"send", "a.txt"}), "send needs --to NAME");
    EXPECT_EQ(problem({"send", "--to", "bob"}), "send needs one or more files or folders");
    EXPECT_EQ(problem({"send", "--to"}), "--to needs a user name");
    EXPECT_EQ(problem({"send", "--to", "bob", "--offer-wait-ms", "soon", "x"}),
              "--offer-wait-ms: not a valid number: soon");
    EXPECT_EQ(problem({"send", "--to", "bob", "--offer-wait-ms"}), "--offer-wait-ms needs a number");
}

TEST(CliFileOptions, ListenAnswersOffersOneWayOnly) {
    CliOptions o;
    ASSERT_FALSE(parse({"listen", "--accept-into", "/tmp/in"}, o));
    ASSERT_TRUE(o.acceptInto);
    EXPECT_EQ(*o.acceptInto, "/tmp/in");
    EXPECT_FALSE(o.declineOffers);

    CliOptions d;
    TestAids aids;
    ASSERT_FALSE(parse({"--decline", "listen", "--test-drop-after", "1048576"}, d, aids));
    EXPECT_TRUE(d.declineOffers);
    EXPECT_FALSE(d.acceptInto);
    EXPECT_EQ(aids.dropAfter, 1048576u);
    // The shipped program knows no aid.
    CliOptions shipped;
    EXPECT_TRUE(ParseArgs({"listen", "--test-drop-after", "10"}, shipped));

    EXPECT_EQ(problem({"listen", "--accept-into", "/tmp/in", "--decline"}),
              "--accept-into and --decline exclude each other");
    EXPECT_EQ(problem({"listen", "--accept-into"}), "--accept-into needs a folder");
    EXPECT_EQ(problem({"listen", "--accept-into", ""}), "--accept-into needs a folder");
    EXPECT_EQ(problem({"listen", "--test-drop-after", "0"}), "--test-drop-after needs a count above 0");
    EXPECT_EQ(problem({"listen", "--test-drop-after", "-5"}), "--test-drop-after: not a valid number: -5");
    EXPECT_EQ(problem({"listen", "--test-drop-after", "4294967296"}),
              "--test-drop-after: not a valid number: 4294967296");
}

TEST(CliFileOptions, FileOptionsOutsideTheirCommandAreRefused) {
    EXPECT_EQ(problem({"who", "--accept-into", "/tmp"}), "--accept-into goes with listen");
    EXPECT_EQ(problem({"send", "--to", "bob", "x", "--decline"}), "--decline goes with listen");
    EXPECT_EQ(problem({"chat", "--test-drop-after", "10", "hi"}), "--test-drop-after goes with listen");
    EXPECT_EQ(problem({"listen", "--offer-wait-ms", "10"}), "--offer-wait-ms goes with send");
    EXPECT_EQ(problem({"listen", "--to", "bob"}), "--to goes with alert, chat and send");
    EXPECT_EQ(problem({"listen", "a.txt"}), "listen takes no text");
    // The old commands are as they were.
    CliOptions o;
    ASSERT_FALSE(parse({"alert", "--to", "bob", "disk", "full"}, o));
    EXPECT_EQ(o.text, "disk full");
    EXPECT_TRUE(o.paths.empty());
}

TEST(CliFileOptions, HelpNamesTheFileCommandsAndTheFirewallPort) {
    const auto help = HelpText();
    for (const char* part : {"send --to NAME", "--accept-into DIR", "--decline", "--offer-wait-ms", "file-received",
                             "transfer-failed", "TCP port 1415", "5 a\ntransfer did not finish"})
        EXPECT_NE(help.find(part), std::string::npos) << part;
}

// The manual page names every option the help names, and who --all goes
// with who alone.
TEST(CliArgs, TheManualPageNamesEveryOptionOfTheHelp) {
    std::ifstream in(LANYX_SOURCE_DIR "/resources/man/lanyx-cli.1.in");
    const std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(page.empty());
    std::string plain;  // the page writes every "-" of an option as "\-"
    for (std::size_t i = 0; i < page.size(); ++i)
        if (!(page[i] == '\\' && i + 1 < page.size() && page[i + 1] == '-')) plain += page[i];
    const auto help = HelpText();
    const std::regex option(R"(--[a-z][a-z0-9-]*)");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), option); it != std::sregex_iterator(); ++it)
        EXPECT_NE(plain.find(it->str()), std::string::npos) << it->str();

    CliOptions o;
    ASSERT_FALSE(parse({"who", "--all"}, o));
    EXPECT_TRUE(o.all);
    EXPECT_TRUE(parse({"listen", "--all"}, o).has_value());
}

TEST(CliKeyOptions, VerifyTakesANameAndTheNumberAsReadOut) {
    CliOptions o;
    ASSERT_FALSE(
        parse({"verify", "bob", "12345 67890 12345 67890 12345 67890", "12345", "67890", "12345", "67890-12345-67890"},
              o));
    EXPECT_EQ(o.command, "verify");
    EXPECT_EQ(o.verifyName, "bob");
    EXPECT_EQ(o.safetyNumber,
              "123456789012345678901234567890"
              "123456789012345678901234567890");
    CliOptions asked;
    ASSERT_FALSE(parse({"verify", "--keep-known", "bob"}, asked));
    EXPECT_TRUE(asked.keepKnown);
    EXPECT_TRUE(asked.safetyNumber.empty());
    EXPECT_EQ(problem({"verify"}), "verify needs the user name");
    EXPECT_EQ(problem({"verify", "bob", "1234"}), "a safety number has 60 digits");
    EXPECT_EQ(problem({"verify", "bob", "12345abc"}), "a safety number has digits only: 12345abc");
    EXPECT_EQ(problem({"verify", "--to", "bob", "bob"}), "verify takes the user name without --to");
    EXPECT_EQ(problem({"listen", "--keep-known"}), "--keep-known goes with verify");
    EXPECT_EQ(problem({"keys", "bob"}), "keys takes no text");
    EXPECT_EQ(problem({"keys"}), "(accepted)");
}

TEST(CliArgs, CommandLinesWhileListeningSplitAsAShellWould) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitWords("chat --to bob  'two words' \"say \\\"hi\\\"\" a\\ b"),
              (V{"chat", "--to", "bob", "two words", "say \"hi\"", "a b"}));
    EXPECT_EQ(SplitWords("  \t"), V{});
    EXPECT_EQ(SplitWords("alert ''"), (V{"alert", ""}));
    EXPECT_FALSE(SplitWords("chat 'open"));
    EXPECT_FALSE(SplitWords("chat \"open"));
}

TEST(CliArgs, SharedChatsAreNamedByIdOrOpenedWithTheirMembers) {
    const std::string id = "0123456789abcdef0123456789abcdef";
    CliOptions o;
    EXPECT_FALSE(ParseArgs({"chat", "--room", id, "hi", "there"}, o));
    EXPECT_EQ(o.room, id);
    EXPECT_EQ(o.text, "hi there");
    CliOptions n;
    EXPECT_FALSE(ParseArgs({"chat", "--room", "new", "--to", "bob", "--to", "carl", "hi"}, n));
    EXPECT_EQ(n.to.size(), 2u);
    CliOptions h;
    EXPECT_FALSE(ParseArgs({"history", "--room", id}, h));
    EXPECT_EQ(h.history.room, id);
    for (const std::vector<std::string>& bad : {
             std::vector<std::string>{"history", "--room", "new"},
             std::vector<std::string>{"history", "--room", id, "--with", "bob"},
             std::vector<std::string>{"chat", "--room", "new", "hi"},              // with whom?
             std::vector<std::string>{"chat", "--room", id, "--to", "bob", "hi"},  // the chat says who
             std::vector<std::string>{"alert", "--room", id, "hi"},
             std::vector<std::string>{"chat", "--room", "0123", "hi"},
             std::vector<std::string>{"chat", "--room"},
             std::vector<std::string>{"room", "add", id},  // whom?
             std::vector<std::string>{"room", "join", id, "bob"},
             std::vector<std::string>{"room", "add", "0123", "bob"},
             std::vector<std::string>{"room", "add", id, "bob|carl"},  // no user's name
             std::vector<std::string>{"room", "add", id, "--to", "bob"},
             std::vector<std::string>{"rename"},
             std::vector<std::string>{"rename", "anna", "ann"},
         }) {
        CliOptions x;
        EXPECT_TRUE(ParseArgs(bad, x)) << bad[1];
    }
    CliOptions add;
    EXPECT_FALSE(ParseArgs({"room", "add", id, "dave", "erin"}, add));
    EXPECT_EQ(add.roomAction, "add");
    EXPECT_EQ(add.roomId, id);
    EXPECT_EQ(add.roomNames, (std::vector<std::string>{"dave", "erin"}));
    CliOptions rename;
    EXPECT_FALSE(ParseArgs({"rename", "anna"}, rename));
    EXPECT_EQ(rename.newName, "anna");
}

TEST(CliArgs, RoomEventsNameTheChatItsMembersAndTheChange) {
    lanyx::rooms::Room r;
    r.id = "0123456789abcdef0123456789abcdef";
    r.members = {"ann", "bob", "dave"};
    EXPECT_EQ(RoomEventText(r, {lanyx::rooms::RoomEvent::Kind::Added, "bob", {"dave"}}),
              r.id + " members=ann,bob,dave added=dave");
    EXPECT_EQ(RoomEventText(r, {lanyx::rooms::RoomEvent::Kind::Removed, "ann", {"carl", "erin"}}),
              r.id + " members=ann,bob,dave removed=carl,erin");
    EXPECT_EQ(RoomEventText(r, {lanyx::rooms::RoomEvent::Kind::Dropped, "ann", {}}),
              r.id + " members=ann,bob,dave dropped");
}

TEST(CliArgs, DeliveryLinesSayWhenOnlyTheLastingKeysSealedAMessage) {
    lanyx::DeliveryReport r{7, "bob", true, lanyx::Delivery::Delivered};
    r.forwardSecret = true;
    EXPECT_EQ(DeliveryText(r), "encrypted: delivered");
    r.forwardSecret = false;
    EXPECT_EQ(DeliveryText(r), "encrypted with the lasting keys only (an earlier build): delivered");
    r.state = lanyx::Delivery::Queued;
    EXPECT_EQ(DeliveryText(r).rfind("queued: encrypted", 0), 0u);
}

TEST(CliArgs, AcceptRulesGoWithAcceptInto) {
    CliOptions o;
    ASSERT_FALSE(parse({"listen", "--accept-into", "/tmp/in", "--accept-from", "ann", "--accept-from", "Bob",
                        "--accept-quota", "1000000"},
                       o));
    EXPECT_EQ(o.acceptFrom, (std::vector<std::string>{"ann", "Bob"}));
    ASSERT_TRUE(o.acceptQuota);
    EXPECT_EQ(*o.acceptQuota, 1000000u);
    // Without --accept-from nobody is named: only checked keys are taken.
    CliOptions plain;
    ASSERT_FALSE(parse({"listen", "--accept-into", "/tmp/in"}, plain));
    EXPECT_TRUE(plain.acceptFrom.empty());
    EXPECT_FALSE(plain.acceptQuota);

    EXPECT_EQ(problem({"listen", "--accept-from", "ann"}), "--accept-from and --accept-quota go with --accept-into");
    EXPECT_EQ(problem({"listen", "--decline", "--accept-quota", "5"}),
              "--accept-from and --accept-quota go with --accept-into");
    EXPECT_EQ(problem({"listen", "--accept-into", "/tmp/in", "--accept-quota", "-1"}),
              "--accept-quota needs a number of bytes");
    EXPECT_EQ(problem({"listen", "--accept-into", "/tmp/in", "--accept-from"}), "--accept-from needs a user name");
}

TEST(CliArgs, AnImageGoesToOneNameOrOneSharedChat) {
    const std::string id = "0123456789abcdef0123456789abcdef";
    CliOptions to;
    ASSERT_FALSE(ParseArgs({"image", "--to", "bob", "shot.png"}, to));
    EXPECT_EQ(to.to, std::vector<std::string>{"bob"});
    EXPECT_EQ(to.paths, std::vector<std::string>{"shot.png"});
    CliOptions room;
    ASSERT_FALSE(ParseArgs({"image", "--room", id, "shot.png"}, room));
    EXPECT_EQ(room.room, id);
    for (const std::vector<std::string>& bad : {
             std::vector<std::string>{"image", "shot.png"},                              // to whom?
             std::vector<std::string>{"image", "--to", "bob", "--to", "carl", "a.png"},  // one name
             std::vector<std::string>{"image", "--to", "bob", "--room", id, "a.png"},
             std::vector<std::string>{"image", "--room", "new", "--to", "bob", "a.png"},
             std::vector<std::string>{"image", "--to", "bob"},
             std::vector<std::string>{"image", "--to", "bob", "a.png", "b.png"},
         }) {
        CliOptions x;
        EXPECT_TRUE(ParseArgs(bad, x)) << bad.size();
    }
}
