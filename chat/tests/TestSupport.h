#pragma once
#include "Cp1252.h"
#include "MemorySegment.h"
#include "TestFiles.h"
#include "modStartUp.h"

#include <memory>
#include <string>

namespace lanyx::test {

// One copy of the program on a memory segment, with its own data folder.
struct Peer {
    Peer(MemorySegment& seg, const std::string& userName, const std::string& logon = "")
        : transport(seg), node(config(userName, logon), transport, rec, rec, seg), startUp(node, rec, seg) {
        seg.attach(&transport);
    }
    NodeConfig config(const std::string& userName, const std::string& logon) {
        NodeConfig c;
        c.dataDir = dir.path();
        c.langFile = shippedLangFile();
        c.logonName = logon.empty() ? userName : logon;
        c.nameForRun = userName;
        return c;
    }
    StartUpResult start(std::uint32_t probeMs = 10000) {
        StartUpOptions o;
        o.probeMs = probeMs;
        return startUp.run(o);
    }
    std::string log() const { return cp1252::toUtf8(readBytes(dir / "Log.txt")); }
    // Past start-up without the probe: settings read, on the network as name.
    void joinAs(const std::string& name) {
        node.readSettings();
        node.state().MyName = name;
        node.OpenNetwork();
    }

    TempDir dir;
    MemoryTransport transport;
    Recorder rec;
    ChatNode node;
    StartUp startUp;
};

} // namespace lanyx::test
