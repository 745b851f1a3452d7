#include "Identity.h"

#include "Crypto.h"
#include "DurableFile.h"
#include "Text.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <system_error>
#include <utility>

namespace lanyx {

namespace {

constexpr std::string_view kIdentityHeader = "Lanyx identity 1";
constexpr std::string_view kPinsHeader = "Lanyx known keys 1";
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

// Written beside and renamed over, so that a crash or a power cut leaves the
// old file or the new one, never half of one. `secret`: readable by the user
// alone from before the first byte is written.
bool writeReplacing(const std::filesystem::path& file, const std::string& text, bool secret, std::string& problem) {
    return platform::replaceFile(file, text, problem,
                                 secret ? platform::FileAccess::OwnerOnly : platform::FileAccess::Keep, ".new");
}

}  // namespace

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
                fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace, ec);
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

std::optional<Identity> ReadIdentity(const std::filesystem::path& dataDir, std::string& problem) {
    if (!crypto::available()) {
        problem = "this build has no cryptography";
        return std::nullopt;
    }
    const auto file = dataDir / Identity::kFileName;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        problem = "no key pair yet (made at the first start)";
        return std::nullopt;
    }
    auto text = readSmallFile(file, kMaxKeyFileBytes, problem);
    if (!text) return std::nullopt;
    auto id = Identity::fromText(*text);
    crypto::Wipe(*text);
    if (!id) problem = "it is not a key file";
    return id;
}

// ---- the name run under ------------------------------------------------------

namespace {
constexpr std::string_view kRunNameHeader = "Lanyx run name 1";
}  // namespace

std::string RunName::toText(const std::string& name) {
    return std::string(kRunNameHeader) + "\n" + name + "\n";
}

std::optional<std::string> RunName::fromText(std::string_view text) {
    const auto ls = lines(text);
    if (ls.size() < 2 || ls[0] != kRunNameHeader || !IsValidUserName(ls[1])) return std::nullopt;
    return std::string(ls[1]);
}

std::optional<std::string> RunName::read(const std::filesystem::path& dataDir) {
    std::string problem;
    const auto text = readSmallFile(dataDir / kFileName, 256, problem);
    return text ? fromText(*text) : std::nullopt;
}

bool RunName::save(const std::filesystem::path& dataDir, const std::string& name, std::string& problem) {
    return writeReplacing(dataDir / kFileName, toText(name), false, problem);
}

// ---- known keys ------------------------------------------------------------

namespace {

constexpr std::string_view kPinsHeaderV2 = "Lanyx known keys 2";
constexpr std::int64_t kTouchEverySeconds = 3600;
// That a key announced ephemeral keys rides in its line's time, this many
// seconds on: an earlier build reads the line as one of its own, a key
// heard far ahead (which only keeps it from being the first to make room),
// and writes it back as it read it.
constexpr std::int64_t kEphemeralMarkSeconds = 100'000'000'000;

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    for (std::size_t start = 0;;) {
        const auto tab = line.find('\t', start);
        out.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return out;
        start = tab + 1;
    }
}

std::optional<std::string> key32(std::string_view b64) {
    auto k = crypto::FromBase64(b64);
    if (!k || k->size() != crypto::kSignPublicBytes) return std::nullopt;
    return k;
}

std::optional<std::int64_t> seconds(std::string_view t) {
    if (t.empty() || t.size() > 12) return std::nullopt;
    std::int64_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

}  // namespace

const PinStore::Pin* PinStore::find(std::string_view name) const {
    const auto it = pins_.find(toLower(name));
    return it == pins_.end() ? nullptr : &it->second;
}

bool PinStore::insert(std::string key, Pin pin) {
    if (pin.checked ? checked_ >= kMaxChecked : automaticCount() >= kMaxAutomatic) return false;
    if (pin.checked) ++checked_;
    else tierOf(pin).emplace(pin.heard, key);
    forgetPlain(key);
    forgetFormer(key);
    pins_.emplace(std::move(key), std::move(pin));
    return true;
}

