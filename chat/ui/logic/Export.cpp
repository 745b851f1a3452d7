#include "Export.h"

#include "Cp1252.h"
#include "Error.h"
#include "Text.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>

namespace lanyx::ui {

std::string Transcript::PlainText() const {
    std::string out;
    for (const auto& l : lines_) out += l.prefix + ":\t" + l.text + "\r\n";
    return out;
}

std::string RtfEscape(const std::string& utf8) {
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned char c : cp1252::fromUtf8(utf8)) {
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == '\r') {
            continue;
        } else if (c == '\n') {
            out += "\\line ";
        } else if (c >= 0x80) {
            out += "\\'";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

namespace {

// The RTF header with the font and a colour table of the lines' colours
// (index 0 is the default, each distinct colour once), and their indexes.
std::string rtfStart(const std::string& fontName, const std::vector<ChatLine>& lines,
                     std::map<std::uint32_t, int>& index) {
    std::string table = "{\\colortbl ;";
    for (const auto& l : lines) {
        if (index.count(l.colour)) continue;
        const int i = static_cast<int>(index.size()) + 1;
        index[l.colour] = i;
        table += "\\red" + std::to_string(l.colour & 0xFF) + "\\green" + std::to_string((l.colour >> 8) & 0xFF) +
                 "\\blue" + std::to_string((l.colour >> 16) & 0xFF) + ";";
    }
    table += "}";
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 " + RtfEscape(fontName) + ";}}\r\n" +
           table + "\r\n\\viewkind4\\uc1";
}

// One line: the hanging indent puts wrapped lines where the tab puts the first.
std::string rtfLine(std::int32_t indentTwips, int colour, int halfPoints, const std::string& prefix,
                    const std::string& text) {
    const std::string indent = std::to_string(indentTwips);
    return "\\pard\\fi-" + indent + "\\li" + indent + "\\tx" + indent + "\\cf" + std::to_string(colour) + "\\f0\\fs" +
           std::to_string(halfPoints) + " " + RtfEscape(prefix) + ":\\tab " + RtfEscape(text) + "\\par\r\n";
}

// A line or a note, in the order they came.
struct Entry {
    const ChatLine* line = nullptr;
    const ChatNote* note = nullptr;
    const std::string& date() const { return line ? line->date : note->date; }
    const std::string& time() const { return line ? line->time : note->time; }
};

std::vector<Entry> inOrder(const Transcript& t) {
    std::vector<Entry> out;
    const auto& lines = t.lines();
    const auto& notes = t.notes();
    std::size_t n = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (; n < notes.size() && notes[n].before <= i; ++n) out.push_back({nullptr, &notes[n]});
        out.push_back({&lines[i], nullptr});
    }
    for (; n < notes.size(); ++n) out.push_back({nullptr, &notes[n]});
    return out;
}

// The date, or the first and the last.
std::string datesOf(const std::vector<Entry>& entries, const std::string& today) {
    std::string first, last;
    for (const auto& e : entries) {
        if (e.date().empty()) continue;
        if (first.empty()) first = e.date();
        last = e.date();
    }
    if (first.empty()) return today;
    return first == last ? first : first + " \xE2\x80\x93 " + last;
}

std::string firstDate(const std::vector<Entry>& entries) {
    for (const auto& e : entries)
        if (!e.date().empty()) return e.date();
    return {};
}

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& n : names) out += (out.empty() ? "" : ", ") + n;
    return out;
}

std::string stamped(const Entry& e, const std::string& what) {
    return e.time().empty() ? what : e.time() + " " + what;
}

std::string senderOf(const ChatLine& l) {
    return l.sender.empty() ? l.prefix : l.sender;
}

}  // namespace

std::string Transcript::Rtf(const std::string& fontName, int halfPoints) const {
    std::map<std::uint32_t, int> index;
    std::string out = rtfStart(fontName, lines_, index);
    for (const auto& l : lines_) out += rtfLine(l.indentTwips, index[l.colour], halfPoints, l.prefix, l.text);
    out += "}";
    return out;
}

void Transcript::setNoteText(int id, const std::string& text) {
    for (auto& n : notes_)
        if (n.id == id && id >= 0) n.text = text;
}

