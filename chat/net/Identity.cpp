#include "Identity.h"

#include "Crypto.h"
#include "Text.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace lanyx {

namespace {

constexpr std::string_view kIdentityHeader = "Lanyx identity 1";
constexpr std::string_view kPinsHeader = "Lanyx known keys 1";
// Larger files are not ours: kMaxPins lines of a long name and two keys.
constexpr std::uintmax_t kMaxPinsFileBytes = 16u << 20;
constexpr std::uintmax_t kMaxKeyFileBytes = 4096;

std::vector<std::string_view> lines(std::string_view text) {
    std::vector<std::string_view> out;
    while (!text.empty()) {
        auto nl = text.find('\n');
        auto line = text.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        out.push_back(line);
        if (nl == std::string_view::npos) break;
        text.remove_prefix(nl + 1);
    }
    return out;
}

std::optional<std::string> readSmallFile(const std::filesystem::path& file, std::uintmax_t limit,
                                         std::string& problem) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (ec) {
        problem = ec.message();
        return std::nullopt;
    }
    if (size > limit) {
        problem = "the file is " + std::to_string(size) + " bytes, more than a file of ours holds";
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        problem = "it cannot be opened";
        return std::nullopt;
    }
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Written beside and renamed over, so that a crash leaves the old file or
// the new one, never half of one. `secret`: readable by the user alone from
// before the first byte is written.
bool writeReplacing(const std::filesystem::path& file, const std::string& text, bool secret, std::string& problem) {
    namespace fs = std::filesystem;
    const auto temp = fs::path(file).concat(".new");
    std::error_code ec;
    fs::remove(temp, ec);
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            problem = "cannot write " + temp.string();
            return false;
        }
        if (secret) {
            fs::permissions(temp, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace, ec);
            if (ec) {
                problem = "cannot make " + temp.string() + " private: " + ec.message();
                out.close();
                fs::remove(temp, ec);
                return false;
            }
        }
        out << text;
        out.flush();
        if (!out) {
            problem = "cannot write " + temp.string();
            out.close();
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, file, ec);
    if (ec) {
        problem = "cannot replace " + file.string() + ": " + ec.message();
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

} // namespace

std::string Identity::toText() const {
    std::string seed = signSecret.substr(0, crypto::kSignSeedBytes);
    std::string text = std::string(kIdentityHeader) + "\nsign " + crypto::ToBase64(seed) + "\nbox " +
                       crypto::ToBase64(boxSecret) + "\n";
    crypto::Wipe(seed);
    return text;
}

std::optional<Identity> Identity::fromText(std::string_view text) {
    const auto ls = lines(text);
    if (ls.size() < 3 || ls[0] != kIdentityHeader) return std::nullopt;
    std::optional<std::string> seed, box;
    for (std::size_t i = 1; i < ls.size(); ++i) {
        if (startsWith(ls[i], "sign ")) seed = crypto::FromBase64(ls[i].substr(5));
        else if (startsWith(ls[i], "box ")) box = crypto::FromBase64(ls[i].substr(4));
    }
    if (!seed || !box) return std::nullopt;
    auto sign = crypto::SigningKeysFromSeed(*seed);
    auto boxPublic = crypto::BoxPublicFromSecret(*box);
    crypto::Wipe(*seed);
    if (!sign || !boxPublic) return std::nullopt;
    return Identity{sign->publicKey, sign->secretKey, *boxPublic, *box};
}

Identity Identity::generate() {
    auto seed = crypto::RandomBytes(crypto::kSignSeedBytes);
    auto sign = crypto::SigningKeysFromSeed(seed);
    crypto::Wipe(seed);
    auto box = crypto::RandomBytes(crypto::kBoxSecretBytes);
    auto boxPublic = crypto::BoxPublicFromSecret(box);
    return Identity{sign->publicKey, sign->secretKey, *boxPublic, box};
}

LoadedIdentity LoadOrCreateIdentity(const std::filesystem::path& dataDir) {
    namespace fs = std::filesystem;
    LoadedIdentity result;
    if (!crypto::available()) return result;
    const auto file = dataDir / Identity::kFileName;
    std::error_code ec;
    if (fs::exists(file, ec)) {
        std::string problem;
        if (auto text = readSmallFile(file, kMaxKeyFileBytes, problem)) {
            result.identity = Identity::fromText(*text);
            crypto::Wipe(*text);
            if (!result.identity) problem = "it is not a key file";
        }
        if (result.identity) {
            // Readable by others: the secret may be out, but it is the user's
            // key; tighten and say so.
            const auto perms = fs::status(file, ec).permissions();
            if (!ec && (perms & (fs::perms::group_all | fs::perms::others_all)) != fs::perms::none) {
                fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace,
                                ec);
                result.note = "The key file " + file.string() + " was readable by others; now by its owner alone";
            }
            return result;
        }
        // Kept for the user to look at; a new pair is made below.
        auto aside = fs::path(file).concat(".unreadable");
        for (int n = 2; fs::exists(aside, ec) && n < 100; ++n)
            aside = fs::path(file).concat(".unreadable" + std::to_string(n));
        fs::rename(file, aside, ec);
        if (ec) {
            result.note = "The key file " + file.string() + " could not be read (" + problem +
                          ") nor put aside; running without keys";
            return result;
        }
        result.note = "The key file could not be read (" + problem + "); kept as " + aside.filename().string() +
                      ", a new key pair made: other users will see that this user's key changed";
    }
    fs::create_directories(dataDir, ec);
    Identity made = Identity::generate();
    std::string problem;
    if (!writeReplacing(file, made.toText(), true, problem)) {
        result.note = "The key file could not be written (" + problem + "); running without keys";
        return result;
    }
    result.identity = std::move(made);
    return result;
}

