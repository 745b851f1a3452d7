// lanyx-forger: somebody on the segment who read how our copies announce
// keys and sign datagrams, and made a key of his own. Built on libsodium
// alone, from the datagrams as they travel, so that it forges what any
// host could forge.
//
//   lanyx-forger [--broadcast ADDR] [--key FILE] [--time-offset-s N]
//                [--repeat-ms MS --for-ms MS] COMMAND ...
//   announce NAME...          one key announcement under each NAME
//   signed DATAGRAM...        each datagram ("name|C/payload") with a
//                             companion signed by the forger's key
//   flood-names COUNT LEN     COUNT announcements under names of LEN bytes
//                             (0x80, which a Windows-1252 reader takes as
//                             the euro sign, behind a running number)
//   sealed FROM TO TEXT       a private message sealed from the forger's
//                             key to TO's box key (--to-box BASE64)
//   tcp-listen PORT MS        listens on PORT for MS milliseconds and prints
//                             "connection from ADDR" for each connection
//   hold-tcp ADDR PORT COUNT MS
//                             opens COUNT connections to ADDR:PORT, sends
//                             nothing, holds them MS milliseconds (opening
//                             again each second what the other side
//                             closed); prints "open N reopened M"
//   answer MS NAME...         for MS milliseconds answers the challenges of
//                             an address sent to this host for any NAME (as
//                             the copy holding the key there does), seen on
//                             the wire without taking port 1414 from others
//   replay-tcp IFACE PORT     records what this host sends on the first new
//                             connection to PORT (seen on IFACE), and once
//                             it has gone quiet for a second, plays it back
//                             on a connection of its own; prints
//                             "replayed N" and holds that connection 5 s
// --key keeps the forger's seed in FILE (made when missing), so that runs
// after one another speak with one key. --time-offset-s dates what is
// signed that far from this computer's clock. With --repeat-ms the
// command is sent again every MS milliseconds for --for-ms.
// DATAGRAM and TEXT take \xNN escapes.
#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sodium.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

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