void PinStore::nowChecked(const std::string& key, Pin& pin) {
    pin.checkedAs.clear();
    if (pin.checked) return;
    tierOf(pin).erase({pin.heard, key});
    pin.checked = true;
    ++checked_;
}

bool PinStore::evictOne(std::int64_t now) {
    // Keys heard once make room first: a flood of new keys signs each once,
    // a colleague's copy in many runs and on many days.
    auto& tier = newByHeard_.empty() ? provenByHeard_ : newByHeard_;
    if (tier.empty()) return false;
    const auto oldest = tier.begin()->second;
    tier.erase(tier.begin());
    const auto it = pins_.find(oldest);
    Former f{KeyHash(it->second.signPublic), now, it->second.proven};
    pins_.erase(it);
    remember(oldest, std::move(f));
    return true;
}

void PinStore::remember(const std::string& key, Former former) {
    forgetFormer(key);
    if (former_.size() >= kMaxFormer) {
        // Those that were heard once are forgotten first, the oldest of them.
        auto& tier = formerOnce_.empty() ? formerProven_ : formerOnce_;
        former_.erase(tier.begin()->second);
        tier.erase(tier.begin());
    }
    (former.proven ? formerProven_ : formerOnce_).emplace(former.when, key);
    former_.emplace(key, std::move(former));
}

const PinStore::Former* PinStore::former(std::string_view name) const {
    const auto it = former_.find(toLower(name));
    return it == former_.end() ? nullptr : &it->second;
}

bool PinStore::forgetFormer(std::string_view name) {
    const auto it = former_.find(toLower(name));
    if (it == former_.end()) return false;
    (it->second.proven ? formerProven_ : formerOnce_).erase({it->second.when, it->first});
    former_.erase(it);
    return true;
}

std::string PinStore::KeyHash(const std::string& signPublic) {
    // Half a hash is plenty to tell one key from another that is not made
    // to match it, and 2^128 tries are more than anyone makes.
    return crypto::Hash("lanyx key " + signPublic).substr(0, 16);
}

bool PinStore::pinNew(std::string_view name, const std::string& sign, const std::string& box, bool opens,
                      std::int64_t now) {
    if (!IsValidUserName(name)) return false;
    auto key = toLower(name);
    if (pins_.count(key)) return false;
    Pin pin;
    pin.signPublic = sign;
    pin.boxPublic = box;
    pin.opensSealed = opens;
    pin.heard = now;
    pin.since = now;
    // The same key back after it made room: as it was.
    if (const auto* f = former(key); f && f->hash == KeyHash(sign)) pin.proven = f->proven;
    // Checked pins never make room.
    if (automaticCount() >= kMaxAutomatic && !evictOne(now)) return false;
    return insert(std::move(key), std::move(pin));
}

bool PinStore::pinChecked(std::string_view name, const std::string& sign, const std::string& box, bool opens,
                          std::int64_t now) {
    if (!IsValidUserName(name)) return false;
    auto key = toLower(name);
    if (const auto it = pins_.find(key); it != pins_.end()) {
        if (!it->second.checked && checked_ >= kMaxChecked) return false;
        nowChecked(key, it->second);
        it->second = Pin{sign, box, true, opens, now, {}, {}, true, false, {}, 0};
        return true;
    }
    Pin pin;
    pin.signPublic = sign;
    pin.boxPublic = box;
    pin.checked = true;
    pin.opensSealed = opens;
    pin.heard = now;
    return insert(std::move(key), std::move(pin));
}

bool PinStore::markChecked(std::string_view name, std::int64_t now) {
    const auto it = pins_.find(toLower(name));
    if (it == pins_.end()) return false;
    auto& pin = it->second;
    if (!pin.checked && checked_ >= kMaxChecked) return false;
    nowChecked(it->first, pin);
    if (pin.changed()) {
        pin.signPublic = std::exchange(pin.newSign, {});
        pin.boxPublic = std::exchange(pin.newBox, {});
        pin.opensSealed = pin.newOpensSealed;
        pin.heard = now;
        pin.announcesEphemeral = false;  // the new key's own announcements tell
    }
    return true;
}

