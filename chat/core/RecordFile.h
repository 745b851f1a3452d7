#pragma once
// The record syntax of every text file the program keeps: comma-separated
// values, texts in double quotes, numbers bare, records ending in CR LF,
// Windows-1252 on disk.
#include "Error.h"
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx {

// Reads a record file as one stream of values: commas and line ends alike
// separate values, quotes are stripped.
// The text must outlive the reader.
class RecordReader {
public:
    explicit RecordReader(std::string_view utf8Text) : text_(utf8Text) {}
    bool atEnd() const;
    // Next value; throws LanyxError(InputPastEnd) when the text is exhausted.
    std::string next();

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

class RecordWriter {
public:
    RecordWriter& text(std::string_view v);
    RecordWriter& number(std::int64_t v);
    RecordWriter& raw(std::string_view v);
    RecordWriter& end();
    const std::string& str() const { return out_; }

private:
    void sep();
    std::string out_;
    bool lineStart_ = true;
};

// Whole-file helpers. Contents are UTF-8 in memory, Windows-1252 on disk.
std::optional<std::string> readTextFile(const std::filesystem::path& path);
// Replaces the file through a temporary file flushed to the disk, so that
// neither a failure mid-write nor a power cut leaves a half-written file
// behind. Throws LanyxError.
void writeTextFileAtomic(const std::filesystem::path& path, std::string_view utf8);
// The same for bytes already in the file's code page.
void writeBytesAtomic(const std::filesystem::path& path, std::string_view bytes);
// Appends; throws LanyxError.
void appendTextFile(const std::filesystem::path& path, std::string_view utf8);

}  // namespace lanyx