std::string b64(const std::string& bytes) {
    std::string out(sodium_base64_ENCODED_LEN(bytes.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(out.data(), out.size(), reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                      sodium_base64_VARIANT_ORIGINAL);
    out.resize(out.size() - 1);
    return out;
}

std::string unb64(const std::string& text) {
    std::string out(text.size(), '\0');
    std::size_t len = 0;
    if (sodium_base642bin(reinterpret_cast<unsigned char*>(out.data()), out.size(), text.data(), text.size(), nullptr,
                          &len, nullptr, sodium_base64_VARIANT_ORIGINAL) != 0)
        return {};
    out.resize(len);
    return out;
}

std::string be64(std::uint64_t v) {
    std::string out(8, '\0');
    for (int i = 7; i >= 0; --i, v >>= 8) out[static_cast<std::size_t>(i)] = static_cast<char>(v & 0xFF);
    return out;
}

std::string hash(const std::string& data) {
    std::string h(32, '\0');
    crypto_generichash(reinterpret_cast<unsigned char*>(h.data()), h.size(),
                       reinterpret_cast<const unsigned char*>(data.data()), data.size(), nullptr, 0);
    return h;
}

struct Keys {
    unsigned char signPk[32], signSk[64], boxPk[32], boxSk[32];
};

Keys keysFrom(const std::string& seed) {
    Keys k{};
    crypto_sign_seed_keypair(k.signPk, k.signSk, reinterpret_cast<const unsigned char*>(seed.data()));
    // The box secret from the same seed, so that one file holds both.
    crypto_generichash(k.boxSk, sizeof k.boxSk, reinterpret_cast<const unsigned char*>(seed.data()), seed.size(),
                       reinterpret_cast<const unsigned char*>("box"), 3);
    crypto_scalarmult_base(k.boxPk, k.boxSk);
    return k;
}

std::string seedFrom(const std::string& file) {
    if (!file.empty()) {
        std::ifstream in(file, std::ios::binary);
        std::string s((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (s.size() == 32) return s;
    }
    std::string seed(32, '\0');
    randombytes_buf(seed.data(), seed.size());
    if (!file.empty()) std::ofstream(file, std::ios::binary) << seed;
    return seed;
}

std::string sign(const Keys& k, const std::string& message) {
    std::string sig(64, '\0');
    crypto_sign_detached(reinterpret_cast<unsigned char*>(sig.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(message.data()), message.size(), k.signSk);
    return sig;
}

class Forger {
public:
    Forger(const std::string& broadcast, Keys keys, std::int64_t offsetS) : keys_(keys), offsetS_(offsetS) {
        fd_ = socket(AF_INET, SOCK_DGRAM, 0);
        int on = 1;
        setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        to_.sin_family = AF_INET;
        to_.sin_port = htons(1414);
        inet_pton(AF_INET, broadcast.c_str(), &to_.sin_addr);
    }
    void send(const std::string& bytes) {
        if (sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to_), sizeof to_) < 0)
            std::perror("sendto");
        usleep(1000);
    }
    // Sequence numbers are the signer's clock in microseconds.
    std::uint64_t seq() {
        const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::system_clock::now().time_since_epoch())
                             .count() +
                         offsetS_ * 1000000;
        last_ = std::max(last_ + 1, static_cast<std::uint64_t>(now));
        return last_;
    }
    std::string announcement(const std::string& name, const std::string& caps = "sign,box,receipt,files") {
        const std::string prefix = name + "|K/1;" + caps + ";" +
                                   b64(std::string(reinterpret_cast<const char*>(keys_.signPk), 32)) + ";" +
                                   b64(std::string(reinterpret_cast<const char*>(keys_.boxPk), 32)) + ";";
        const std::string s = be64(seq());
        return prefix + b64(s + sign(keys_, "LANYX-K1" + prefix + s));
    }
    std::string companion(const std::string& datagram) {
        const std::string sender = datagram.substr(0, datagram.find('|'));
        const std::string head = be64(seq()) + hash(datagram);
        return sender + "|G/" + b64(head + sign(keys_, "LANYX-G1" + head));
    }
    // The answer to a challenge "CHALLENGER|Q/NAME|NONCE".
    std::string answer(const std::string& challenger, const std::string& name, const std::string& nonce) {
        return name + "|A/" + challenger + "|" +
               b64(nonce + sign(keys_, "LANYX-A1" + name + '\0' + challenger + '\0' + nonce));
    }
    std::string sealed(const std::string& from, const std::string& to, const std::string& theirBox,
                       const std::string& text) {
        unsigned char point[32];
        if (theirBox.size() != 32 ||
            crypto_scalarmult(point, keys_.boxSk, reinterpret_cast<const unsigned char*>(theirBox.data())) != 0)
            return {};
        const std::string mine(reinterpret_cast<const char*>(keys_.boxPk), 32);
        const auto& lo = std::min(mine, theirBox);
        const auto& hi = std::max(mine, theirBox);
        unsigned char key[32];
        crypto_generichash_state st;
        crypto_generichash_init(&st, nullptr, 0, sizeof key);
        crypto_generichash_update(&st, point, sizeof point);
        crypto_generichash_update(&st, reinterpret_cast<const unsigned char*>(lo.data()), lo.size());
        crypto_generichash_update(&st, reinterpret_cast<const unsigned char*>(hi.data()), hi.size());
        crypto_generichash_final(&st, key, sizeof key);
        const std::string s = be64(seq());
        const std::string ad = "LANYX-E1" + from + '\0' + to + s;
        std::string out(24 + text.size() + 16, '\0');
        randombytes_buf(out.data(), 24);
        unsigned long long n = 0;
        crypto_aead_xchacha20poly1305_ietf_encrypt(reinterpret_cast<unsigned char*>(out.data()) + 24, &n,
                                                   reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                                                   reinterpret_cast<const unsigned char*>(ad.data()), ad.size(),
                                                   nullptr, reinterpret_cast<const unsigned char*>(out.data()), key);
        out.resize(24 + n);
        return from + "|E/" + to + "|" + b64(s + out);
    }

private:
    Keys keys_;
    std::int64_t offsetS_;
    std::uint64_t last_ = 0;
    int fd_ = -1;
    sockaddr_in to_{};
};

sockaddr_in addressOf(const std::string& host, int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    inet_pton(AF_INET, host.c_str(), &a.sin_addr);
    return a;
}

int tcpListen(int port, int ms) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    auto a = addressOf("0.0.0.0", port);
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd, 16) != 0) return 1;
    std::printf("listening\n");
    std::fflush(stdout);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const int c = accept(fd, reinterpret_cast<sockaddr*>(&from), &len);
        if (c < 0) continue;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
        std::printf("connection from %s\n", text);
        std::fflush(stdout);
        close(c);
    }
    return 0;
}

