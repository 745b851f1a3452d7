#include "Lab.h"

#include <cstdlib>
#include <unistd.h>

namespace lanyx::e2e {

bool NetworkLab::run(const std::string& command) {
    const bool done = std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    if (!done && ok_) {
        ok_ = false;
        why_ = "failed: " + command;
    }
    return done;
}

NetworkLab::NetworkLab() {
    prefix_ = "lz" + std::to_string(getpid() % 100000);
    if (geteuid() != 0) {
        why_ = "not root";
        return;
    }
    ok_ = true;
    const std::string probe = prefix_ + "probe";
    if (!run("ip netns add " + probe)) {
        why_ = "ip netns failed";
        return;
    }
    run("ip netns del " + probe);
}

NetworkLab::~NetworkLab() {
    for (auto it = namespaces_.rbegin(); it != namespaces_.rend(); ++it)
        std::system(("ip netns del " + *it + " >/dev/null 2>&1").c_str());
}

void NetworkLab::segment(const std::string& name) {
    if (!ok_) return;
    namespaces_.push_back(ns(name));
    run("ip netns add " + ns(name)) && run("ip -n " + ns(name) + " link add br0 type bridge") &&
        run("ip -n " + ns(name) + " link set br0 up");
}

void NetworkLab::host(const std::string& name) {
    if (!ok_) return;
    namespaces_.push_back(ns(name));
    run("ip netns add " + ns(name)) && run("ip -n " + ns(name) + " link set lo up");
}

void NetworkLab::attach(const std::string& host, const std::string& segment, const std::string& ifname,
                        const std::string& cidr) {
    if (!ok_) return;
    const std::string veth = prefix_ + "v" + std::to_string(links_++);
    run("ip link add name " + veth + " netns " + ns(segment) + " type veth peer name " + ifname + " netns " +
        ns(host)) &&
        run("ip -n " + ns(segment) + " link set " + veth + " master br0 up") &&
        run("ip -n " + ns(host) + " addr add " + cidr + " dev " + ifname) &&
        run("ip -n " + ns(host) + " link set " + ifname + " up");
}

void NetworkLab::inHost(const std::string& host, const std::string& command) {
    if (!ok_) return;
    run("ip netns exec " + ns(host) + " " + command);
}

std::vector<std::string> NetworkLab::on(const std::string& host) const {
    return {"ip", "netns", "exec", ns(host)};
}

std::string NetworkLab::net(int n) const {
    return "10." + std::to_string(100 + (getpid() + n) % 150);
}

}  // namespace lanyx::e2e
