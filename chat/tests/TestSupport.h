#pragma once
#include "Cp1252.h"
#include "MemorySegment.h"
#include "TestFiles.h"
#include "WaitingService.h"
#include "modStartUp.h"

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx::test {

// The first character of an alert and of a chat line, as the tests write
// their datagrams (in UTF-8; the wire has them in Windows-1252).
inline const std::string A = "\xC3\x9F";
inline const std::string C = "\xC3\x9E";

// One copy of the program on a memory segment, with its own data folder.
struct Peer {
    Peer(MemorySegment& seg, const std::string& userName, const std::string& logon = "")
        : transport(seg),
          node(config(userName, logon), transport, rec, rec, seg),
          waiting(node),
          startUp(node, rec, seg) {
        seg.attach(&transport);
    }
    // A copy started again on a data folder that outlives it.
    struct Folder {
        std::filesystem::path path;
    };
    Peer(MemorySegment& seg, const std::string& userName, Folder folder)
        : home(std::move(folder.path)),
          transport(seg),
          node(config(userName, ""), transport, rec, rec, seg),
          waiting(node),
          startUp(node, rec, seg) {
        seg.attach(&transport);
    }
    // A copy of the build before (LinkBuild::Before), on a folder of its own.
    Peer(MemorySegment& seg, const std::string& userName, LinkBuild build)
        : transport(seg),
          node(config(userName, "", build), transport, rec, rec, seg),
          waiting(node),
          startUp(node, rec, seg) {
        seg.attach(&transport);
    }
    ~Peer() { segment().detach(&transport); }
    MemorySegment& segment() { return transport.segment(); }
    NodeConfig config(const std::string& userName, const std::string& logon, LinkBuild build = LinkBuild::Current) {
        NodeConfig c;
        c.linkBuild = build;
        c.dataDir = home.empty() ? dir.path() : home;
        c.langFile = shippedLangFile();
        c.logonName = logon.empty() ? userName : logon;
        c.nameForRun = userName;
        // The computer's clock, set ahead or back by clockOffsetMicros.
        c.wallMicros = [this] {
            return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                                  std::chrono::system_clock::now().time_since_epoch())
                                                  .count() +
                                              clockOffsetMicros);
        };
        return c;
    }
    StartUpResult start(std::uint32_t probeMs = 10000) {
        StartUpOptions o;
        o.probeMs = probeMs;
        return startUp.run(o);
    }
    std::filesystem::path folder() const { return home.empty() ? dir.path() : home; }
    std::string log() const { return cp1252::toUtf8(readBytes(folder() / "Log.txt")); }
    // Past start-up without the probe: settings read, on the network as name.
    void joinAs(const std::string& name) {
        node.readSettings();
        node.state().MyName = name;
        node.OpenNetwork();
    }

    std::int64_t clockOffsetMicros = 0;
    TempDir dir;
    std::filesystem::path home;
    MemoryTransport transport;
    Recorder rec;
    ChatNode node;
    WaitingService waiting;
    StartUp startUp;
};

// Whether any of `v` (datagrams sent, lines shown) holds `what`.
inline bool anyHas(const std::vector<std::string>& v, std::string_view what) {
    for (const auto& s : v)
        if (s.find(what) != std::string::npos) return true;
    return false;
}

}  // namespace lanyx::test
