#include "Export.h"

#include "Cp1252.h"
#include "Error.h"

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

std::string Transcript::Rtf(const std::string& fontName, int halfPoints) const {
    // Colour table: index 0 is the default (auto); each distinct colour once.
    std::map<std::uint32_t, int> index;
    std::string table = "{\\colortbl ;";
    for (const auto& l : lines_) {
        if (index.count(l.colour)) continue;
        const int i = static_cast<int>(index.size()) + 1;
        index[l.colour] = i;
        table += "\\red" + std::to_string(l.colour & 0xFF) + "\\green" + std::to_string((l.colour >> 8) & 0xFF) +
                 "\\blue" + std::to_string((l.colour >> 16) & 0xFF) + ";";
    }
    table += "}";
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 " + RtfEscape(fontName) +
                      ";}}\r\n" + table + "\r\n\\viewkind4\\uc1";
    for (const auto& l : lines_) {
        const std::string indent = std::to_string(l.indentTwips);
        // The hanging indent puts wrapped lines where the tab puts the first.
        out += "\\pard\\fi-" + indent + "\\li" + indent + "\\tx" + indent + "\\cf" + std::to_string(index[l.colour]) +
               "\\f0\\fs" + std::to_string(halfPoints) + " " + RtfEscape(l.prefix) + ":\\tab " + RtfEscape(l.text) +
               "\\par\r\n";
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
