#pragma once
// Files the program keeps (settings, keys, known keys, replay windows, the
// outbox) are replaced, never rewritten in place: the new contents go to a
// temporary name beside the file, reach the disk, and only then take the
// name; the folder is flushed after that so the rename lasts too. A crash or
// a power cut leaves either the old or the new contents, never an empty or
// half-written file.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace lanyx::platform {

// Every file of the data folder says who talks to whom: none is readable by
// other accounts (on Windows the file inherits the data folder's rights).
enum class FileAccess {
    Keep,       // a replaced file keeps its owner's permissions, others get none; a new one is the owner's alone
    OwnerOnly,  // readable and writable by the owner alone
};

// Writes `bytes` to `path` (created or emptied first; never through a link)
// and flushes it to the disk. `permissionsFrom`, when it names a file, gives
// the new file its permissions.
bool writeFlushed(const std::filesystem::path& path, std::string_view bytes, FileAccess access,
                  const std::filesystem::path& permissionsFrom, std::string& error);

// Renames `from` over `to` and flushes the folder, so that the new name
// survives a power cut.
bool renameFlushed(const std::filesystem::path& from, const std::filesystem::path& to, std::string& error);

// The whole replacement through `path` + `tempSuffix`. On failure the
// temporary file is gone and `path` is as it was.
bool replaceFile(const std::filesystem::path& path, std::string_view bytes, std::string& error,
                 FileAccess access = FileAccess::Keep, std::string_view tempSuffix = ".tmp");

// Whether the file exists and nobody may write it (the user made it
// read-only). Such a file is never replaced.
bool isReadOnlyFile(const std::filesystem::path& path);

// For tests: every step of writeFlushed and renameFlushed is reported here
// with the path it concerns, after it was done. Returning false makes the
// step fail as a full disk or a vanished folder would. Empty: no reports.
enum class FileStep { Written, Flushed, Renamed, FolderFlushed };
using FileStepHook = std::function<bool(FileStep, const std::filesystem::path&)>;
void setFileStepHook(FileStepHook hook);

namespace detail {
// The hook's say on a step done: false when the step is to fail.
bool stepAllowed(FileStep step, const std::filesystem::path& path);
}  // namespace detail

}  // namespace lanyx::platform
