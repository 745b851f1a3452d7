#include "Settings.h"

#include "RecordFile.h"
#include "Text.h"

#include <algorithm>
#include <limits>

namespace fs = std::filesystem;

namespace lanyx {

namespace {

template <typename Int>
Int checkedRange(std::int64_t v) {
    if (v < std::numeric_limits<Int>::min() || v > std::numeric_limits<Int>::max())
        throw LanyxError(err::Overflow, "Overflow");
    return static_cast<Int>(v);
}

// A value read straight into a number: an empty value counts as 0.
template <typename Int>
Int readNumber(RecordReader& in) {
    const auto text = in.next();
    if (trimBlanks(text).empty()) return 0;
    const auto v = parseNumber(text);
    if (!v) throw LanyxError(err::TypeMismatch, "Type mismatch");
    return checkedRange<Int>(*v);
}

// A value read as text and converted: it must be a number.
template <typename Int>
Int convertNumber(const std::string& text) {
    const auto v = parseNumber(text);
    if (!v) throw LanyxError(err::TypeMismatch, "Type mismatch");
    return checkedRange<Int>(*v);
}

bool containsNoCase(const std::vector<std::string>& list, const std::string& name) {
    return std::any_of(list.begin(), list.end(), [&](const std::string& e) { return equalsNoCase(e, name); });
}

void readInto(RecordReader& in, SettingsData& data,
              const std::function<void(std::string&)>& loadLanguage) {
    auto& u = data.user;
    u.Language = in.next();
    if (loadLanguage) loadLanguage(u.Language);
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

    const auto blocked = readNumber<std::int32_t>(in);
    for (std::int32_t i = 0; i < blocked; ++i) {
        const std::string name(trimBlanks(in.next()));
        if (!name.empty() && !containsNoCase(data.blocked, name)) data.blocked.push_back(name);
    }

    auto countText = in.next();
    if (countText.empty()) countText = in.next();  // the empty record of a default file
    const auto groups = trimBlanks(countText).empty() ? 0 : convertNumber<std::int32_t>(countText);
    for (std::int32_t i = 0; i < groups; ++i) {
        const std::string group(trimBlanks(in.next()));
        if (!group.empty()) data.groups.push_back(group);
    }
}

} // namespace

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

void SaveSettings(const fs::path& file, const SettingsData& data, const std::string& userName) {
    const auto& u = data.user;
    RecordWriter w;
    w.text(u.Language).end();
    w.number(u.AlertHeight).end();
    w.number(data.main.left).number(data.main.top).number(data.main.width).number(data.main.height).end();
    w.text(userName).number(static_cast<std::int32_t>(u.Colour)).number(u.PopupPosition).text(u.AlertSound)
        .number(u.Autostart).end();
    w.number(u.Chat.left).number(u.Chat.top).number(u.Chat.width).number(u.Chat.height).end();
    w.number(static_cast<std::int64_t>(data.blocked.size())).end();
    for (const auto& b : data.blocked) w.text(trimBlanks(b)).end();
    w.number(static_cast<std::int64_t>(data.groups.size())).end();
    for (const auto& g : data.groups) w.text(trimBlanks(g)).end();
    writeTextFileAtomic(file, w.str());
}

void ReadSettingsText(std::string_view utf8, SettingsData& data,
                      const std::function<void(std::string&)>& loadLanguage) {
    RecordReader in(utf8);
    readInto(in, data, loadLanguage);
}

ReadOutcome ReadSettings(const fs::path& file, SettingsData& data, const std::string& logonName,
                         const std::function<void(std::string&)>& loadLanguage) {
    ReadOutcome outcome;
    std::error_code ec;
    try {
        if (!fs::exists(file, ec)) {
            WriteDefaultSettings(file, logonName, data.user.Chat);
            outcome.createdDefault = true;
        }
        const auto text = readTextFile(file);
        if (!text) throw LanyxError(err::FileNotFound, "File not found: " + file.string());
        ReadSettingsText(*text, data, loadLanguage);
        return outcome;
    } catch (const LanyxError& e) {
        outcome.errorNumber = e.number();
        outcome.errorText = e.what();
    } catch (const std::exception& e) {
        outcome.errorNumber = err::InvalidArgument;
        outcome.errorText = e.what();
    }
    // Keep what the user had before the default file goes over it.
    outcome.recovered = true;
    if (fs::exists(file, ec)) {
        outcome.backup = file;
        outcome.backup += ".bak";
        fs::copy_file(file, outcome.backup, fs::copy_options::overwrite_existing, ec);
        if (ec) outcome.backup.clear();
    }
    try {
        WriteDefaultSettings(file, logonName, data.user.Chat);
    } catch (const std::exception&) {
        // Start-up goes on with what was read; the next save tries again.
    }
    return outcome;
}

} // namespace lanyx
