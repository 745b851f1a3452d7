#pragma once
// Watches the steps of every file replacement, to tell what had reached the
// disk when a power cut would have struck, or to fail a step as a full disk
// does.
#include "DurableFile.h"

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace lanyx::test {

class FileSteps {
public:
    using Step = platform::FileStep;
    // `fail` says which steps fail (none by default).
    explicit FileSteps(std::function<bool(Step, const std::filesystem::path&)> fail = {}) : fail_(std::move(fail)) {
        platform::setFileStepHook([this](Step s, const std::filesystem::path& p) {
            steps.emplace_back(s, p);
            return !(fail_ && fail_(s, p));
        });
    }
    ~FileSteps() { platform::setFileStepHook({}); }
    FileSteps(const FileSteps&) = delete;
    FileSteps& operator=(const FileSteps&) = delete;

    // The last replacement of `file`: new contents were written under a
    // temporary name beside it and flushed before the rename, and the folder
    // was flushed after it. Anything else is described.
    std::string replacedDurably(const std::filesystem::path& file) const {
        std::size_t renamed = steps.size();
        for (std::size_t i = steps.size(); i-- > 0;)
            if (steps[i].first == Step::Renamed && steps[i].second == file) {
                renamed = i;
                break;
            }
        if (renamed == steps.size()) return file.filename().string() + " was never renamed into place";
        bool flushed = false, written = false;
        for (std::size_t i = renamed; i-- > 0 && !written;) {
            const auto& [s, p] = steps[i];
            if (p.parent_path() != file.parent_path() || p == file) continue;
            if (s == Step::Flushed) flushed = true;
            if (s == Step::Written) written = true;
        }
        if (!written || !flushed) return file.filename().string() + " was renamed before its contents were flushed";
        for (std::size_t i = renamed + 1; i < steps.size(); ++i)
            if (steps[i].first == Step::FolderFlushed && steps[i].second == file.parent_path()) return {};
        return "the folder of " + file.filename().string() + " was not flushed after the rename";
    }

    std::vector<std::pair<Step, std::filesystem::path>> steps;

private:
    std::function<bool(Step, const std::filesystem::path&)> fail_;
};

}  // namespace lanyx::test
