// lanyx-storm: one socket on a (simulated) segment that speaks for many
// peers. The protocol names the sender in the payload, so one socket can be
// a whole office.
//
//   lanyx-storm [--peers N] [--node NAME] ...        join storm: N newcomers
//   lanyx-storm --hostile COUNT ...                  COUNT malformed datagrams
//   lanyx-storm --burst N [--spread-ms MS] ...        N present peers' presence
//   lanyx-storm --alerts N [--names M] [--real NAME] [--real-after-ms MS] ...
//                                                    alert storm, then one real alert
//
// Alert storm: a colleague (--real, default "colleague") announces itself
// and is listed; 2 s later N public alerts from M made-up names (default
// 5,000) go out at --rate a second (default 10,000); MS after the storm's
// end (default 1000) the colleague sends one alert. Prints when the storm
// ended and when the real alert went out, in milliseconds of the steady
// clock (the same for every process on the machine), so that whoever looks
// at the node can tell how long the alert took to show.
//
// Burst: N peers already on the segment answer a node's join, each with its
// presence (empty public message, colour, status), all at once or spread
// evenly over MS. The node's own report tells how many it listed
// (`lanyx-cli listen` prints one join line per roster row). With
// --answer-only the peers stay silent until the node asks everybody to
// announce itself, as peers whose presence the node lost would.
//
// Join storm: N newcomers, --rate a second, each sending what a joining copy
// sends (colour, status, join notice). A running node answers newcomers with
// its presence (empty public message, colour, status); one presence answers
// all newcomers it heard before it. Prints N, datagrams sent, replies, whether
// a presence followed the last newcomer, and how soon a further newcomer was
// answered afterwards; then sends every newcomer's leave notice. When the
// node asks everybody to announce itself, every newcomer does.
//
// Only for segments made for the purpose (network namespaces, loopback):
// it broadcasts as fast as the node answers.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    long peers = 1000;
    long hostile = 0;
    long burst = 0;
    long spreadMs = 0;
    std::string node;  // count only this sender's replies; empty: any other sender
    std::string prefix = "storm";
    std::string broadcast = "255.255.255.255";
    int port = 1414;
    long rate = 0;  // newcomers (default 20,000) or hostile datagrams (50,000) per second
    long timeoutMs = 60000;
    bool leave = true;
    bool answerOnly = false;  // burst: silent until the node asks everybody
    long alerts = 0;
    long names = 5000;
    std::string real = "colleague";
    long realAfterMs = 1000;
};

void usage() {
    std::fputs(
        "Usage: lanyx-storm [--peers N] [--node NAME] [--rate PER_SECOND] [--timeout-ms MS] [--no-leave]\n"
        "       lanyx-storm --hostile COUNT [--rate PER_SECOND]\n"
        "       lanyx-storm --burst N [--spread-ms MS] [--answer-only] [--no-leave]\n"
        "       lanyx-storm --alerts N [--names M] [--real NAME] [--real-after-ms MS] [--rate PER_SECOND]\n"
        "common: [--broadcast ADDR] [--port PORT] [--prefix NAME]\n",
        stderr);
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        auto number = [&](long& target) {
            const char* v = value();
            if (!v) return false;
            char* end = nullptr;
            target = std::strtol(v, &end, 10);
            return *end == 0 && target >= 0;
        };
        const char* v = nullptr;
        if (a == "--peers") {
            if (!number(o.peers) || o.peers == 0) return false;
        } else if (a == "--hostile") {
            if (!number(o.hostile)) return false;
        } else if (a == "--burst") {
            if (!number(o.burst) || o.burst == 0) return false;
        } else if (a == "--alerts") {
            if (!number(o.alerts) || o.alerts == 0) return false;
        } else if (a == "--names") {
            if (!number(o.names) || o.names == 0) return false;
        } else if (a == "--real-after-ms") {
            if (!number(o.realAfterMs)) return false;
        } else if (a == "--real") {
            if (!(v = value()) || !*v) return false;
            o.real = v;
        } else if (a == "--spread-ms") {
            if (!number(o.spreadMs)) return false;
        } else if (a == "--rate") {
            if (!number(o.rate) || o.rate == 0) return false;
        } else if (a == "--timeout-ms") {
            if (!number(o.timeoutMs)) return false;
        } else if (a == "--port") {
            long p;
            if (!number(p) || p > 65535) return false;
            o.port = static_cast<int>(p);
        } else if (a == "--node") {
            if (!(v = value())) return false;
            o.node = v;
        } else if (a == "--prefix") {
            if (!(v = value()) || !*v) return false;
            o.prefix = v;
        } else if (a == "--broadcast") {
            if (!(v = value())) return false;
            o.broadcast = v;
        } else if (a == "--no-leave") o.leave = false;
        else if (a == "--answer-only") o.answerOnly = true;
        else return false;
    }
    return true;
}

