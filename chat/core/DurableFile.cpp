#include "DurableFile.h"

#include <system_error>

namespace fs = std::filesystem;

namespace lanyx::platform {

namespace {
FileStepHook& stepHook() {
    static FileStepHook hook;
    return hook;
}
}  // namespace

void setFileStepHook(FileStepHook hook) {
    stepHook() = std::move(hook);
}

bool detail::stepAllowed(FileStep step, const fs::path& path) {
    const auto& hook = stepHook();
    return !hook || hook(step, path);
}

bool replaceFile(const fs::path& path, std::string_view bytes, std::string& error, FileAccess access,
                 std::string_view tempSuffix) {
    const auto temp = fs::path(path).concat(std::string(tempSuffix));
    std::error_code ec;
    if (!writeFlushed(temp, bytes, access, path, error)) {
        // Not a folder someone put there: that is theirs.
        if (!fs::is_directory(fs::symlink_status(temp, ec))) fs::remove(temp, ec);
        return false;
    }
    if (!renameFlushed(temp, path, error)) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

bool isReadOnlyFile(const fs::path& path) {
    std::error_code ec;
    const auto st = fs::status(path, ec);
    if (ec || !fs::is_regular_file(st)) return false;
    constexpr auto anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (st.permissions() & anyWrite) == fs::perms::none;
}

}  // namespace lanyx::platform
