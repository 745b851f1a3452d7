#include "OutputFile.h"

#include "DurableFile.h"

#include <windows.h>

namespace fs = std::filesystem;

namespace lanyx::platform {

namespace {
std::string describe(const char* what, const fs::path& path) {
    return std::string(what) + " " + pathToUtf8(path) + " (error " + std::to_string(GetLastError()) + ")";
}
}  // namespace

OutputFile::~OutputFile() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::unique_ptr<OutputFile> OutputFile::createNew(const fs::path& path, std::string& error) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = describe("cannot create", path);
        return nullptr;
    }
    std::unique_ptr<OutputFile> file(new OutputFile);
    file->handle_ = reinterpret_cast<std::intptr_t>(h);
    return file;
}

std::unique_ptr<OutputFile> OutputFile::openForAppend(const fs::path& path, std::uint64_t& size, std::string& error) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = describe("cannot open", path);
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    LARGE_INTEGER end{};
    if (!GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
        !SetFilePointerEx(h, LARGE_INTEGER{}, &end, FILE_END)) {
        CloseHandle(h);
        error = "not a plain file: " + pathToUtf8(path);
        return nullptr;
    }
    size = static_cast<std::uint64_t>(end.QuadPart);
    std::unique_ptr<OutputFile> file(new OutputFile);
    file->handle_ = reinterpret_cast<std::intptr_t>(h);
    return file;
}

bool OutputFile::write(const void* data, std::size_t size, std::string& error) {
    auto p = static_cast<const char*>(data);
    while (size > 0) {
        DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(reinterpret_cast<HANDLE>(handle_), p, chunk, &written, nullptr)) {
            error = "cannot write (error " + std::to_string(GetLastError()) + ")";
            return false;
        }
        p += written;
        size -= written;
    }
    return true;
}

bool OutputFile::flush(std::string& error) {
    HANDLE h = reinterpret_cast<HANDLE>(handle_);
    handle_ = -1;
    if (!CloseHandle(h)) {
        error = "cannot write (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

InputFile::~InputFile() {
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::unique_ptr<InputFile> InputFile::open(const fs::path& path, std::uint64_t& size, std::string& error) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = describe("cannot open", path);
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    LARGE_INTEGER length{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
        !GetFileSizeEx(h, &length)) {
        CloseHandle(h);
        error = "not a plain file: " + pathToUtf8(path);
        return nullptr;
    }
    size = static_cast<std::uint64_t>(length.QuadPart);
    std::unique_ptr<InputFile> file(new InputFile);
    file->handle_ = reinterpret_cast<std::intptr_t>(h);
    return file;
}

bool InputFile::read(void* data, std::size_t size, std::size_t& got, std::string& error) {
    got = 0;
    auto* p = static_cast<char*>(data);
    while (got < size) {
        DWORD chunk = size - got > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size - got);
        DWORD n = 0;
        if (!ReadFile(reinterpret_cast<HANDLE>(handle_), p + got, chunk, &n, nullptr)) {
            error = "cannot read (error " + std::to_string(GetLastError()) + ")";
            return false;
        }
        if (n == 0) break;
        got += n;
    }
    return true;
}

bool renameNoReplace(const fs::path& from, const fs::path& to, std::string& error) {
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
        error = describe("cannot rename to", to);
        return false;
    }
    return true;
}

bool writeFlushed(const fs::path& path, std::string_view bytes, FileAccess /*access*/,
                  const fs::path& /*permissionsFrom*/, std::string& error) {
    // The data folder is the user's own (%APPDATA%): the file inherits its
    // access rights.
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = describe("cannot write", path);
        return false;
    }
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    bool ok = true;
    while (ok && left > 0) {
        DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        ok = WriteFile(h, p, chunk, &written, nullptr) != 0;
        p += written;
        left -= written;
    }
    if (ok && !detail::stepAllowed(FileStep::Written, path)) {
        SetLastError(ERROR_DISK_FULL);
        ok = false;
    }
    if (ok) ok = FlushFileBuffers(h) != 0;
    if (ok && !detail::stepAllowed(FileStep::Flushed, path)) {
        SetLastError(ERROR_WRITE_FAULT);
        ok = false;
    }
    if (!ok) error = describe("cannot write", path);
    if (!CloseHandle(h) && ok) {
        error = describe("cannot write", path);
        ok = false;
    }
    return ok;
}

bool renameFlushed(const fs::path& from, const fs::path& to, std::string& error) {
    // Write-through: the call returns once the rename is on the disk.
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = describe("cannot replace", to);
        return false;
    }
    if (!detail::stepAllowed(FileStep::Renamed, to)) {
        error = "cannot replace " + pathToUtf8(to);
        return false;
    }
    detail::stepAllowed(FileStep::FolderFlushed, to.parent_path());
    return true;
}

bool makeNewFolder(const fs::path& path, std::string& error) {
    if (!CreateDirectoryW(path.c_str(), nullptr)) {
        error = describe("cannot make folder", path);
        return false;
    }
    return true;
}

fs::path pathFromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string pathToUtf8(const fs::path& path) {
    auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

}  // namespace lanyx::platform