bool PinStore::setPending(std::string_view name, const std::string& sign, const std::string& box, bool opens) {
    const auto it = pins_.find(toLower(name));
    if (it == pins_.end() || it->second.signPublic == sign) return false;
    auto& pin = it->second;
    if (pin.newSign == sign && pin.newBox == box && pin.newOpensSealed == opens) return false;
    pin.newSign = sign;
    pin.newBox = box;
    pin.newOpensSealed = opens;
    return true;
}

bool PinStore::keepKnown(std::string_view name) {
    const auto it = pins_.find(toLower(name));
    if (it == pins_.end() || !it->second.changed()) return false;
    it->second.newSign.clear();
    it->second.newBox.clear();
    return true;
}

bool PinStore::updateBox(std::string_view name, const std::string& box, bool opens) {
    const auto it = pins_.find(toLower(name));
    if (it == pins_.end() || (it->second.boxPublic == box && it->second.opensSealed == opens)) return false;
    it->second.boxPublic = box;
    it->second.opensSealed = opens;
    return true;
}

bool PinStore::noteEphemeral(std::string_view name) {
    const auto it = pins_.find(toLower(name));
    if (it == pins_.end() || it->second.announcesEphemeral) return false;
    it->second.announcesEphemeral = true;
    return true;
}

bool PinStore::touch(std::string_view name, std::int64_t now) {
    const auto it = pins_.find(toLower(name));
    if (it == pins_.end() || now - it->second.heard < kTouchEverySeconds) return false;
    if (!it->second.checked) {
        tierOf(it->second).erase({it->second.heard, it->first});
        tierOf(it->second).emplace(now, it->first);
    }
    it->second.heard = now;
    return true;
}

bool PinStore::heardSigning(std::string_view name, std::int64_t now) {
    const auto it = pins_.find(toLower(name));
    if (it == pins_.end() || it->second.checked || it->second.proven) return false;
    auto& pin = it->second;
    constexpr std::int64_t kDay = 24 * 3600;
    if (pin.since != 0 && pin.since / kDay == now / kDay) return false;
    newByHeard_.erase({pin.heard, it->first});
    pin.proven = true;
    provenByHeard_.emplace(pin.heard, it->first);
    return true;
}

bool PinStore::erase(std::string_view name) {
    forgetFormer(name);
    const auto it = pins_.find(toLower(name));
    if (it == pins_.end()) return false;
    if (it->second.checked) --checked_;
    else tierOf(it->second).erase({it->second.heard, it->first});
    pins_.erase(it);
    return true;
}

bool PinStore::rename(std::string_view from, std::string_view to) {
    if (!IsValidUserName(to)) return false;
    auto key = toLower(to);
    const auto it = pins_.find(toLower(from));
    if (it == pins_.end() || it->first == key || pins_.count(key)) return false;
    Pin pin = it->second;
    // The safety number the user compared covers the names: a check made
    // under one name is the user's to renew under another, unless the key
    // comes back to the name it was checked under.
    if (pin.checked) {
        // Still the key the user checked: kept ahead of keys heard once.
        pin.checked = false;
        pin.proven = true;
        pin.checkedAs = std::string(from);
        if (automaticCount() >= kMaxAutomatic && !evictOne(pin.heard)) return false;
    } else if (!pin.checkedAs.empty() && toLower(pin.checkedAs) == key && checked_ < kMaxChecked) {
        pin.checked = true;
        pin.checkedAs.clear();
    }
    erase(from);
    return insert(std::move(key), std::move(pin));
}

bool PinStore::isPlain(std::string_view name) const {
    return plain_.count(toLower(name)) > 0;
}