class Socket {
public:
    Socket(const Options& o) {
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        if (fd_ < 0) fail("socket");
        const int on = 1;
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        // Large buffers (past the system's limit when allowed): the answers
        // of a whole segment arrive here.
        const int buf = 8 << 20;
        if (setsockopt(fd_, SOL_SOCKET, SO_RCVBUFFORCE, &buf, sizeof buf) != 0)
            setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &buf, sizeof buf);
        setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &buf, sizeof buf);
        // Bound to the port, as a copy of the program is: the node's answers
        // are broadcasts to it.
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(static_cast<uint16_t>(o.port));
        local.sin_addr.s_addr = htonl(INADDR_ANY);
        if (bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) fail("bind");
        to_.sin_family = AF_INET;
        to_.sin_port = htons(static_cast<uint16_t>(o.port));
        if (inet_pton(AF_INET, o.broadcast.c_str(), &to_.sin_addr) != 1) fail("broadcast address");
    }
    ~Socket() { close(fd_); }
    void send(const std::string& d) {
        while (sendto(fd_, d.data(), d.size(), 0, reinterpret_cast<sockaddr*>(&to_), sizeof to_) < 0) {
            if (errno != ENOBUFS && errno != EAGAIN && errno != EINTR) fail("sendto");
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ++sent;
    }
    // One datagram, or false when none came within the time.
    bool receive(std::string& out, int timeoutMs) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, timeoutMs) <= 0) return false;
        out.resize(65536);
        const auto n = recv(fd_, out.data(), out.size(), 0);
        if (n < 0) return false;
        out.resize(static_cast<std::size_t>(n));
        return true;
    }
    long sent = 0;

private:
    [[noreturn]] static void fail(const char* what) {
        std::perror(what);
        std::exit(1);
    }
    int fd_ = -1;
    sockaddr_in to_{};
};

std::string senderOf(const std::string& d) {
    const auto bar = d.find('|');
    return bar == std::string::npos ? std::string() : d.substr(0, bar);
}

bool isPresence(const std::string& d, const std::string& from) {
    return d.size() == from.size() + 3 &&
           (d.compare(from.size() + 1, 2, "M/") == 0 || d.compare(from.size() + 1, 2, "m/") == 0);
}

