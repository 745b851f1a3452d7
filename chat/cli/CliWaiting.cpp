#include "CliWaiting.h"

#include "CliHistory.h"
#include "CliKeys.h"
#include "History.h"
#include "Outbox.h"
#include "Platform.h"

#include <fstream>
#include <iostream>
#include <sstream>

namespace lanyx::cli {

namespace {

std::string readText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

int ListWaiting(const std::filesystem::path& dataDir, std::ostream& out, std::ostream& err) {
    std::error_code ec;
    const auto file = dataDir / Outbox::kFileName;
    if (!std::filesystem::exists(file, ec)) return 0;
    std::string problem;
    const auto id = ReadIdentity(dataDir, problem);
    if (!id) return 0;  // a copy without keys keeps nothing waiting
    std::size_t skipped = 0;
    const auto box = Outbox::fromText(dataDir, *id, readText(file), &skipped);
    if (!box) {
        err << "lanyx-cli: " << Outbox::kFileName << " cannot be read" << std::endl;
        return 1;
    }
    if (skipped)
        err << "lanyx-cli: " << skipped << " lines of " << Outbox::kFileName << " could not be read" << std::endl;
    for (const auto& m : box->all()) {
        // The name as a field: no tab or line break of a damaged file splits the line.
        std::string name = m.recipient;
        for (auto& c : name)
            if (static_cast<unsigned char>(c) < 0x20) c = ' ';
        out << m.id << '\t' << name << '\t' << HistoryKindName(m.kind) << '\t' << IsoTime(m.queuedMs) << '\t'
            << IsoTime(m.expiresMs) << std::endl;
    }
    return 0;
}

int CancelWaiting(const std::filesystem::path& dataDir, std::uint64_t messageId, std::ostream& out, std::ostream& err) {
    const auto lock = platform::InstanceLock::acquire(dataDir);
    if (!lock) {
        err << "lanyx-cli: another copy of Lanyx runs on " << dataDir.string()
            << ": take the message back there, or end it first" << std::endl;
        return 4;
    }
    std::string problem;
    const auto id = ReadIdentity(dataDir, problem);
    if (!id) {
        err << "lanyx-cli: no message waits in " << dataDir.string() << " (no keys: " << problem << ")" << std::endl;
        return kNotMarked;
    }
    Outbox box(dataDir, *id);
    problem.clear();
    box.load(problem);
    if (!problem.empty()) err << "lanyx-cli: " << problem << std::endl;
    std::string recipient;
    for (const auto& m : box.all())
        if (m.id == messageId) recipient = m.recipient;
    if (!box.cancel(messageId)) {
        err << "lanyx-cli: no message waits under the number " << messageId << std::endl;
        return kNotMarked;
    }
    if (!box.save(problem)) {
        err << "lanyx-cli: " << Outbox::kFileName << " could not be written: " << problem << std::endl;
        return 1;
    }
    history::History kept(dataDir);
    kept.delivery(messageId, recipient, HistoryDelivery::Cancelled);
    kept.flush();
    out << "taken back: the message to " << recipient << " will not be sent" << std::endl;
    return 0;
}

}  // namespace lanyx::cli
