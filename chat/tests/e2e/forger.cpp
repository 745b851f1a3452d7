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
// --key keeps the forger's seed in FILE (made when missing), so that runs
// after one another speak with one key. --time-offset-s dates what is
// signed that far from this computer's clock. With --repeat-ms the
// command is sent again every MS milliseconds for --for-ms.
// DATAGRAM and TEXT take \xNN escapes.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sodium.h>
#include <sys/socket.h>
#include <unistd.h>

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
    if (!once()) return usage();
    for (int waited = 0; repeatMs > 0 && waited < forMs; waited += repeatMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(repeatMs));
        once();
    }
    return 0;
}