int holdTcp(const std::string& host, int port, int count, int ms) {
    rlimit lim{};
    getrlimit(RLIMIT_NOFILE, &lim);
    lim.rlim_cur = std::max<rlim_t>(lim.rlim_cur, static_cast<rlim_t>(count) + 64);
    lim.rlim_max = std::max(lim.rlim_max, lim.rlim_cur);
    if (setrlimit(RLIMIT_NOFILE, &lim) != 0) std::perror("setrlimit");
    std::vector<int> fds;
    auto a = addressOf(host, port);
    const auto open = [&] {
        const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        if (fd >= 0) connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        return fd;
    };
    for (int i = 0; i < count; ++i) {
        const int fd = open();
        if (fd < 0) {
            std::perror("socket");
            break;
        }
        fds.push_back(fd);
        // A pace the listener's queue takes: each is accepted, and held.
        if (i % 50 == 49) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::printf("made %zu\n", fds.size());
    std::fflush(stdout);
    // Held: what the other side closes is opened again once a second.
    std::size_t reopened = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        for (auto& fd : fds) {
            char b;
            const auto n = recv(fd, &b, 1, MSG_DONTWAIT);
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOTCONN)) continue;
            close(fd);
            fd = open();
            ++reopened;
        }
    }
    std::size_t held = 0;
    for (int fd : fds) {
        char b;
        const auto n = recv(fd, &b, 1, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) ++held;
        close(fd);
    }
    std::printf("open %zu reopened %zu\n", held, reopened);
    return 0;
}

int replayTcp(const std::string& iface, int port) {
    // ETH_P_ALL: packets this host sends reach only such sockets.
    const int fd = socket(AF_PACKET, SOCK_DGRAM, htons(ETH_P_ALL));
    if (fd < 0) {
        std::perror("packet socket");
        return 1;
    }
    sockaddr_ll ll{};
    ll.sll_family = AF_PACKET;
    ll.sll_protocol = htons(ETH_P_ALL);
    ll.sll_ifindex = static_cast<int>(if_nametoindex(iface.c_str()));
    if (bind(fd, reinterpret_cast<sockaddr*>(&ll), sizeof ll) != 0) {
        std::perror("bind");
        return 1;
    }
    std::printf("recording\n");
    std::fflush(stdout);
    std::uint32_t isn = 0, server = 0;
    std::uint16_t clientPort = 0;
    bool seen = false;
    std::string stream;
    auto last = std::chrono::steady_clock::now();
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const bool quiet = seen && !stream.empty() &&
                           std::chrono::steady_clock::now() - last > std::chrono::milliseconds(1000);
        if (quiet) break;
        if (poll(&p, 1, 50) <= 0) continue;
        unsigned char buf[65536];
        sockaddr_ll from{};
        socklen_t fromLen = sizeof from;
        const auto n = recvfrom(fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 40 || from.sll_protocol != htons(ETH_P_IP) || (buf[0] >> 4) != 4 || buf[9] != 6) continue;
        const std::size_t ihl = (buf[0] & 15u) * 4u;
        const std::size_t total = (static_cast<std::size_t>(buf[2]) << 8) | buf[3];
        if (total > static_cast<std::size_t>(n) || ihl + 20 > total) continue;
        const unsigned char* tcp = buf + ihl;
        const std::uint16_t src = static_cast<std::uint16_t>((tcp[0] << 8) | tcp[1]);
        const std::uint16_t dst = static_cast<std::uint16_t>((tcp[2] << 8) | tcp[3]);
        if (dst != port) continue;
        const std::uint32_t seq = (std::uint32_t{tcp[4]} << 24) | (std::uint32_t{tcp[5]} << 16) |
                                  (std::uint32_t{tcp[6]} << 8) | tcp[7];
        const std::size_t off = (tcp[12] >> 4) * 4u;
        const bool syn = (tcp[13] & 0x02) != 0;
        if (syn && !seen) {
            seen = true;
            isn = seq;
            clientPort = src;
            std::memcpy(&server, buf + 16, 4);
            last = std::chrono::steady_clock::now();
            continue;
        }
        if (!seen || src != clientPort) continue;
        const std::size_t payload = total - ihl - off;
        if (payload == 0) continue;
        const std::size_t at = seq - isn - 1;
        if (at > (1u << 20)) continue;
        if (stream.size() < at + payload) stream.resize(at + payload);
        std::memcpy(stream.data() + at, tcp + off, payload);
        last = std::chrono::steady_clock::now();
    }
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    std::memcpy(&a.sin_addr, &server, 4);
    const int c = socket(AF_INET, SOCK_STREAM, 0);
    if (connect(c, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        std::perror("connect");
        return 1;
    }
    const auto sent = ::send(c, stream.data(), stream.size(), 0);
    std::printf("replayed %zd\n", sent);
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(5));
    close(c);
    return 0;
}

