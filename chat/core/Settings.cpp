#include "Settings.h"

#include "Cp1252.h"
#include "DurableFile.h"
#include "RecordFile.h"
#include "Text.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <optional>
#include <unordered_set>

namespace fs = std::filesystem;

namespace lanyx {

namespace {

template <typename Int> Int checkedRange(std::int64_t v) {
    if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max())
        throw LanyxError(failure(Reason::NumberOutOfRange));
    return static_cast<Int>(v);
}

// A value read straight into a number: an empty value counts as 0.
template <typename Int> Int readNumber(RecordReader& in) {
    const auto text = in.next();
    if (trimBlanks(text).empty()) return 0;
    const auto v = parseNumber(text);
    if (!v) throw LanyxError(failure(Reason::NotANumber));
    return checkedRange<Int>(*v);
}

// A value read as text and converted: it must be a number.
template <typename Int> Int convertNumber(const std::string& text) {
    const auto v = parseNumber(text);
    if (!v) throw LanyxError(failure(Reason::NotANumber));
    return checkedRange<Int>(*v);
}

// Reads into `data`, which the caller throws away when this throws.
void readInto(RecordReader& in, SettingsData& data, ReadNotes& notes) {
    auto& u = data.user;
    u.Language = in.next();
    u.AlertHeight = readNumber<std::int16_t>(in);

    // The main window's geometry. Stored as 32-bit: twips of a window on a
    // wide desktop pass 32767.
    Geometry g = data.main;
    g.left = readNumber<std::int32_t>(in);
    g.top = readNumber<std::int32_t>(in);
    g.width = readNumber<std::int32_t>(in);
    g.height = readNumber<std::int32_t>(in);
    data.main = g;

    u.UserName = in.next();
    if (!IsValidUserName(u.UserName)) notes.badName = true;
    u.Colour = static_cast<std::uint32_t>(convertNumber<std::int32_t>(in.next()));
    u.PopupPosition = convertNumber<std::int16_t>(in.next());
    u.AlertSound = in.next();
    u.Autostart = convertNumber<std::int16_t>(in.next());

    u.Chat.left = readNumber<std::int32_t>(in);
    u.Chat.top = readNumber<std::int32_t>(in);
    u.Chat.width = readNumber<std::int32_t>(in);
    u.Chat.height = readNumber<std::int32_t>(in);

    data.blocked.clear();
    data.groups.clear();

    // A hash of the names kept: a list of millions must still read in one
    // pass, and what is beyond the cap is only stepped over.
    std::unordered_set<std::string> seen;
    const auto blocked = readNumber<std::int32_t>(in);
    for (std::int32_t i = 0; i < blocked; ++i) {
        if (data.blocked.size() >= kMaxBlockedNames) {
            in.next();
            ++notes.blockedLeftOut;
            continue;
        }
        const auto name = ListEntryFromStored(trimBlanks(in.next()));
        if (name && name->empty()) continue;
        if (!name) {
            ++notes.droppedNames;
            continue;
        }
        if (seen.insert(toLower(*name)).second) data.blocked.push_back(*name);
    }

    auto countText = in.next();
    if (countText.empty()) countText = in.next();  // the empty record of a default file
    const auto groups = trimBlanks(countText).empty() ? 0 : convertNumber<std::int32_t>(countText);
    for (std::int32_t i = 0; i < groups; ++i) {
        if (data.groups.size() >= kMaxGroups) {
            in.next();
            ++notes.groupsLeftOut;
            continue;
        }
        const auto group = ListEntryFromStored(trimBlanks(in.next()));
        if (group && group->empty()) continue;
        if (!group) {
            ++notes.droppedNames;
            continue;
        }
        data.groups.push_back(*group);
    }
}

bool plainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string StoredListEntry(std::string_view utf8) {
    if (IsStorableText(utf8) && (plainAscii(utf8) || cp1252::toUtf8(cp1252::fromUtf8(utf8)) == utf8))
        return std::string(utf8);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c >= 0x7F || c == '"' || c == '%') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

std::optional<std::string> ListEntryFromStored(std::string_view stored) {
    if (stored.empty() || stored.front() != '"') {
        if (!IsStorableText(stored)) return std::nullopt;
        return std::string(stored);
    }
    std::string out;
    for (std::size_t i = 1; i < stored.size(); ++i) {
        if (stored[i] != '%') {
            out += stored[i];
            continue;
        }
        const int hi = i + 2 < stored.size() ? hexValue(stored[i + 1]) : -1;
        const int lo = hi >= 0 ? hexValue(stored[i + 2]) : -1;
        if (lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    // Stored trimmed: blanks at the ends come from outside.
    if (trimBlanks(out).size() != out.size()) return std::nullopt;
    return out;
}

void WriteDefaultSettings(const fs::path& file, const std::string& logonName, const Geometry& chat) {
    RecordWriter w;
    w.text("English").end();
    w.number(0).end();
    w.number(0).number(0).number(2505).number(4605).end();
    w.text(logonName).text("0").text("4").text("(B)").text("0").end();
    w.number(chat.left).number(chat.top).number(chat.width).number(chat.height).end();
    w.text("0").end();
    w.text("").end();
    w.text("0").end();
    w.text("").end();
    writeTextFileAtomic(file, w.str());
}

// What a save writes: every value the reader reads back unchanged. Blocked
// names and groups the file cannot hold as they are go escaped; those the
// reader would drop (empty, a second copy, beyond the cap) are left out.
std::string SettingsText(const SettingsData& data, const std::string& userName) {
    const auto& u = data.user;
    auto storable = [](const std::vector<std::string>& list, bool unique, std::size_t cap) {
        std::vector<std::string> out;
        std::unordered_set<std::string> seen;
        for (const auto& e : list) {
            if (out.size() >= cap) break;
            const auto t = trimBlanks(e);
            if (t.empty()) continue;
            if (unique && !seen.insert(toLower(t)).second) continue;
            out.push_back(StoredListEntry(t));
        }
        return out;
    };
    const auto blocked = storable(data.blocked, true, kMaxBlockedNames);
    const auto groups = storable(data.groups, false, kMaxGroups);
    RecordWriter w;
    w.text(u.Language).end();
    w.number(u.AlertHeight).end();
    w.number(data.main.left).number(data.main.top).number(data.main.width).number(data.main.height).end();
    w.text(userName)
        .number(static_cast<std::int32_t>(u.Colour))
        .number(u.PopupPosition)
        .text(u.AlertSound)
        .number(u.Autostart)
        .end();
    w.number(u.Chat.left).number(u.Chat.top).number(u.Chat.width).number(u.Chat.height).end();
    w.number(static_cast<std::int64_t>(blocked.size())).end();
    for (const auto& b : blocked) w.text(b).end();
    w.number(static_cast<std::int64_t>(groups.size())).end();
    for (const auto& g : groups) w.text(g).end();
    return w.str();
}

namespace {

fs::path backupPath(const fs::path& file, int n) {
    auto p = file;
    p += ".bak." + std::to_string(n);
    return p;
}

bool sameBytes(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::file_size(a, ec) != fs::file_size(b, ec) || ec) return false;
    const auto ta = readTextFile(a), tb = readTextFile(b);
    return ta && tb && *ta == *tb;
}

std::optional<std::string> readRaw(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

// Keeps the unreadable file as .bak.1, the older copies moving up to .bak.3.
// Returns where it is kept (empty: the file was empty, nothing to keep), or
// nothing when it could not be kept. The copy is made whole under a name of
// its own first and the backups move up only then, each by one rename: a
// full disk or a crash never puts a failed copy in the place of a good one.
std::optional<fs::path> keepBackup(const fs::path& file) {
    std::error_code ec;
    const auto newest = backupPath(file, 1);
    // The same broken file seen again: it is kept already.
    if (fs::exists(newest, ec) && sameBytes(file, newest)) return newest;
    const auto bytes = readRaw(file);
    if (!bytes) return std::nullopt;
    if (bytes->empty()) return fs::path();
    const auto temp = fs::path(file).concat(".bak.new");
    std::string problem;
    const bool whole = platform::writeFlushed(temp, *bytes, platform::FileAccess::Keep, file, problem) &&
                       readRaw(temp) == bytes;
    if (!whole) {
        if (!fs::is_directory(fs::symlink_status(temp, ec))) fs::remove(temp, ec);
        return std::nullopt;
    }
    for (int n = 2; n >= 1; --n) {
        if (!fs::exists(backupPath(file, n), ec)) continue;
        if (!platform::renameFlushed(backupPath(file, n), backupPath(file, n + 1), problem)) {
            fs::remove(temp, ec);
            return std::nullopt;
        }
    }
    if (!platform::renameFlushed(temp, newest, problem)) {
        fs::remove(temp, ec);
        return std::nullopt;
    }
    return newest;
}

std::string replacementName(const std::string& logonName) {
    if (IsValidUserName(logonName)) return logonName;
    std::string name;
    for (char c : logonName)
        if (name.size() < kMaxUserName && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            name += c;
    return name.empty() ? std::string("User") : name;
}

}  // namespace

void SaveSettings(const fs::path& file, const SettingsData& data, const std::string& userName) {
    // As it will be on disk: Windows-1252 has no room for some characters.
    const std::string text = cp1252::toUtf8(cp1252::fromUtf8(SettingsText(data, userName)));
    // Refuse to write what would not read back as the same settings.
    SettingsData back;
    ReadNotes notes;
    try {
        RecordReader in(text);
        readInto(in, back, notes);
    } catch (const LanyxError& e) {
        throw LanyxError(failure(Reason::SettingsWouldNotReadBack, {e.what()}));
    }
    if (SettingsText(back, back.user.UserName) != text) throw LanyxError(failure(Reason::SettingsNotAsWritten));
    if (platform::isReadOnlyFile(file)) throw LanyxError(failure(Reason::SettingsReadOnly, {file.string()}));
    writeTextFileAtomic(file, text);
    const auto onDisk = readTextFile(file);
    if (!onDisk || *onDisk != text) throw LanyxError(failure(Reason::SettingsChangedOnDisk, {file.string()}));
}

SettingsData ReadSettingsText(std::string_view utf8, ReadNotes* notes) {
    SettingsData data;
    ReadNotes local;
    RecordReader in(utf8);
    readInto(in, data, notes ? *notes : local);
    return data;
}

ReadOutcome ReadSettings(const fs::path& file, SettingsData& data, const std::string& logonName,
                         const std::function<void(std::string&)>& loadLanguage) {
    ReadOutcome outcome;
    std::error_code ec;
    SettingsData fresh;
    fresh.user.Chat = data.user.Chat;
    fresh.user.UserName = logonName;
    auto refuse = [&](Error error, const std::string& why) {
        outcome.refused = true;
        outcome.error = std::move(error);
        outcome.notice = "Your settings file " + file.string() + " could not be read (" + describe(outcome.error) +
                         "). " + why +
                         " It was left as it is and will not be written while Lanyx runs; "
                         "this time Lanyx starts with the default settings.";
        data = fresh;
    };

    const bool exists = fs::exists(file, ec);
    if (ec) {
        refuse(failure(Reason::SettingsFolderUnreadable, {ec.message()}), "Its folder could not be looked into.");
    } else {
        if (!exists) {
            try {
                WriteDefaultSettings(file, logonName, data.user.Chat);
                outcome.createdDefault = true;
            } catch (const LanyxError&) {
                // Read what we meant to write; the next save tries again.
            }
        }
        const auto size = fs::file_size(file, ec);
        std::optional<std::string> text;
        if (!ec && size > kMaxSettingsBytes) {
            refuse(failure(Reason::SettingsTooLarge), "It is larger than " + std::to_string(kMaxSettingsBytes >> 20) +
                                                          " MB, far more than settings ever need.");
        } else if (!(text = fs::exists(file, ec) ? readTextFile(file)
                                                 : cp1252::toUtf8(cp1252::fromUtf8(SettingsText(fresh, logonName))))) {
            refuse(failure(Reason::SettingsUnreadable), "It may not be readable for your user.");
        } else {
            outcome.readOnly = platform::isReadOnlyFile(file);
            ReadNotes notes;
            try {
                SettingsData read = ReadSettingsText(*text, &notes);
                if (notes.badName && read.user.UserName != logonName) {
                    outcome.replacedName = read.user.UserName;
                    read.user.UserName = replacementName(logonName);
                    outcome.notice = "The user name in your settings could not be used; Lanyx uses \"" +
                                     read.user.UserName + "\" instead. Change it in the Options.";
                }
                outcome.droppedNames = notes.droppedNames;
                outcome.blockedLeftOut = notes.blockedLeftOut;
                outcome.groupsLeftOut = notes.groupsLeftOut;
                if (notes.blockedLeftOut + notes.groupsLeftOut > 0) {
                    if (!outcome.notice.empty()) outcome.notice += "\n\n";
                    outcome.notice += "Your settings hold more blocked names or groups than Lanyx keeps (" +
                                      std::to_string(kMaxBlockedNames) + " blocked names, " +
                                      std::to_string(kMaxGroups) + " groups): the first ones are kept, " +
                                      std::to_string(notes.blockedLeftOut) + " blocked names and " +
                                      std::to_string(notes.groupsLeftOut) + " groups were left out.";
                }
                if (notes.droppedNames > 0) {
                    if (!outcome.notice.empty()) outcome.notice += "\n\n";
                    outcome.notice += std::to_string(notes.droppedNames) +
                                      " blocked names or groups in your settings could not be used and were left out.";
                }
                if (outcome.readOnly) {
                    if (!outcome.notice.empty()) outcome.notice += "\n\n";
                    outcome
                        .notice += "Your settings file " + file.string() +
                                   " is read-only. Lanyx leaves it so: changes made while it runs will not be saved.";
                }
                data = std::move(read);
            } catch (const LanyxError& e) {
                outcome.error = e.error();
                data = fresh;
                if (outcome.readOnly) {
                    // The user's read-only file is his: not replaced, not even by the defaults.
                    outcome.refused = true;
                    outcome.notice = "Your settings file " + file.string() + " could not be read (" +
                                     describe(outcome.error) +
                                     "). It is read-only, so it was left as it is and will not be written while "
                                     "Lanyx runs; this time Lanyx starts with the default settings.";
                } else if (const auto kept = keepBackup(file)) {
                    outcome.recovered = true;
                    outcome.backup = *kept;
                    const std::string where = kept->empty() ? std::string("The file was empty.")
                                                            : "The old file is kept as " + kept->string() + ".";
                    try {
                        WriteDefaultSettings(file, logonName, data.user.Chat);
                    } catch (const LanyxError&) {
                        // Start-up goes on with the defaults; the next save tries again.
                    }
                    outcome.notice = "Your settings could not be read (" + describe(outcome.error) +
                                     ") and were replaced by the default settings. " + where;
                } else {
                    outcome.refused = true;
                    outcome.notice = "Your settings could not be read (" + describe(outcome.error) +
                                     ") and no copy of them could be kept, so the file " + file.string() +
                                     " was left as it is and will not be written while Lanyx runs; this time "
                                     "Lanyx starts with the default settings.";
                }
            }
        }
    }

    // The language file is not the settings': a failure here leaves them alone.
    if (loadLanguage) {
        try {
            loadLanguage(data.user.Language);
        } catch (const LanyxError& e) {
            outcome.languageError = e.error();
            if (!outcome.notice.empty()) outcome.notice += "\n\n";
            outcome.notice += "The language file could not be read (" + describe(outcome.languageError) +
                              "); your settings were left as they are.";
        }
    }
    return outcome;
}

}  // namespace lanyx
