#pragma once
// Language texts: every user-visible text is looked up by its numeric code in
// the column of the chosen language of Lang.con.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx {

class LanguageTable {
public:
    static constexpr std::uintmax_t kMaxFileBytes = 1u << 20;
    static constexpr std::size_t kMaxEntries = 201;
    static constexpr std::size_t kMaxFields = 10;

    // Called once per run for the first missing code, and when no usable
    // language column exists.
    using MessageFn = std::function<void(const std::string& text, const std::string& title, int icon)>;
    using LogFn = std::function<void(const std::string& text)>;
    void setReporters(MessageFn message, LogFn log);

    // Loads the column named `language`; when the file has no such column,
    // `language` becomes "English". Throws LanyxError when the file cannot be
    // used; the previous table then stays as it was.
    void load(const std::filesystem::path& file, std::string& language);
    void loadText(std::string_view utf8, std::string& language);

    // The text for a code, or "" when the code is not in the table.
    std::string text(int code);
    // The few texts needed before any language file could be read (a
    // missing or broken Lang.con must still be reported in words).
    static std::string builtIn(int code);

    bool errorFlag() const { return errorFlag_; }
    std::size_t size() const { return codes_.size(); }
    const std::vector<std::string>& languages() const { return languages_; }
    // Entries examined by the last lookup (the search resumes where it ended).
    std::size_t lastLookupSteps() const { return lastSteps_; }

private:
    std::vector<std::int16_t> codes_;
    std::vector<std::string> texts_;
    std::vector<std::string> languages_;
    std::size_t cursor_ = 0;
    std::size_t lastSteps_ = 0;
    bool errorFlag_ = false;
    MessageFn message_;
    LogFn log_;
};

}  // namespace lanyx
