#include "Paths.h"

#include "Platform.h"

namespace fs = std::filesystem;

namespace lanyx {

fs::path LanyxPaths::shared(const fs::path& name) const {
    std::error_code ec;
    const auto own = dataDir / name;
    if (fs::exists(own, ec)) return own;
    return programDir / name;
}

LanyxPaths ResolvePaths(const std::optional<fs::path>& dirOption, const fs::path& programDir, bool programDirWritable,
                        const fs::path& userDataDir) {
    LanyxPaths p;
    p.programDir = programDir;
    if (dirOption && !dirOption->empty()) {
        std::error_code ec;
        const auto abs = fs::absolute(*dirOption, ec);
        p.dataDir = ec ? *dirOption : abs;
    } else {
        p.dataDir = programDirWritable ? programDir : userDataDir;
    }
    p.langFile = p.shared("Lang.con");
    return p;
}

LanyxPaths ResolvePaths(const std::optional<fs::path>& dirOption) {
    const auto dir = platform::programDir();
    return ResolvePaths(dirOption, dir, platform::isDirWritable(dir), platform::userDataDir());
}

}  // namespace lanyx
