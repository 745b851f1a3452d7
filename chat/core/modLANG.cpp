#include "modLANG.h"

#include "RecordFile.h"
#include "Text.h"

namespace lanyx {

namespace {

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto nl = text.find('\n', start);
        auto line = text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
    return lines;
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const auto comma = line.find(',', start);
        if (comma == std::string_view::npos) {
            fields.push_back(line.substr(start));
            break;
        }
        fields.push_back(line.substr(start, comma - start));
        start = comma + 1;
    }
    if (fields.size() > LanguageTable::kMaxFields) throw LanyxError(9, "Subscript out of range");
    return fields;
}

}  // namespace

void LanguageTable::setReporters(MessageFn message, LogFn log) {
    message_ = std::move(message);
    log_ = std::move(log);
}

void LanguageTable::load(const std::filesystem::path& file, std::string& language) {
    // 201 lines of 10 fields never come near this; a larger file is not read at all.
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    if (!ec && size > kMaxFileBytes) throw LanyxError(err::Overflow, "Language file too large: " + file.string());
    const auto text = readTextFile(file);
    if (!text) throw LanyxError(err::FileNotFound, "File not found: " + file.string());
    loadText(*text, language);
}

void LanguageTable::loadText(std::string_view utf8, std::string& language) {
    const auto lines = splitLines(utf8);
    std::vector<std::string> languages;
    if (!lines.empty()) {
        const auto header = splitFields(lines[0]);
        for (std::size_t i = 1; i < header.size() && !header[i].empty(); ++i) languages.emplace_back(header[i]);
    }

    auto columnOf = [&](std::string_view name) -> std::size_t {
        for (std::size_t i = 0; i < languages.size(); ++i)
            if (languages[i] == name) return i + 1;
        return 0;
    };
    std::size_t column = columnOf(language);
    if (column == 0) {
        language = "English";
        column = columnOf(language);
    }
    if (column == 0) {
        if (message_) message_("Error reading language files. No languages available", "", 0);
        if (log_) log_("Cannot find default language or English");
        throw LanyxError(err::FileNotFound, "Cannot find default language or English");
    }

    std::vector<std::int16_t> codes;
    std::vector<std::string> texts;
    // A trailing line end does not start another entry.
    std::size_t count = lines.size();
    if (count > 1 && lines.back().empty() && !utf8.empty() && utf8.back() == '\n') --count;
    for (std::size_t i = 1; i < count; ++i) {
        if (codes.size() == kMaxEntries) throw LanyxError(9, "Subscript out of range");
        const auto fields = splitFields(lines[i]);
        const auto code = parseNumber(fields[0]);
        if (!code) throw LanyxError(failure(Reason::NotANumber));
        if (*code < -32768 || *code > 32767) throw LanyxError(failure(Reason::NumberOutOfRange));
        codes.push_back(static_cast<std::int16_t>(*code));
        texts.emplace_back(column < fields.size() ? fields[column] : std::string_view{});
    }
    codes_ = std::move(codes);
    texts_ = std::move(texts);
    languages_ = std::move(languages);
    cursor_ = 0;
}

std::string LanguageTable::text(int code) {
    const std::size_t n = codes_.size();
    lastSteps_ = 0;
    if (cursor_ >= n) cursor_ = 0;
    for (std::size_t step = 0; step < n; ++step) {
        ++lastSteps_;
        if (codes_[cursor_] == code) return texts_[cursor_];
        cursor_ = (cursor_ + 1 == n) ? 0 : cursor_ + 1;
    }
    if (!errorFlag_) {
        errorFlag_ = true;
        if (message_)
            message_("Error reading language files. Cannot find code " + std::to_string(code), "Language Error", 64);
        if (log_) log_("Cannot find text code " + std::to_string(code));
    }
    return {};
}

std::string LanguageTable::builtIn(int code) {
    switch (code) {
    case 1201: return "user|users|online|";
    case 1208: return "Error receiving data:";
    case 8202: return "This user name is already in use on the network. Please choose another one.";
    case 8203: return "Available";
    case 8204: return "Alerts Only";
    case 8205: return "Do Not Disturb";
    case 8209: return "Lanyx could not start";
    case 10201: return "has joined the network";
    default: return {};
    }
}

}  // namespace lanyx
