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
    // Who wrote it and when ("2026-05-01", "07:30:05"), whether the window
    // shows the time or not: the export writes them. Empty where not known.
    std::string sender{};
    std::string date{};
    std::string time{};
};

// What the window wrote into the conversation itself: who joined, was
// added or removed, left or came back.
struct ChatNote {
    std::size_t before = 0;  // the lines shown before it
    std::string date{};
    std::string time{};
    std::string text{};
    int id = -1;  // the window's, to word it again in another language
};

class Transcript {
public:
    void add(ChatLine line) { lines_.push_back(std::move(line)); }
    void addNote(ChatNote note) { notes_.push_back(std::move(note)); }
    void setNoteText(int id, const std::string& text);
    // The author of line `index` gave it new words (empty: took it back).
    void setLineText(std::size_t index, std::string text) {
        if (index < lines_.size()) lines_[index].text = std::move(text);
    }
    void clear() {
        lines_.clear();
        notes_.clear();
    }
    const std::vector<ChatLine>& lines() const { return lines_; }
    const std::vector<ChatNote>& notes() const { return notes_; }
    // prefix ":" TAB text CR LF for every line.
    std::string PlainText() const;
    std::string Rtf(const std::string& fontName = "Arial", int halfPoints = 17) const;

private:
    std::vector<ChatLine> lines_;
    std::vector<ChatNote> notes_;
};

// What an exported chat says before its lines, in the user's words.
struct ExportHeading {
    std::string participantsLabel{};  // "Participants"
    std::vector<std::string> participants{};
    std::string dateLabel{};  // "Date"
    std::string today{};      // the date when nothing in it has one
    // The hanging indent of every line in the RTF (0: each line's own).
    std::int32_t indentTwips = 0;
};

// Everybody who took part, once each (letter case ignored): the members
// in their order, then whoever else wrote a line.
std::vector<std::string> Participants(const std::vector<std::string>& members, const Transcript& transcript);

// The chat as it is exported: the heading (the participants, the date, or
// the first and the last when it ran over midnight), an empty line, then
// the lines and notes in the order they came, each after its time; a line
// with the new date where the date changes. Lines are sender ":" TAB text.
std::string ExportText(const Transcript& transcript, const ExportHeading& heading);
// The same in RTF: the labels in bold, the lines in their colours, the
// notes in italics.
std::string ExportRtf(const Transcript& transcript, const ExportHeading& heading, const std::string& fontName = "Arial",
                      int halfPoints = 17);

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