bool PinStore::notePlain(std::string_view name, std::int64_t now) {
    if (!IsValidUserName(name)) return false;
    auto key = toLower(name);
    if (pins_.count(key)) return false;
    forgetPlain(key);
    if (plain_.size() >= kMaxPlainNames) {
        // The name heard longest ago makes room, unless the user has it in a
        // list: a flood of made-up names never pushes out a colleague there.
        auto victim = plainByHeard_.begin();
        while (victim != plainByHeard_.end() && keep_ && keep_(victim->second)) ++victim;
        if (victim == plainByHeard_.end()) return false;
        plain_.erase(victim->second);
        plainByHeard_.erase(victim);
    }
    plainByHeard_.emplace(now, key);
    plain_.emplace(std::move(key), now);
    return true;
}

bool PinStore::touchPlain(std::string_view name, std::int64_t now) {
    const auto it = plain_.find(toLower(name));
    if (it == plain_.end() || now - it->second < kTouchEverySeconds) return false;
    plainByHeard_.erase({it->second, it->first});
    plainByHeard_.emplace(now, it->first);
    it->second = now;
    return true;
}

bool PinStore::forgetPlain(std::string_view name) {
    const auto it = plain_.find(toLower(name));
    if (it == plain_.end()) return false;
    plainByHeard_.erase({it->second, it->first});
    plain_.erase(it);
    return true;
}

std::string PinStore::toText() const {
    std::string text(kPinsHeaderV2);
    text += '\n';
    const auto opens = [](bool o) { return o ? "box" : "nobox"; };
    for (const auto& [name, pin] : pins_) {
        text += "key\t" + name + '\t' + crypto::ToBase64(pin.signPublic) + '\t' + crypto::ToBase64(pin.boxPublic) +
                '\t' + (pin.checked ? "checked" : "new") + '\t' + opens(pin.opensSealed) + '\t' +
                std::to_string(pin.heard + (pin.announcesEphemeral ? kEphemeralMarkSeconds : 0));
        if (pin.changed())
            text += '\t' + crypto::ToBase64(pin.newSign) + '\t' + crypto::ToBase64(pin.newBox) + '\t' +
                    opens(pin.newOpensSealed);
        text += '\n';
    }
    for (const auto& [name, heard] : plain_) text += "plain\t" + name + '\t' + std::to_string(heard) + '\n';
    return text;
}

PinStore PinStore::fromText(std::string_view text, std::size_t* skipped) {
    PinStore store;
    std::size_t bad = 0;
    const auto ls = lines(text);
    const bool v2 = !ls.empty() && ls[0] == kPinsHeaderV2;
    const auto opensWord = [](std::string_view w) -> std::optional<bool> {
        if (w == "box") return true;
        if (w == "nobox") return false;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < ls.size(); ++i) {
        const auto line = ls[i];
        if (line.empty() || (i == 0 && (line == kPinsHeader || line == kPinsHeaderV2))) continue;
        const auto f = fields(line);
        bool ok = false;
        if (!v2) {
            // An earlier build's line: name, signing key, agreement key. Its
            // copies all announced that they take sealed messages.
            if (f.size() == 3 && IsValidUserName(f[0])) {
                const auto sign = key32(f[1]);
                const auto box = key32(f[2]);
                Pin pin;
                if (sign && box) {
                    pin.signPublic = *sign;
                    pin.boxPublic = *box;
                    ok = !store.pins_.count(toLower(f[0])) && store.insert(toLower(f[0]), std::move(pin));
                }
            }
        } else if (f.size() == 3 && f[0] == "plain" && IsValidUserName(f[1])) {
            const auto heard = seconds(f[2]);
            const auto key = toLower(f[1]);
            if (heard && !store.pins_.count(key) && !store.plain_.count(key) && store.plain_.size() < kMaxPlainNames) {
                store.notePlain(key, *heard);
                ok = true;
            }
        } else if ((f.size() == 7 || f.size() == 10) && f[0] == "key" && IsValidUserName(f[1]) &&
                   (f[4] == "new" || f[4] == "checked")) {
            const auto sign = key32(f[2]);
            const auto box = key32(f[3]);
            const auto opens = opensWord(f[5]);
            const auto heard = seconds(f[6]);
            Pin pin;
            ok = sign && box && opens && heard;
            if (ok && f.size() == 10) {
                const auto newSign = key32(f[7]);
                const auto newBox = key32(f[8]);
                const auto newOpens = opensWord(f[9]);
                ok = newSign && newBox && newOpens && *newSign != *sign;
                if (ok) {
                    pin.newSign = *newSign;
                    pin.newBox = *newBox;
                    pin.newOpensSealed = *newOpens;
                }
            }
            const auto key = toLower(f[1]);
            if (ok) {
                pin.signPublic = *sign;
                pin.boxPublic = *box;
                pin.checked = f[4] == "checked";
                pin.opensSealed = *opens;
                pin.announcesEphemeral = *heard >= kEphemeralMarkSeconds;
                pin.heard = pin.announcesEphemeral ? *heard - kEphemeralMarkSeconds : *heard;
                ok = !store.pins_.count(key) && store.insert(key, std::move(pin));
            }
        }
        if (!ok) ++bad;
    }
    if (skipped) *skipped = bad;
    return store;
}

