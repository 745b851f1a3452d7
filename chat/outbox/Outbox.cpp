#include "Outbox.h"

#include "Crypto.h"
#include "DurableFile.h"
#include "Text.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <limits>
#include <sstream>

namespace lanyx {

namespace {

constexpr std::string_view kHeader = "Lanyx waiting messages 1";
constexpr std::string_view kDeliveredHeader = "Lanyx delivered messages 1";
constexpr std::size_t kEntryBytes = 16;

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    for (;;) {
        const auto tab = line.find('\t');
        out.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return out;
        line.remove_prefix(tab + 1);
    }
}

// A whole number of 0 to 2^63 - 1; nothing for anything else.
std::optional<std::int64_t> number(std::string_view t) {
    if (t.empty() || t.size() > 19) return std::nullopt;
    std::uint64_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return std::nullopt;
    return static_cast<std::int64_t>(v);
}

bool writeReplacing(const std::filesystem::path& file, const std::string& text, std::string& problem) {
    // Sealed, but who waits for whom is the user's business alone.
    return platform::replaceFile(file, text, problem, platform::FileAccess::OwnerOnly, ".new");
}

}  // namespace

Outbox::Outbox(std::filesystem::path dataDir, const Identity& me) : dataDir_(std::move(dataDir)), me_(&me) {
}

std::string Outbox::associated(const WaitingMessage& m) {
    // Bound to its place: a sealed text moved to another line opens nowhere.
    return std::to_string(m.id) + "|" + toLower(m.recipient) + "|" + std::to_string(static_cast<int>(m.kind)) + "|" +
           m.boxPublic;
}

std::optional<std::string> Outbox::keyFor(const std::string& boxPublic) const {
    if (!crypto::available()) return std::nullopt;
    return crypto::SharedKey(me_->boxSecret, me_->boxPublic, boxPublic);
}