// Watches the UDP datagrams to port 1414 that reach this host (a packet
// socket: the copies bound there keep theirs) and answers challenges.
int answerChallenges(Forger& f, int ms, const std::vector<std::string>& names) {
    const int fd = socket(AF_PACKET, SOCK_DGRAM, htons(ETH_P_IP));
    if (fd < 0) {
        std::perror("packet socket");
        return 1;
    }
    std::printf("answering\n");
    std::fflush(stdout);
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        unsigned char buf[65536];
        sockaddr_ll from{};
        socklen_t fromLen = sizeof from;
        const auto n = recvfrom(fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
        // Only what came in, not what this host sent.
        if (n < 28 || from.sll_pkttype == PACKET_OUTGOING || (buf[0] >> 4) != 4 || buf[9] != 17) continue;
        const std::size_t ihl = (buf[0] & 15u) * 4u;
        const std::size_t total = (static_cast<std::size_t>(buf[2]) << 8) | buf[3];
        if (total > static_cast<std::size_t>(n) || ihl + 8 > total) continue;
        const unsigned char* udp = buf + ihl;
        if (((udp[2] << 8) | udp[3]) != 1414) continue;
        const std::string d(reinterpret_cast<const char*>(udp + 8), total - ihl - 8);
        const auto bar = d.find('|');
        if (bar == std::string::npos || d.compare(bar + 1, 2, "Q/") != 0) continue;
        const auto rest = d.substr(bar + 3);
        const auto bar2 = rest.find('|');
        if (bar2 == std::string::npos) continue;
        const auto name = rest.substr(0, bar2);
        const auto nonce = unb64(rest.substr(bar2 + 1));
        if (nonce.size() != 16 || std::find(names.begin(), names.end(), name) == names.end()) continue;
        f.send(f.answer(d.substr(0, bar), name, nonce));
        std::printf("answered %s\n", name.c_str());
        std::fflush(stdout);
    }
    return 0;
}

int usage() {
    std::fprintf(stderr,
                 "usage: lanyx-forger [--broadcast ADDR] [--key FILE] [--time-offset-s N] "
                 "[--repeat-ms MS --for-ms MS] announce NAME... | signed DATAGRAM... | "
                 "flood-names COUNT LEN | sealed FROM TO TEXT --to-box BASE64\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (sodium_init() < 0) return 1;
    std::string broadcast = "255.255.255.255", keyFile, toBox;
    std::int64_t offsetS = 0;
    int repeatMs = 0, forMs = 0;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&] { return i + 1 < argc ? std::string(argv[++i]) : std::string(); };
        if (a == "--broadcast") broadcast = next();
        else if (a == "--key") keyFile = next();
        else if (a == "--time-offset-s") offsetS = std::stoll(next());
        else if (a == "--repeat-ms") repeatMs = std::stoi(next());
        else if (a == "--for-ms") forMs = std::stoi(next());
        else if (a == "--to-box") toBox = next();
        else words.push_back(a);
    }
    if (words.empty()) return usage();
    if (words[0] == "tcp-listen" && words.size() == 3) return tcpListen(std::stoi(words[1]), std::stoi(words[2]));
    if (words[0] == "hold-tcp" && words.size() == 5)
        return holdTcp(words[1], std::stoi(words[2]), std::stoi(words[3]), std::stoi(words[4]));
    if (words[0] == "replay-tcp" && words.size() == 3) return replayTcp(words[1], std::stoi(words[2]));
    Forger f(broadcast, keysFrom(seedFrom(keyFile)), offsetS);
    const auto once = [&]() -> bool {
        const auto& cmd = words[0];
        if (cmd == "announce") {
            for (std::size_t i = 1; i < words.size(); ++i) f.send(f.announcement(unescape(words[i])));
        } else if (cmd == "signed") {
            for (std::size_t i = 1; i < words.size(); ++i) {
                const auto d = unescape(words[i]);
                f.send(d);
                f.send(f.companion(d));
            }
        } else if (cmd == "flood-names" && words.size() == 3) {
            const int count = std::stoi(words[1]);
            const std::size_t len = std::stoul(words[2]);
            for (int n = 0; n < count; ++n) {
                std::string name = std::to_string(n) + "x";
                name.resize(std::max(len, name.size()), '\x80');
                f.send(f.announcement(name));
            }
        } else if (cmd == "sealed" && words.size() == 4) {
            const auto d = f.sealed(words[1], words[2], unb64(toBox), unescape(words[3]));
            if (d.empty()) return false;
            f.send(d);
        } else {
            return false;
        }
        return true;
    };
    if (words[0] == "answer" && words.size() >= 3)
        return answerChallenges(f, std::stoi(words[1]), std::vector<std::string>(words.begin() + 2, words.end()));
    if (!once()) return usage();
    for (int waited = 0; repeatMs > 0 && waited < forMs; waited += repeatMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(repeatMs));
        once();
    }
    return 0;
}
