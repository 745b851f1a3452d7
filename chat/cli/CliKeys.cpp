#include "CliKeys.h"

#include "Cp1252.h"
#include "Crypto.h"
#include "Identity.h"
#include "Platform.h"
#include "Settings.h"
#include "Text.h"

#include <chrono>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>

namespace lanyx::cli {

namespace {

std::string readAll(const std::filesystem::path& file, std::size_t limit) {
    std::ifstream in(file, std::ios::binary);
    std::string text(limit, '\0');
    in.read(text.data(), static_cast<std::streamsize>(limit));
    text.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return text;
}

std::string digitsOf(std::string_view text) {
    std::string d;
    for (char c : text)
        if (c >= '0' && c <= '9') d += c;
    return d;
}

std::string stateText(const std::string& name, const PinStore::Pin& pin) {
    if (pin.changed()) return "changed";
    if (!pin.checked && !pin.checkedAs.empty()) return "checked as " + pin.checkedAs + ", now " + name;
    return pin.checked ? "checked by you" : "new key, not checked";
}

std::int64_t nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

std::string OwnNameOf(const std::filesystem::path& dataDir, const std::optional<std::string>& nameForRun,
                      const std::string& logonName) {
    if (nameForRun) return *nameForRun;
    // The running copy made its numbers with the name it ran under, which
    // a name given for one run leaves out of User.ini.
    if (const auto ran = RunName::read(dataDir)) return *ran;
    try {
        const auto settings = ReadSettingsText(cp1252::toUtf8(readAll(dataDir / "User.ini", 1u << 20)));
        if (IsValidUserName(settings.user.UserName)) return settings.user.UserName;
    } catch (const std::exception&) {
        // No settings, or none that read: the name the program would start with.
    }
    return logonName;
}

int ListKeys(const std::filesystem::path& dataDir, const std::string& ownName, std::ostream& out, std::ostream& err) {
    std::string problem;
    const auto id = ReadIdentity(dataDir, problem);
    if (!id) {
        err << "lanyx-cli: no keys in " << dataDir.string() << ": " << problem << std::endl;
        return 1;
    }
    std::size_t skipped = 0;
    auto pins = PinStore::fromText(readAll(dataDir / PinStore::kFileName, PinStore::kMaxFileBytes), &skipped);
    pins.readMemory(readAll(dataDir / PinStore::kMemoryFileName, PinStore::kMaxFileBytes));
    if (skipped)
        err << "lanyx-cli: " << skipped << " lines of " << PinStore::kFileName << " could not be read" << std::endl;
    out << "you\t" << ownName << "\t" << crypto::Fingerprint(id->signPublic) << std::endl;
    for (const auto& [name, pin] : pins.all())
        out << name << "\t" << stateText(name, pin) << "\t"
            << crypto::SafetyNumber(ownName, id->signPublic, name, pin.changed() ? pin.newSign : pin.signPublic)
            << std::endl;
    return 0;
}

int VerifyKey(const std::filesystem::path& dataDir, const std::string& ownName, const VerifyRequest& request,
              std::istream& in, std::ostream& out, std::ostream& err) {
    const auto lock = platform::InstanceLock::acquire(dataDir);
    if (!lock) {
        err << "lanyx-cli: another copy of Lanyx runs on " << dataDir.string()
            << ": check the key there (the user's information), or end it first" << std::endl;
        return 4;
    }
    std::string problem;
    const auto id = ReadIdentity(dataDir, problem);
    if (!id) {
        err << "lanyx-cli: no keys in " << dataDir.string() << ": " << problem << std::endl;
        return 1;
    }
    auto loaded = LoadPins(dataDir / PinStore::kFileName);
    if (!loaded.notice.empty()) err << "lanyx-cli: " << loaded.notice << std::endl;
    auto& pins = loaded.pins;
    const auto* pin = pins.find(request.name);
    if (!pin) {
        err << "lanyx-cli: no key is known for " << request.name << std::endl;
        return kNotMarked;
    }
    const auto save = [&] {
        if (!loaded.writable || !pins.save(dataDir / PinStore::kFileName, problem)) {
            err << "lanyx-cli: " << PinStore::kFileName << " could not be written" << (problem.empty() ? "" : ": ")
                << problem << std::endl;
            return false;
        }
        return true;
    };
    if (request.keepKnown) {
        if (!pin->changed()) {
            err << "lanyx-cli: no other key was announced for " << request.name << std::endl;
            return kNotMarked;
        }
        pins.keepKnown(request.name);
        if (!save()) return 1;
        out << request.name << ": the known key kept, the one announced in its place dropped" << std::endl;
        return 0;
    }
    const auto number = crypto::SafetyNumber(ownName, id->signPublic, request.name,
                                             pin->changed() ? pin->newSign : pin->signPublic);
    out << "Safety number with " << request.name << (pin->changed() ? " (the new key)" : "") << ":\n  " << number
        << std::endl;
    if (!request.number.empty()) {
        if (digitsOf(request.number) != digitsOf(number)) {
            err << "lanyx-cli: the numbers differ: " << request.name << "'s key is not marked. Somebody else may be "
                << "using the name, or one of you reads another user's number." << std::endl;
            return kNotMarked;
        }
    } else if (request.interactive) {
        out << "Does " << request.name << "'s program show the same number? [y/N] " << std::flush;
        std::string answer;
        std::getline(in, answer);
        if (answer != "y" && answer != "Y" && answer != "yes") {
            out << request.name << "'s key is not marked" << std::endl;
            return kNotMarked;
        }
    } else {
        err << "lanyx-cli: give the number " << request.name << " reads to you: lanyx-cli verify " << request.name
            << " NUMBER" << std::endl;
        return 2;
    }
    if (!pins.markChecked(request.name, nowSeconds())) {
        err << "lanyx-cli: " << request.name << "'s key could not be marked: too many checked keys" << std::endl;
        return 1;
    }
    if (!save()) return 1;
    out << request.name << ": checked by you" << std::endl;
    return 0;
}

}  // namespace lanyx::cli