const PinStore::Pin* PinStore::find(std::string_view name) const {
    const auto it = pins_.find(toLower(name));
    return it == pins_.end() ? nullptr : &it->second;
}

bool PinStore::set(std::string_view name, Pin pin) {
    // One line per pin: a name with a line break or tab cannot be kept.
    if (name.empty() || name.find_first_of("\t\r\n") != std::string_view::npos) return false;
    auto key = toLower(name);
    auto it = pins_.find(key);
    if (it != pins_.end()) {
        it->second = std::move(pin);
        return true;
    }
    if (pins_.size() >= kMaxPins) return false;
    pins_.emplace(std::move(key), std::move(pin));
    return true;
}

std::string PinStore::toText() const {
    std::string text(kPinsHeader);
    text += '\n';
    for (const auto& [name, pin] : pins_) {
        text += name;
        text += '\t';
        text += crypto::ToBase64(pin.signPublic);
        text += '\t';
        text += crypto::ToBase64(pin.boxPublic);
        text += '\n';
    }
    return text;
}

PinStore PinStore::fromText(std::string_view text, std::size_t* skipped) {
    PinStore store;
    std::size_t bad = 0;
    const auto ls = lines(text);
    for (std::size_t i = 0; i < ls.size(); ++i) {
        const auto line = ls[i];
        if (i == 0 && line == kPinsHeader) continue;
        if (line.empty()) continue;
        const auto t1 = line.find('\t');
        const auto t2 = t1 == std::string_view::npos ? t1 : line.find('\t', t1 + 1);
        if (t2 == std::string_view::npos || t1 == 0 || line.find('|') < t1) {
            ++bad;
            continue;
        }
        auto sign = crypto::FromBase64(line.substr(t1 + 1, t2 - t1 - 1));
        auto box = crypto::FromBase64(line.substr(t2 + 1));
        if (!sign || !box || sign->size() != crypto::kSignPublicBytes || box->size() != crypto::kBoxPublicBytes ||
            !store.set(line.substr(0, t1), Pin{*sign, *box})) {
            ++bad;
            continue;
        }
    }
    if (skipped) *skipped = bad;
    return store;
}