namespace {
constexpr std::string_view kMemoryHeader = "Lanyx key memory 1";
constexpr std::uintmax_t kMaxMemoryFileBytes = 4u << 20;
}  // namespace

std::string PinStore::memoryText() const {
    std::string text(kMemoryHeader);
    text += '\n';
    // pin, name, key hash, kept ahead or heard once, the name checked under.
    for (const auto& [name, pin] : pins_) {
        if (!pin.proven && pin.checkedAs.empty()) continue;
        text += "pin\t" + name + '\t' + crypto::ToBase64(KeyHash(pin.signPublic)) + '\t' +
                (pin.proven ? "kept" : "once");
        if (!pin.checkedAs.empty()) text += '\t' + pin.checkedAs;
        text += '\n';
    }
    // gone, name, key hash, when it made room, kept ahead or heard once.
    for (const auto& [name, f] : former_)
        text += "gone\t" + name + '\t' + crypto::ToBase64(f.hash) + '\t' + std::to_string(f.when) + '\t' +
                (f.proven ? "kept" : "once") + '\n';
    return text;
}

void PinStore::readMemory(std::string_view text, std::size_t* skipped) {
    std::size_t bad = 0;
    const auto ls = lines(text);
    const auto hash16 = [](std::string_view b64) {
        auto h = crypto::FromBase64(b64);
        return h && h->size() == 16 ? h : std::nullopt;
    };
    const auto keptWord = [](std::string_view w) -> std::optional<bool> {
        if (w == "kept") return true;
        if (w == "once") return false;
        return std::nullopt;
    };
    for (std::size_t i = 0; i < ls.size(); ++i) {
        const auto line = ls[i];
        if (line.empty() || (i == 0 && line == kMemoryHeader)) continue;
        const auto f = fields(line);
        if (i == 0 || f.size() < 4 || !IsValidUserName(f[1])) {
            ++bad;
            continue;
        }
        const auto key = toLower(f[1]);
        const auto hash = hash16(f[2]);
        if (f[0] == "pin" && (f.size() == 4 || f.size() == 5) && hash && keptWord(f[3]) &&
            (f.size() == 4 || IsValidUserName(f[4]))) {
            // Only about the pin as the known keys have it: an earlier build
            // may have changed it since.
            const auto it = pins_.find(key);
            if (it == pins_.end() || KeyHash(it->second.signPublic) != *hash) continue;
            auto& pin = it->second;
            if (*keptWord(f[3]) && !pin.checked && !pin.proven) {
                newByHeard_.erase({pin.heard, key});
                pin.proven = true;
                provenByHeard_.emplace(pin.heard, key);
            }
            if (f.size() == 5 && !pin.checked && toLower(f[4]) != key) pin.checkedAs = std::string(f[4]);
        } else if (f[0] == "gone" && f.size() == 5 && hash && keptWord(f[4]) && seconds(f[3])) {
            if (pins_.count(key) || former_.count(key) || plain_.count(key)) continue;
            if (former_.size() >= kMaxFormer) {
                ++bad;
                continue;
            }
            remember(key, Former{*hash, *seconds(f[3]), *keptWord(f[4])});
        } else {
            ++bad;
        }
    }
    if (skipped) *skipped = bad;
}

