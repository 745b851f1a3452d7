#include "OutputFile.h"

#include "DurableFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace lanyx::platform {

namespace {
std::string describe(const char* what, const fs::path& path) {
    return std::string(what) + " " + path.string() + ": " + std::strerror(errno);
}
// An existing regular file opened with `flags` (never through a link);
// its descriptor and length, or -1.
int openPlainFile(const fs::path& path, int flags, std::uint64_t& size, std::string& error) {
    int fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        error = describe("cannot open", path);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = "not a plain file: " + path.string();
        return -1;
    }
    size = static_cast<std::uint64_t>(st.st_size);
    return fd;
}
}  // namespace

OutputFile::~OutputFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

std::unique_ptr<OutputFile> OutputFile::createNew(const fs::path& path, std::string& error) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = describe("cannot create", path);
        return nullptr;
    }
    std::unique_ptr<OutputFile> file(new OutputFile);
    file->handle_ = fd;
    return file;
}

std::unique_ptr<OutputFile> OutputFile::openForAppend(const fs::path& path, std::uint64_t& size, std::string& error) {
    const int fd = openPlainFile(path, O_WRONLY | O_APPEND, size, error);
    if (fd < 0) return nullptr;
    std::unique_ptr<OutputFile> file(new OutputFile);
    file->handle_ = fd;
    return file;
}

bool OutputFile::write(const void* data, std::size_t size, std::string& error) {
    if (handle_ < 0) {
        error = "the file is closed";
        return false;
    }
    auto p = static_cast<const char*>(data);
    while (size > 0) {
        auto n = ::write(static_cast<int>(handle_), p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = std::string("cannot write: ") + std::strerror(errno);
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool OutputFile::flush(std::string& error) {
    // Writes are unbuffered; closing reports what a network file system
    // kept back. (No sync per file: thousands of small files would cost
    // a disk flush each.)
    const int fd = static_cast<int>(handle_);
    handle_ = -1;
    if (::close(fd) != 0) {
        error = std::string("cannot write: ") + std::strerror(errno);
        return false;
    }
    return true;
}

InputFile::~InputFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

std::unique_ptr<InputFile> InputFile::open(const fs::path& path, std::uint64_t& size, std::string& error) {
    // Not blocking: a pipe put in the file's place would wait for a writer.
    const int fd = openPlainFile(path, O_RDONLY | O_NONBLOCK, size, error);
    if (fd < 0) return nullptr;
    std::unique_ptr<InputFile> file(new InputFile);
    file->handle_ = fd;
    return file;
}

bool InputFile::read(void* data, std::size_t size, std::size_t& got, std::string& error) {
    got = 0;
    auto* p = static_cast<char*>(data);
    while (got < size) {
        auto n = ::read(static_cast<int>(handle_), p + got, size - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = std::string("cannot read: ") + std::strerror(errno);
            return false;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

bool renameNoReplace(const fs::path& from, const fs::path& to, std::string& error) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) {
        error = describe("cannot rename to", to);
        return false;
    }
#endif
    // File systems without the flag: a hard link fails when the name is
    // taken, then the old name goes.
    if (::link(from.c_str(), to.c_str()) != 0) {
        error = describe("cannot rename to", to);
        return false;
    }
    ::unlink(from.c_str());
    return true;
}

bool writeFlushed(const fs::path& path, std::string_view bytes, FileAccess access, const fs::path& permissionsFrom,
                  std::string& error) {
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC;
    const mode_t mode = 0600;
    int fd = ::open(path.c_str(), flags, mode);
    if (fd < 0 && errno == ELOOP) {
        // A link left at the temporary name is never written through.
        ::unlink(path.c_str());
        fd = ::open(path.c_str(), flags | O_EXCL, mode);
    }
    if (fd < 0) {
        error = describe("cannot write", path);
        return false;
    }
    auto fail = [&](const std::string& why) {
        error = "cannot write " + path.string() + ": " + why;
        ::close(fd);
        return false;
    };
    struct stat old {};
    if (access == FileAccess::OwnerOnly) {
        if (::fchmod(fd, 0600) != 0) return fail(std::strerror(errno));
    } else if (!permissionsFrom.empty() && ::stat(permissionsFrom.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        // The owner's choice (read-only, say) stays; what it gave others does not.
        ::fchmod(fd, old.st_mode & 0700);
    } else {
        ::fchmod(fd, 0600);  // a temporary file left from before keeps its mode through O_TRUNC
    }
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const auto n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(std::strerror(errno));
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (!detail::stepAllowed(FileStep::Written, path)) return fail(std::strerror(ENOSPC));
    while (::fsync(fd) != 0) {
        if (errno != EINTR) return fail(std::strerror(errno));
    }
    if (!detail::stepAllowed(FileStep::Flushed, path)) return fail(std::strerror(EIO));
    if (::close(fd) != 0) {
        error = describe("cannot write", path);
        return false;
    }
    return true;
}

bool renameFlushed(const fs::path& from, const fs::path& to, std::string& error) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        error = describe("cannot replace", to);
        return false;
    }
    if (!detail::stepAllowed(FileStep::Renamed, to)) {
        error = "cannot replace " + to.string() + ": " + std::strerror(EIO);
        return false;
    }
    // The rename is an entry in the folder: it lasts once the folder does.
    // (Some file systems cannot flush a folder; the rename stands there anyway.)
    const auto dir = to.has_parent_path() ? to.parent_path() : fs::path(".");
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        while (::fsync(dfd) != 0 && errno == EINTR) {
        }
        ::close(dfd);
    }
    detail::stepAllowed(FileStep::FolderFlushed, dir);
    return true;
}

bool makeNewFolder(const fs::path& path, std::string& error) {
    if (::mkdir(path.c_str(), 0755) != 0) {
        error = describe("cannot make folder", path);
        return false;
    }
    return true;
}

fs::path pathFromUtf8(const std::string& text) {
    return fs::path(text);
}

std::string pathToUtf8(const fs::path& path) {
    return path.string();
}

}  // namespace lanyx::platform