void Outbox::setExpiryMs(std::int64_t ms) {
    expiryMs_ = std::clamp<std::int64_t>(ms, 60'000, kMaxExpiryMs);
}

std::uintmax_t Outbox::lineBytes(const WaitingMessage& m) {
    const auto b64 = [](std::size_t n) { return std::uintmax_t{4} * ((n + 2) / 3); };
    // The numbers, the key and the tabs take under 120 bytes.
    return 120 + b64(m.recipient.size()) + b64(m.sealed.size()) + b64(m.chat.size());
}

std::uintmax_t Outbox::fileBytes() const {
    std::uintmax_t total = 64;
    for (const auto& m : waiting_) total += lineBytes(m);
    return total;
}

std::optional<std::uint64_t> Outbox::add(const std::string& recipient, HistoryKind kind, const std::string& text,
                                         const PinStore::Pin& pin, std::int64_t nowMs, std::string* why,
                                         const std::string& chat, Refused* refused) {
    auto fail = [&](Refused code, const std::string& reason) -> std::optional<std::uint64_t> {
        if (why) *why = reason;
        if (refused) *refused = code;
        return std::nullopt;
    };
    if (refused) *refused = Refused::None;
    if (kind != HistoryKind::PrivateAlert && kind != HistoryKind::PrivateChat)
        return fail(Refused::NotPrivate, "only private alerts and chat lines wait for their recipient");
    if (recipient.empty() || recipient.find_first_of("\t\r\n") != std::string::npos)
        return fail(Refused::NoRecipient, "no recipient");
    if (text.size() > kMaxTextBytes) return fail(Refused::TooLong, "the text is too long to keep");
    if (std::count_if(waiting_.begin(), waiting_.end(), [&](const WaitingMessage& w) {
            return equalsNoCase(w.recipient, recipient);
        }) >= static_cast<std::ptrdiff_t>(kMaxWaitingFor))
        return fail(Refused::FullFor, "too many messages are waiting for " + recipient + " already (" +
                                          std::to_string(kMaxWaitingFor) + ")");
    if (waiting_.size() >= kMaxWaiting) return fail(Refused::Full, "too many messages are waiting already");
    auto key = keyFor(pin.boxPublic);
    if (!key) return fail(Refused::NoKeys, "this copy has no keys, or the recipient's key cannot be used");
    WaitingMessage m;
    do {
        // 63 bits: the file keeps ids as numbers every reader takes.
        const auto r = crypto::RandomBytes(8);
        m.id = 0;
        for (unsigned char c : r) m.id = (m.id << 8) | c;
        m.id &= 0x7FFF'FFFF'FFFF'FFFFull;
    } while (m.id == 0 || std::any_of(waiting_.begin(), waiting_.end(), [&](const auto& w) { return w.id == m.id; }));
    m.recipient = recipient;
    m.kind = kind;
    m.queuedMs = nowMs;
    m.expiresMs = nowMs + expiryMs_;
    m.boxPublic = pin.boxPublic;
    m.chat = chat.find_first_of("\t\r\n") == std::string::npos ? chat : std::string();
    m.sealed = crypto::Seal(*key, text, associated(m));
    crypto::Wipe(*key);
    if (fileBytes() + lineBytes(m) > kMaxFileBytes)
        return fail(Refused::Full, "the messages waiting fill the room kept for them already");
    waiting_.push_back(std::move(m));
    return waiting_.back().id;
}

std::vector<Outbox::Due> Outbox::dueFor(std::string_view recipient, const PinStore::Pin& current,
                                        std::vector<WaitingMessage>* otherKey, std::size_t most,
                                        const std::function<bool(std::uint64_t)>& skip) const {
    std::vector<Due> out;
    for (const auto& m : waiting_) {
        if (!equalsNoCase(m.recipient, recipient)) continue;
        if (m.boxPublic != current.boxPublic) {
            if (otherKey) otherKey->push_back(m);
            continue;
        }
        if (out.size() >= most || (skip && skip(m.id))) continue;
        auto key = keyFor(m.boxPublic);
        if (!key) continue;
        auto text = crypto::Open(*key, m.sealed, associated(m));
        crypto::Wipe(*key);
        if (text) out.push_back({m, std::move(*text)});
    }
    return out;
}

std::size_t Outbox::rename(std::string_view from, const std::string& to) {
    std::size_t moved = 0;
    for (auto& m : waiting_) {
        if (!equalsNoCase(m.recipient, from)) continue;
        auto key = keyFor(m.boxPublic);
        if (!key) continue;
        auto text = crypto::Open(*key, m.sealed, associated(m));
        if (text) {
            m.recipient = to;
            m.sealed = crypto::Seal(*key, *text, associated(m));
            crypto::Wipe(*text);
            ++moved;
        }
        crypto::Wipe(*key);
    }
    return moved;
}

bool Outbox::remove(std::uint64_t id) {
    const auto before = waiting_.size();
    std::erase_if(waiting_, [&](const WaitingMessage& m) { return m.id == id; });
    return waiting_.size() != before;
}

std::vector<WaitingMessage> Outbox::expire(std::int64_t nowMs) {
    std::vector<WaitingMessage> gone;
    std::erase_if(waiting_, [&](const WaitingMessage& m) {
        if (m.expiresMs > nowMs) return false;
        gone.push_back(m);
        return true;
    });
    return gone;
}

std::vector<WaitingMessage> Outbox::waitingFor(std::string_view recipient) const {
    std::vector<WaitingMessage> out;
    for (const auto& m : waiting_)
        if (equalsNoCase(m.recipient, recipient)) out.push_back(m);
    return out;
}

std::string Outbox::toText() const {
    std::string out(kHeader);
    out += "\nexpiry\t" + std::to_string(expiryMs_) + "\n";
    for (const auto& m : waiting_) {
        out += "m\t" + std::to_string(m.id) + "\t" + crypto::ToBase64(m.recipient) + "\t" +
               std::to_string(static_cast<int>(m.kind)) + "\t" + std::to_string(m.queuedMs) + "\t" +
               std::to_string(m.expiresMs) + "\t" + crypto::ToBase64(m.boxPublic) + "\t" + crypto::ToBase64(m.sealed) +
               "\t" + crypto::ToBase64(m.chat) + "\n";
    }
    return out;
}

std::optional<Outbox> Outbox::fromText(std::filesystem::path dataDir, const Identity& me, std::string_view text,
                                       std::size_t* skipped) {
    const auto eol = text.find('\n');
    if (text.substr(0, eol) != kHeader) return std::nullopt;
    Outbox box(std::move(dataDir), me);
    std::size_t bad = 0;
    std::string_view rest = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const auto line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.empty()) continue;
        const auto f = fields(line);
        if (f[0] == "expiry" && f.size() == 2) {
            if (const auto v = number(f[1])) box.setExpiryMs(*v);
            else ++bad;
            continue;
        }
        if (f[0] != "m" || f.size() != 9 || box.waiting_.size() >= kMaxWaiting) {
            ++bad;
            continue;
        }
        WaitingMessage m;
        const auto id = number(f[1]);
        auto recipient = crypto::FromBase64(f[2]);
        const auto kind = number(f[3]);
        const auto queued = number(f[4]);
        const auto expires = number(f[5]);
        auto boxPublic = crypto::FromBase64(f[6]);
        auto sealed = crypto::FromBase64(f[7]);
        auto chat = crypto::FromBase64(f[8]);
        if (!id || !recipient || recipient->empty() || !kind ||
            (*kind != static_cast<int>(HistoryKind::PrivateAlert) &&
             *kind != static_cast<int>(HistoryKind::PrivateChat)) ||
            !queued || !expires || !boxPublic || boxPublic->size() != crypto::kBoxPublicBytes || !sealed || !chat) {
            ++bad;
            continue;
        }
        m.id = static_cast<std::uint64_t>(*id);
        m.recipient = std::move(*recipient);
        m.kind = static_cast<HistoryKind>(*kind);
        m.queuedMs = *queued;
        m.expiresMs = *expires;
        m.boxPublic = std::move(*boxPublic);
        m.sealed = std::move(*sealed);
        m.chat = std::move(*chat);
        box.waiting_.push_back(std::move(m));
    }
    if (skipped) *skipped = bad;
    return box;
}