bool PinStore::save(const std::filesystem::path& file, std::string& problem) const {
    return writeReplacing(file, toText(), false, problem) &&
           writeReplacing(file.parent_path() / kMemoryFileName, memoryText(), false, problem);
}

LoadedPins LoadPins(const std::filesystem::path& file) {
    namespace fs = std::filesystem;
    LoadedPins out;
    std::error_code ec;
    if (!fs::exists(file, ec)) return out;
    std::string why;
    std::string text;
    const auto size = fs::file_size(file, ec);
    std::ifstream in(file, std::ios::binary);
    if (ec || !in) {
        why = "it cannot be opened" + (ec ? ": " + ec.message() : std::string());
    } else {
        text.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(size, PinStore::kMaxFileBytes)));
        in.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
        if (size > PinStore::kMaxFileBytes) {
            why = "it is " + std::to_string(size) + " bytes, more than a file of known keys holds";
            // The last line read may be cut short: it is left out.
            text.resize(text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1);
        }
    }
    std::size_t skipped = 0;
    out.pins = PinStore::fromText(text, &skipped);
    // The memory is worth less than the keys: what does not read is left
    // out and logged, and the next save writes it sound.
    const auto memory = file.parent_path() / PinStore::kMemoryFileName;
    if (fs::exists(memory, ec)) {
        std::string problem;
        std::size_t memorySkipped = 0;
        if (const auto m = readSmallFile(memory, kMaxMemoryFileBytes, problem)) {
            out.pins.readMemory(*m, &memorySkipped);
            if (memorySkipped) problem = std::to_string(memorySkipped) + " lines could not be read";
        }
        if (!problem.empty())
            out.memoryLine = "The memory of known keys (" + memory.filename().string() + ") was not read whole (" +
                             problem + "): keys may make room sooner, and checks before a rename be forgotten";
    }
    if (why.empty() && skipped == 0) return out;
    if (why.empty()) why = std::to_string(skipped) + (skipped == 1 ? " line" : " lines") + " could not be read";
    // Kept for the user to look at, under a name no start reads; at most a
    // few, the last one replaced after that.
    auto aside = fs::path(file).concat(".damaged");
    for (int n = 2; fs::exists(aside, ec) && n <= 9; ++n) aside = fs::path(file).concat(".damaged" + std::to_string(n));
    fs::remove(aside, ec);
    fs::rename(file, aside, ec);
    const auto kept = std::to_string(out.pins.size()) + (out.pins.size() == 1 ? " key" : " keys");
    if (ec) {
        out.writable = false;
        out.notice = "The file of known keys, " + file.filename().string() + ", could not be read whole (" + why +
                     "). Lanyx runs with the " + kept + " it could read; it could not keep the file aside (" +
                     ec.message() + "), so it leaves it as it is and keys learnt now are forgotten at the end.";
    } else {
        out.notice = "The file of known keys, " + file.filename().string() + ", could not be read whole (" + why +
                     "). Lanyx started with the " + kept + " it could read and kept the file as " +
                     aside.filename().string() +
                     ". Users whose keys were lost are taken as new when heard again: compare safety numbers "
                     "with those who matter.";
    }
    out.logLine = "The known keys could not be read whole (" + why + "); started with the " + kept +
                  (ec ? std::string(", the file left as it is") : ", the file kept as " + aside.filename().string());
    return out;
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
}  // namespace

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

}  // namespace lanyx
