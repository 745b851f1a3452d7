#pragma once
// Where the program's files live: the program's folder as long as it is
// writable (a portable copy), else the user's data folder; a --dir option
// overrides both. Lang.con and sounds come from the data folder when present
// there, else from the program's folder where the install put them.
#include <filesystem>
#include <optional>

namespace lanyx {

struct LanyxPaths {
    std::filesystem::path programDir;
    std::filesystem::path dataDir;
    std::filesystem::path langFile;
    // A shipped file (sound, language): the data folder's copy wins.
    std::filesystem::path shared(const std::filesystem::path& name) const;
};

LanyxPaths ResolvePaths(const std::optional<std::filesystem::path>& dirOption, const std::filesystem::path& programDir,
                        bool programDirWritable, const std::filesystem::path& userDataDir);

// The same for this process, asking the platform.
LanyxPaths ResolvePaths(const std::optional<std::filesystem::path>& dirOption);

}  // namespace lanyx
