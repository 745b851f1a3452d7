#pragma once
// Exported conversations: plain text as one quoted record, or RTF with the
// senders' colours and hanging indents, Windows-1252 on disk.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace lanyx::ui {

// One shown chat line: the prefix (time and sender), the text, the colour.
struct ChatLine {
    std::string prefix;
    std::string text;
    std::uint32_t colour = 0;  // 0x00BBGGRR
    std::int32_t indentTwips = 0;
};

class Transcript {
public:
    void add(ChatLine line) { lines_.push_back(std::move(line)); }
    void clear() { lines_.clear(); }
    const std::vector<ChatLine>& lines() const { return lines_; }
    // prefix ":" TAB text CR LF for every line.
    std::string PlainText() const;
    std::string Rtf(const std::string& fontName = "Arial", int halfPoints = 17) const;

private:
    std::vector<ChatLine> lines_;
};

// RTF text escaping: \ { } and everything beyond ASCII as \'hh (Windows-1252).
std::string RtfEscape(const std::string& utf8);

enum class ExportKind { None, Text, Rtf };
// By the name's last three characters, compared with case.
ExportKind ExportKindFor(const std::string& fileName);

// The file body: "\"" text "\"" CR LF, or the RTF followed by CR LF.
std::string ExportBody(ExportKind kind, const std::string& plainText, const std::string& rtf);

// Several texts as quoted records, one after the other (the alerts of one
// popup, in the order they came); throws LanyxError like WriteExport.
void WriteTextRecords(const std::filesystem::path& file, const std::vector<std::string>& texts);

// Writes; throws LanyxError with the system's reason.
void WriteExport(const std::filesystem::path& file, ExportKind kind, const std::string& plainText,
                 const std::string& rtf);

}  // namespace lanyx::ui
