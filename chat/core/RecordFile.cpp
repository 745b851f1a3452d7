#include "RecordFile.h"

#include "Cp1252.h"
#include "DurableFile.h"

#include <cstdio>
#include <fstream>
#include <system_error>

namespace lanyx {

bool RecordReader::atEnd() const {
    return pos_ >= text_.size();
}

std::string RecordReader::next() {
    auto isEol = [](char c) { return c == '\r' || c == '\n'; };
    auto skipSeparator = [&] {
        if (pos_ >= text_.size()) return;
        if (text_[pos_] == ',') {
            ++pos_;
        } else if (text_[pos_] == '\r') {
            ++pos_;
            if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        } else if (text_[pos_] == '\n') {
            ++pos_;
        }
    };
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    if (pos_ >= text_.size()) throw LanyxError(failure(Reason::InputPastEnd));

    std::string value;
    if (text_[pos_] == '"') {
        // A quote written doubled inside a text is one quote, when the text
        // closes on its own line; otherwise the text ends at the first quote
        // as it always did, so files with raw quotes read as before.
        {
            std::string escaped;
            std::size_t p = pos_ + 1;
            bool closed = false;
            while (p < text_.size() && !isEol(text_[p])) {
                if (text_[p] != '"') {
                    escaped += text_[p++];
                    continue;
                }
                if (p + 1 < text_.size() && text_[p + 1] == '"') {
                    escaped += '"';
                    p += 2;
                    continue;
                }
                closed = true;
                break;
            }
            if (closed && escaped.find('"') != std::string::npos) {
                pos_ = p + 1;
                while (pos_ < text_.size() && text_[pos_] != ',' && !isEol(text_[pos_])) ++pos_;
                skipSeparator();
                return escaped;
            }
        }
        const auto close = text_.find('"', pos_ + 1);
        if (close == std::string::npos) {
            value = text_.substr(pos_ + 1);
            pos_ = text_.size();
            return value;
        }
        value = text_.substr(pos_ + 1, close - pos_ - 1);
        pos_ = close + 1;
        // Anything between the closing quote and the separator is ignored.
        while (pos_ < text_.size() && text_[pos_] != ',' && !isEol(text_[pos_])) ++pos_;
        skipSeparator();
        return value;
    }
    const auto start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && !isEol(text_[pos_])) ++pos_;
    value = text_.substr(start, pos_ - start);
    skipSeparator();
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
    return value;
}

void RecordWriter::sep() {
    if (!lineStart_) out_ += ',';
    lineStart_ = false;
}

RecordWriter& RecordWriter::text(std::string_view v) {
    sep();
    out_ += '"';
    // A quote is doubled so that it reads back; a line break would end the
    // record, so it becomes a blank.
    for (char c : v) {
        if (c == '"') out_ += '"';
        out_ += (c == '\r' || c == '\n') ? ' ' : c;
    }
    out_ += '"';
    return *this;
}

RecordWriter& RecordWriter::number(std::int64_t v) {
    sep();
    out_ += std::to_string(v);
    return *this;
}

RecordWriter& RecordWriter::raw(std::string_view v) {
    sep();
    out_ += v;
    return *this;
}

RecordWriter& RecordWriter::end() {
    out_ += "\r\n";
    lineStart_ = true;
    return *this;
}

std::optional<std::string> readTextFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec) {
        // In one read where the size is known: a long file is read at the disk's pace.
        bytes.resize(static_cast<std::size_t>(size));
        in.read(bytes.data(), static_cast<std::streamsize>(size));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        if (in.eof()) in.clear();
    }
    bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return cp1252::toUtf8(bytes);
}

void writeTextFileAtomic(const std::filesystem::path& path, std::string_view utf8) {
    writeBytesAtomic(path, cp1252::fromUtf8(utf8));
}

void writeBytesAtomic(const std::filesystem::path& path, std::string_view bytes) {
    std::string problem;
    if (!platform::replaceFile(path, bytes, problem))
        throw LanyxError(err::PathAccess, "Path/File access error: " + path.string());
}

void appendTextFile(const std::filesystem::path& path, std::string_view utf8) {
    const std::string bytes = cp1252::fromUtf8(utf8);
    // Made by the platform layer, so that a new file (the log: who talked
    // to whom) is never readable by other accounts.
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return writeBytesAtomic(path, bytes);
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) throw LanyxError(err::PathAccess, "Path/File access error: " + path.string());
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) throw LanyxError(err::PathAccess, "Path/File access error: " + path.string());
}

}  // namespace lanyx
