#pragma once
// Files written from what a peer sends: created new (never over an existing
// file), never through a link, renamed into place without replacing
// anything.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace lanyx::platform {

class OutputFile {
public:
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // A new file; fails when anything (a file, a folder, a link) has the name.
    static std::unique_ptr<OutputFile> createNew(const std::filesystem::path& path, std::string& error);
    // An existing regular file (not a link), to append to; `size` is its
    // length.
    static std::unique_ptr<OutputFile> openForAppend(const std::filesystem::path& path, std::uint64_t& size,
                                                     std::string& error);

    bool write(const void* data, std::size_t size, std::string& error);
    // Closes the file, reporting a write the system kept back; nothing can
    // be written after it.
    bool flush(std::string& error);

private:
    OutputFile() = default;
    std::intptr_t handle_ = -1;
};

// A file read to be sent: only a regular file (never through a link, and
// never a pipe or device, whose opening or reading could wait for good);
// `size` is the size of the file opened, not of whatever has its name by
// the time it is read.
class InputFile {
public:
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    static std::unique_ptr<InputFile> open(const std::filesystem::path& path, std::uint64_t& size, std::string& error);
    // Up to `size` bytes, fewer only at the end of the file; false on a
    // read error.
    bool read(void* data, std::size_t size, std::size_t& got, std::string& error);

private:
    InputFile() = default;
    std::intptr_t handle_ = -1;
};

// Renames `from` to `to` only when nothing has the name `to`.
bool renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to, std::string& error);

// Makes one new folder; fails when the name is taken.
bool makeNewFolder(const std::filesystem::path& path, std::string& error);

// A path from UTF-8 text, on every system.
std::filesystem::path pathFromUtf8(const std::string& text);
std::string pathToUtf8(const std::filesystem::path& path);

}  // namespace lanyx::platform
