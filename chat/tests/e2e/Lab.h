#pragma once
// Networks of several segments for end-to-end tests: each segment a bridge
// in a namespace of its own, each host a namespace joined to segments by
// veth pairs. Made by the test and removed with it; nothing reaches the
// machine's real network.
#include <string>
#include <vector>

namespace lanyx::e2e {

class NetworkLab {
public:
    NetworkLab();
    ~NetworkLab();
    NetworkLab(const NetworkLab&) = delete;
    NetworkLab& operator=(const NetworkLab&) = delete;

    // False where namespaces cannot be made (not root, no ip netns).
    bool usable() const { return ok_; }
    std::string whyNot() const { return why_; }

    void segment(const std::string& name);
    void host(const std::string& name);
    // Joins host to segment through an interface of that name with the
    // address (CIDR); all calls fail the lab when a command fails.
    void attach(const std::string& host, const std::string& segment, const std::string& ifname,
                const std::string& cidr);
    // Runs a command inside the host's namespace: "ip route add default dev eth1".
    void inHost(const std::string& host, const std::string& command);
    // The command prefix that runs a program on a host.
    std::vector<std::string> on(const std::string& host) const;
    // A "10.X" prefix of its own for this test run, so that the names are
    // unlike those of runs beside it.
    std::string net(int n) const;

private:
    bool run(const std::string& command);
    std::string ns(const std::string& name) const { return prefix_ + name; }
    std::string prefix_;
    std::vector<std::string> namespaces_;
    int links_ = 0;
    bool ok_ = false;
    std::string why_;
};

}  // namespace lanyx::e2e