bool PinStore::load(const std::filesystem::path& file, std::string& problem) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        pins_.clear();
        return true;
    }
    const auto text = readSmallFile(file, kMaxPinsFileBytes, problem);
    if (!text) return false;
    std::size_t skipped = 0;
    *this = fromText(*text, &skipped);
    if (skipped) problem = std::to_string(skipped) + " lines skipped";
    return true;
}

bool PinStore::save(const std::filesystem::path& file, std::string& problem) const {
    return writeReplacing(file, toText(), false, problem);
}

// ---- sequence numbers seen ---------------------------------------------------

namespace {
constexpr std::string_view kSeenHeader = "Lanyx sequence numbers seen 1";
constexpr std::uintmax_t kMaxSeenFileBytes = 8u << 20;

std::string hex64(std::uint64_t v) {
    static const char* digits = "0123456789abcdef";
    std::string s(16, '0');
    for (int i = 15; i >= 0; --i, v >>= 4) s[static_cast<std::size_t>(i)] = digits[v & 15];
    return s;
}

bool parseHex64(std::string_view t, std::uint64_t& out) {
    if (t.size() != 16) return false;
    out = 0;
    for (char c : t) {
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (d < 0) return false;
        out = (out << 4) | static_cast<std::uint64_t>(d);
    }
    return true;
}
} // namespace

std::string SeenStore::toText() const {
    std::string out(kSeenHeader);
    out += '\n';
    std::size_t n = 0;
    const auto put = [&](char kind, const std::string& id, const Window& w) {
        if (n++ >= kMaxEntries) return;
        out += kind;
        out += '\t';
        out += id;
        out += '\t';
        out += hex64(w.top);
        out += '\t';
        out += hex64(w.bits);
        out += '\n';
    };
    for (const auto& [key, w] : signing) put('s', crypto::ToBase64(key), w);
    for (const auto& [name, w] : privateSenders)
        if (!name.empty() && name.find_first_of("\t\r\n") == std::string::npos) put('p', name, w);
    return out;
}

SeenStore SeenStore::fromText(std::string_view text, std::size_t* skipped) {
    SeenStore store;
    std::size_t bad = 0;
    const auto ls = lines(text);
    for (std::size_t i = 0; i < ls.size(); ++i) {
        const auto line = ls[i];
        if (line.empty() || (i == 0 && line == kSeenHeader)) continue;
        // kind, id, top, bits: the id may not hold a tab, the rest is fixed.
        if (line.size() < 3 + 34 || line[1] != '\t' || (line[0] != 's' && line[0] != 'p') ||
            store.signing.size() + store.privateSenders.size() >= kMaxEntries) {
            ++bad;
            continue;
        }
        const auto tail = line.substr(line.size() - 33);  // top, tab, bits
        const auto id = line.substr(2, line.size() - 2 - 34);
        Window w;
        if (line[line.size() - 34] != '\t' || tail[16] != '\t' || !parseHex64(tail.substr(0, 16), w.top) ||
            !parseHex64(tail.substr(17), w.bits) || id.empty() || id.find('\t') != std::string_view::npos) {
            ++bad;
            continue;
        }
        if (line[0] == 's') {
            const auto key = crypto::FromBase64(id);
            if (!key || key->size() != crypto::kSignPublicBytes) {
                ++bad;
                continue;
            }
            store.signing[*key] = w;
        } else {
            store.privateSenders[std::string(id)] = w;
        }
    }
    if (skipped) *skipped = bad;
    return store;
}

bool SeenStore::load(const std::filesystem::path& file, std::string& problem) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        *this = {};
        return true;
    }
    const auto text = readSmallFile(file, kMaxSeenFileBytes, problem);
    if (!text) return false;
    std::size_t skipped = 0;
    *this = fromText(*text, &skipped);
    if (skipped) problem = std::to_string(skipped) + " lines skipped";
    return true;
}

bool SeenStore::save(const std::filesystem::path& file, std::string& problem) const {
    return writeReplacing(file, toText(), false, problem);
}

} // namespace lanyx
