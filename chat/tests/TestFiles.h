#pragma once
// Scratch folders and whole-file helpers for tests.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace lanyx::test {

// A scratch folder removed with the fixture.
class TempDir {
public:
    // A new folder of a random name (mkdtemp is not on every system).
    TempDir() {
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100; ++attempt) {
            char name[32];
            std::snprintf(name, sizeof name, "lanyx-test-%08x", static_cast<unsigned>(random()));
            std::error_code ec;
            if (std::filesystem::create_directory(base / name, ec)) {
                path_ = base / name;
                return;
            }
        }
        std::abort();
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline std::filesystem::path shippedLangFile() {
    return std::filesystem::path(LANYX_SOURCE_DIR) / "resources" / "chat" / "Lang.con";
}

inline std::string readBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace lanyx::test