int joinStorm(const Options& o) {
    Socket s(o);
    long replies = 0, presences = 0, resent = 0, next = 0;
    bool answeredAfterLast = false;
    const auto t0 = Clock::now();
    auto lastProgress = t0;
    std::string d;
    // A reply is a broadcast: one presence answers every newcomer heard
    // before it went out. So newcomers are sent at the given rate without
    // waiting, and what counts is that a presence followed the last one.
    auto take = [&](int waitMs) {
        if (!s.receive(d, waitMs)) return false;
        const auto from = senderOf(d);
        if (from.empty() || from.compare(0, o.prefix.size(), o.prefix) == 0) return true;  // our own echo
        if (!from.empty() && from[0] == '_') {
            // The node asks everybody to announce itself (it lost datagrams):
            // each newcomer answers, as a copy of the program would.
            for (long k = 0; k < next; ++k) {
                s.send(o.prefix + std::to_string(k) + "|C/0");
                ++resent;
                if (k % 64 == 63) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return true;
        }
        if (!o.node.empty() && from != o.node) return true;
        ++replies;
        if (isPresence(d, from)) {
            ++presences;
            if (next == o.peers) answeredAfterLast = true;
        }
        lastProgress = Clock::now();
        return true;
    };
    while (next < o.peers) {
        const std::string name = o.prefix + std::to_string(next++);
        s.send(name + "|C/0");
        s.send(name + "|S/0");
        s.send(name + "|M/" + name + " has joined the network");
        if (next % 16 == 0) {
            while (take(0)) {
            }
            std::this_thread::sleep_until(t0 + std::chrono::microseconds(next * 1000000 / o.rate));
        }
    }
    const double stormSecs = std::chrono::duration<double>(Clock::now() - t0).count();
    const auto last = Clock::now();
    while (!answeredAfterLast && Clock::now() - last < std::chrono::milliseconds(o.timeoutMs)) take(100);
    // A further newcomer, once the storm has passed, is answered within the
    // node's reply delay.
    while (take(200)) {
    }
    long lateMs = -1;
    if (answeredAfterLast) {
        const std::string name = o.prefix + "late";
        const long before = presences;
        const auto sentAt = Clock::now();
        s.send(name + "|C/0");
        s.send(name + "|S/0");
        s.send(name + "|M/" + name + " has joined the network");
        while (presences == before && Clock::now() - sentAt < std::chrono::milliseconds(o.timeoutMs)) take(100);
        if (presences > before)
            lateMs = static_cast<long>(
                std::chrono::duration_cast<std::chrono::milliseconds>(lastProgress - sentAt).count());
        if (o.leave) s.send(name + "|L/");
    }
    const long sent = s.sent;
    std::printf(
        "peers\t%ld\nsent\t%ld\nresent\t%ld\nreplies\t%ld\npresences\t%ld\nstorm seconds\t%.3f\n"
        "newcomers/s\t%.0f\nanswered after the last\t%s\nfurther newcomer answered in ms\t%ld\n",
        o.peers, sent, resent, replies, presences, stormSecs, static_cast<double>(o.peers) / stormSecs,
        answeredAfterLast ? "yes" : "no", lateMs);
    std::fflush(stdout);
    if (!answeredAfterLast)
        std::fprintf(stderr, "lanyx-storm: no presence from the node after the last newcomer within %ld ms\n",
                     o.timeoutMs);
    if (o.leave) {
        for (long k = 0; k < next; ++k) {
            s.send(o.prefix + std::to_string(k) + "|L/");
            if (k % 64 == 63) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    return answeredAfterLast && lateMs >= 0 ? 0 : 3;
}

// Every kind of broken or hostile datagram, in turn. Only the senders named
// in the comments may end up listed by a node that hears this.
int hostile(const Options& o) {
    Socket s(o);
    std::string high = "hi";
    for (int b = 0x80; b <= 0xFF; b += 0x11) high.push_back(static_cast<char>(b));
    const std::string big(65000, 'x');
    const auto start = Clock::now();
    for (long k = 0; k < o.hostile; ++k) {
        const std::string n = std::to_string(k);
        std::string d;
        switch (k % 12) {
        case 0: d = "no bar at all " + n; break;                                           // never listed
        case 1: d = "cut" + n + "|"; break;                                                // never listed
        case 2: d = "cut" + n + "|C"; break;                                               // never listed
        case 3: d = "big|M/" + big; break;                                                 // big
        case 4: d = std::string("ctl\x01\x07|M/\x1b[2J\x7f") + '\0' + "x\tbell\a"; break;  // ctl^A^G
        case 5: d = (k % 24 == 5 ? "Twin|C/" : "TWIN|C/") + n; break;                      // one of the twins
        case 6: d = "_probe" + n + "|C/0"; break;                                          // never listed
        case 7: d = high + "|M/" + std::string(1, static_cast<char>(0x80 + k % 128)) + "\xDE\xDF\xFF"; break;  // hi...
        case 8: d = "seven|S/7"; break;                                                                        // seven
        case 9: d = "boxer|B/box " + n; break;                                                                 // boxer
        case 10:
            d = "mixed|P/\xDF"
                "for nobody|nobody";
            break;                                          // mixed
        default: d = "evil|C/99999999999999999999"; break;  // evil
        }
        s.send(d);
        // Paced, so that the node hears most of it rather than its socket
        // buffer dropping it.
        const auto due = start + std::chrono::microseconds(k * 1000000 / o.rate);
        if (k % 32 == 31) std::this_thread::sleep_until(due);
    }
    const double secs = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("hostile\t%ld\nsent\t%ld\nseconds\t%.3f\ndatagrams/s\t%.0f\n", o.hostile, s.sent, secs,
                static_cast<double>(s.sent) / secs);
    return 0;
}

long steadyMs() {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count());
}

int alertStorm(const Options& o) {
    Socket s(o);
    // The colleague is listed well before the storm.
    s.send(o.real + "|M/");
    s.send(o.real + "|C/0");
    s.send(o.real + "|S/0");
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const auto start = Clock::now();
    std::printf("storm began at\t%ld\n", steadyMs());
    std::fflush(stdout);
    for (long k = 0; k < o.alerts; ++k) {
        // The alert mark in Windows-1252, as on the wire.
        s.send(o.prefix + std::to_string(k % o.names) +
               "|M/\xDF"
               "alert " +
               std::to_string(k));
        if (k % 32 == 31) std::this_thread::sleep_until(start + std::chrono::microseconds(k * 1000000 / o.rate));
    }
    const double secs = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("alerts\t%ld\nnames\t%ld\nstorm seconds\t%.3f\nalerts/s\t%.0f\nstorm ended at\t%ld\n", o.alerts,
                o.names, secs, static_cast<double>(o.alerts) / secs, steadyMs());
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(o.realAfterMs));
    s.send(o.real +
           "|M/\xDF"
           "the server room is on fire");
    std::printf("real alert sent at\t%ld\n", steadyMs());
    std::fflush(stdout);
    return 0;
}

int burst(const Options& o) {
    Socket s(o);
    const auto start = Clock::now();
    auto presence = [&](long k) {
        const std::string name = o.prefix + std::to_string(k);
        s.send(name + "|M/");
        s.send(name + "|C/0");
        s.send(name + "|S/0");
    };
    for (long k = 0; k < o.burst && !o.answerOnly; ++k) {
        presence(k);
        if (o.spreadMs > 0)
            std::this_thread::sleep_until(start + std::chrono::microseconds(k * o.spreadMs * 1000 / o.burst));
    }
    const double secs = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("burst\t%ld\nsent\t%ld\nseconds\t%.3f\n", o.burst, s.sent, secs);
    std::fflush(stdout);
    // Time for the node to take the burst in and report it. When it asks
    // everybody to announce itself (it lost datagrams), every peer answers,
    // as a copy of the program would.
    long asked = 0;
    const auto end = Clock::now() + std::chrono::milliseconds(o.timeoutMs < 60000 ? o.timeoutMs : 3000);
    std::string d;
    while (Clock::now() < end) {
        if (!s.receive(d, 50)) continue;
        const auto from = senderOf(d);
        if (from.size() < 2 || from[0] != '_' || from.compare(0, o.prefix.size(), o.prefix) == 0) continue;
        ++asked;
        for (long k = 0; k < o.burst; ++k) {
            presence(k);
            if (k % 64 == 63) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    if (asked > 0) std::printf("asked again\t%ld\n", asked);
    if (o.leave) {
        for (long k = 0; k < o.burst; ++k) {
            s.send(o.prefix + std::to_string(k) + "|L/");
            if (k % 64 == 63) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        usage();
        return 2;
    }
    if (o.rate == 0) o.rate = o.hostile > 0 ? 50000 : o.alerts > 0 ? 10000 : 20000;
    if (o.burst > 0) return burst(o);
    if (o.alerts > 0) return alertStorm(o);
    return o.hostile > 0 ? hostile(o) : joinStorm(o);
}
