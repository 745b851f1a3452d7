// lanyx-rawpeer: a bare socket on a simulated segment for end-to-end tests.
//
//   lanyx-rawpeer peer NAME [--broadcast ADDR]
//       behaves as a copy that knows only the common commands: joins with
//       colour, status and join notice; lists every sender it hears and
//       answers a newcomer (or a prober) with its presence; removes a sender
//       at its leave notice. Prints every datagram it receives as
//       "rx <escaped bytes>" and what it does as "listed NAME",
//       "answered NAME", "removed NAME". Ends at SIGTERM with its leave.
//   lanyx-rawpeer send [--broadcast ADDR] DATAGRAM...
//       sends each datagram once and ends.
// Bytes below 0x20, from 0x7F and the backslash print as \xNN; DATAGRAM
// arguments use the same escapes.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

volatile std::sig_atomic_t stop = 0;

std::string escape(const std::string& bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (c < 0x20 || c >= 0x7F || c == '\\') {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string lower(std::string s) {
    for (auto& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

struct Socket {
    int fd = -1;
    sockaddr_in to{};
    Socket(const std::string& broadcast, bool bound) {
        fd = socket(AF_INET, SOCK_DGRAM, 0);
        int on = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        if (bound) {
            sockaddr_in local{};
            local.sin_family = AF_INET;
            local.sin_port = htons(1414);
            local.sin_addr.s_addr = htonl(INADDR_ANY);
            if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
                std::perror("bind");
                std::_Exit(1);
            }
        }
        to.sin_family = AF_INET;
        to.sin_port = htons(1414);
        inet_pton(AF_INET, broadcast.c_str(), &to.sin_addr);
    }
    void send(const std::string& bytes) {
        sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string broadcast = "255.255.255.255";
    std::vector<std::string> words;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--broadcast" && i + 1 < args.size()) broadcast = args[++i];
        else words.push_back(args[i]);
    }
    if (words.size() >= 1 && words[0] == "send") {
        Socket s(broadcast, false);
        for (std::size_t i = 1; i < words.size(); ++i) {
            s.send(unescape(words[i]));
            usleep(2000);
        }
        return 0;
    }
    if (words.size() != 2 || words[0] != "peer") {
        std::fprintf(stderr, "usage: lanyx-rawpeer peer NAME | send DATAGRAM...\n");
        return 2;
    }
    const std::string me = words[1];
    std::signal(SIGTERM, [](int) { stop = 1; });
    std::signal(SIGINT, [](int) { stop = 1; });
    Socket s(broadcast, true);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    auto presence = [&] {
        s.send(me + "|M/");
        s.send(me + "|C/0");
        s.send(me + "|S/0");
    };
    s.send(me + "|C/0");
    s.send(me + "|S/0");
    s.send(me + "|M/" + me + " has joined the network");
    std::set<std::string> listed;  // exact names
    char buf[65536];
    while (!stop) {
        pollfd p{s.fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        const auto n = recv(s.fd, buf, sizeof buf, 0);
        if (n < 0) continue;
        const std::string d(buf, static_cast<std::size_t>(n));
        std::printf("rx %s\n", escape(d).c_str());
        const auto bar = d.find('|');
        if (bar == std::string::npos || d.size() < bar + 3) continue;
        const std::string sender = d.substr(0, bar);
        const std::string cmd = lower(d.substr(bar + 1, 2));
        if (!listed.count(sender)) {
            if (!sender.empty() && sender[0] == '_' && lower(sender) != lower(me)) {
                std::printf("answered %s\n", escape(sender).c_str());
                presence();
                continue;
            }
            listed.insert(sender);
            std::printf("listed %s\n", escape(sender).c_str());
            std::printf("answered %s\n", escape(sender).c_str());
            presence();
        }
        if (cmd == "l/") {
            listed.erase(sender);
            std::printf("removed %s\n", escape(sender).c_str());
        }
    }
    s.send(me + "|L/");
    return 0;
}