bool Outbox::load(std::string& problem) {
    namespace fs = std::filesystem;
    const auto path = file();
    std::error_code ec;
    waiting_.clear();
    if (!fs::exists(path, ec)) return true;
    const auto size = fs::file_size(path, ec);
    std::string text;
    if (!ec && size <= kMaxFileBytes) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        text = s.str();
    }
    std::size_t skipped = 0;
    auto read = ec || size > kMaxFileBytes ? std::nullopt : fromText(dataDir_, *me_, text, &skipped);
    if (!read) {
        // Never deleted: kept for the user, the outbox starts empty.
        const auto stamp = std::to_string(std::time(nullptr));
        const auto aside = fs::path(path).concat(".unreadable-" + stamp);
        fs::rename(path, aside, ec);
        problem = "The messages waiting for their recipients could not be read; the file is kept as " +
                  aside.filename().string() + ".";
        return false;
    }
    *this = std::move(*read);
    if (skipped) problem = std::to_string(skipped) + " lines of " + std::string(kFileName) + " could not be read";
    return true;
}

bool Outbox::save(std::string& problem) const {
    return writeReplacing(file(), toText(), problem);
}

std::string DeliveredStore::entryOf(std::string_view signPublic, std::uint64_t id) {
    std::string data(signPublic);
    for (int shift = 56; shift >= 0; shift -= 8) data += static_cast<char>((id >> shift) & 0xFF);
    return crypto::Hash(data).substr(0, kEntryBytes);
}

void DeliveredStore::add(const std::string& entry) {
    if (entry.size() != kEntryBytes || !kept_.insert(entry).second) return;
    order_.push_back(entry);
    if (order_.size() <= kMaxKept) return;
    kept_.erase(order_.front());
    order_.pop_front();
}

std::string DeliveredStore::toText() const {
    std::string out(kDeliveredHeader);
    out += '\n';
    for (const auto& e : order_) out += crypto::ToBase64(e) + '\n';
    return out;
}

DeliveredStore DeliveredStore::fromText(std::string_view text, std::size_t* skipped) {
    DeliveredStore store;
    std::size_t bad = 0;
    const auto eol = text.find('\n');
    if (text.substr(0, eol) != kDeliveredHeader) {
        if (skipped) *skipped = text.empty() ? 0 : 1;
        return store;
    }
    std::string_view rest = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const auto line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (line.empty()) continue;
        const auto entry = line.size() < 64 ? crypto::FromBase64(line) : std::nullopt;
        if (!entry || entry->size() != kEntryBytes || store.has(*entry)) {
            ++bad;
            continue;
        }
        store.add(*entry);
    }
    if (skipped) *skipped = bad;
    return store;
}

bool DeliveredStore::load(const std::filesystem::path& file, std::string& problem) {
    *this = {};
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return true;
    const auto size = std::filesystem::file_size(file, ec);
    // Far more than kMaxKept lines take: not ours.
    if (ec || size > 64 * kMaxKept) {
        problem = std::string(kFileName) + " could not be read; it starts again empty";
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    std::size_t skipped = 0;
    *this = fromText(s.str(), &skipped);
    if (skipped) problem = std::to_string(skipped) + " lines of " + std::string(kFileName) + " could not be read";
    return true;
}

bool DeliveredStore::save(const std::filesystem::path& file, std::string& problem) const {
    return writeReplacing(file, toText(), problem);
}

}  // namespace lanyx