std::vector<std::string> Participants(const std::vector<std::string>& members, const Transcript& transcript) {
    std::vector<std::string> out;
    const auto add = [&](const std::string& name) {
        if (name.empty()) return;
        for (const auto& n : out)
            if (equalsNoCase(n, name)) return;
        out.push_back(name);
    };
    for (const auto& m : members) add(m);
    for (const auto& l : transcript.lines()) add(l.sender);
    return out;
}

std::string ExportText(const Transcript& transcript, const ExportHeading& heading) {
    const auto entries = inOrder(transcript);
    std::string out = heading.participantsLabel + ": " + joined(heading.participants) + "\r\n" + heading.dateLabel +
                      ": " + datesOf(entries, heading.today) + "\r\n\r\n";
    std::string day = firstDate(entries);
    for (const auto& e : entries) {
        if (!e.date().empty() && e.date() != day) {
            day = e.date();
            out += "\r\n" + day + "\r\n";
        }
        out += e.line ? stamped(e, senderOf(*e.line)) + ":\t" + e.line->text : stamped(e, e.note->text);
        out += "\r\n";
    }
    return out;
}

std::string ExportRtf(const Transcript& transcript, const ExportHeading& heading, const std::string& fontName,
                      int halfPoints) {
    const auto entries = inOrder(transcript);
    const std::string size = "\\f0\\fs" + std::to_string(halfPoints) + " ";
    const auto labelled = [&](const std::string& label, const std::string& value) {
        return "\\pard\\cf0" + size + "\\b " + RtfEscape(label) + ":\\b0  " + RtfEscape(value) + "\\par\r\n";
    };
    std::map<std::uint32_t, int> index;
    std::string out = rtfStart(fontName, transcript.lines(), index);
    out += labelled(heading.participantsLabel, joined(heading.participants));
    out += labelled(heading.dateLabel, datesOf(entries, heading.today));
    out += "\\pard" + size + "\\par\r\n";
    std::string day = firstDate(entries);
    for (const auto& e : entries) {
        if (!e.date().empty() && e.date() != day) {
            day = e.date();
            out += "\\pard" + size + "\\par\r\n\\pard\\cf0" + size + "\\b " + RtfEscape(day) + "\\b0\\par\r\n";
        }
        if (e.line) {
            const auto indent = heading.indentTwips > 0 ? heading.indentTwips : e.line->indentTwips;
            out += rtfLine(indent, index[e.line->colour], halfPoints, stamped(e, senderOf(*e.line)), e.line->text);
        } else {
            out += "\\pard\\cf0" + size + "\\i " + RtfEscape(stamped(e, e.note->text)) + "\\i0\\par\r\n";
        }
    }
    out += "}";
    return out;
}

ExportKind ExportKindFor(const std::string& fileName) {
    if (fileName.size() < 3) return ExportKind::None;
    const auto tail = fileName.substr(fileName.size() - 3);
    if (tail == "txt") return ExportKind::Text;
    if (tail == "rtf") return ExportKind::Rtf;
    return ExportKind::None;
}

std::string ExportBody(ExportKind kind, const std::string& plainText, const std::string& rtf) {
    switch (kind) {
    case ExportKind::Text: return "\"" + plainText + "\"\r\n";
    case ExportKind::Rtf: return rtf + "\r\n";
    default: return {};
    }
}

namespace {
void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
    errno = 0;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw LanyxError(err::PathAccess, std::strerror(errno ? errno : EACCES));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw LanyxError(err::PathAccess, std::strerror(errno ? errno : EIO));
}
}  // namespace

void WriteExport(const std::filesystem::path& file, ExportKind kind, const std::string& plainText,
                 const std::string& rtf) {
    if (kind == ExportKind::None) return;
    // RTF is already plain ASCII; the text goes to disk in Windows-1252.
    writeBytes(file, kind == ExportKind::Rtf ? ExportBody(kind, plainText, rtf)
                                             : cp1252::fromUtf8(ExportBody(kind, plainText, rtf)));
}

void WriteTextRecords(const std::filesystem::path& file, const std::vector<std::string>& texts) {
    std::string body;
    for (const auto& t : texts) body += ExportBody(ExportKind::Text, t, {});
    writeBytes(file, cp1252::fromUtf8(body));
}

}  // namespace lanyx::ui
