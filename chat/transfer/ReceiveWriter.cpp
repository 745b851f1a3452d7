#include "ReceiveWriter.h"

#include "OutputFile.h"

#include <algorithm>
#include <fstream>

namespace fs = std::filesystem;

namespace lanyx::transfer {

namespace {

bool nameTaken(const fs::path& p) {
    std::error_code ec;
    return fs::symlink_status(p, ec).type() != fs::file_type::not_found && !ec;
}

bool isRealFolder(const fs::path& p) {
    std::error_code ec;
    return fs::symlink_status(p, ec).type() == fs::file_type::directory;
}

std::string firstComponent(const std::string& path) {
    return path.substr(0, path.find('/'));
}

}  // namespace

std::string NumberedName(const std::string& name, int number, bool folder) {
    const std::string suffix = " (" + std::to_string(number) + ")";
    auto dot = folder ? std::string::npos : name.rfind('.');
    if (dot == std::string::npos || dot == 0) return name + suffix;
    return name.substr(0, dot) + suffix + name.substr(dot);
}

std::string UniqueName(const fs::path& dir, const std::string& name, bool folder) {
    if (!nameTaken(dir / platform::pathFromUtf8(name)) && !nameTaken(PartialName(dir / platform::pathFromUtf8(name))))
        return name;
    for (int n = 1;; ++n) {
        auto candidate = NumberedName(name, n, folder);
        auto path = dir / platform::pathFromUtf8(candidate);
        if (!nameTaken(path) && !nameTaken(PartialName(path))) return candidate;
    }
}

fs::path PartialName(const fs::path& target) {
    return target.parent_path() / platform::pathFromUtf8("." + platform::pathToUtf8(target.filename()) + ".lanyx-part");
}

SpaceCheck CheckFreeSpace(const fs::path& folder, std::uint64_t bytes, std::uint64_t* available) {
    std::error_code ec;
    auto info = fs::space(folder, ec);
    if (ec) return SpaceCheck::Unknown;
    if (available) *available = info.available;
    // Leave a little room for the file system's own needs.
    const std::uint64_t margin = 16ull << 20;
    return info.available >= bytes && info.available - bytes >= margin ? SpaceCheck::Enough : SpaceCheck::NotEnough;
}

ReceiveWriter::ReceiveWriter(fs::path folder, std::vector<Entry> entries, DigestFactory digests)
    : folder_(std::move(folder)), entries_(std::move(entries)), digests_(std::move(digests)) {
}

ReceiveWriter::~ReceiveWriter() {
    closeOpen();
}

Result<void> ReceiveWriter::begin() {
    if (!isRealFolder(folder_))
        return stop(StopReason::CannotWrite, failure(Reason::FolderMissing, {platform::pathToUtf8(folder_)}));
    std::uint64_t total = 0;
    for (const auto& e : entries_) {
        if (const auto refused = CheckRelativePath(e.path); refused != PathError::None)
            return stop(StopReason::Refused, failure(Reason::OfferedPathRefused, {PathErrorText(refused)}));
        total += e.folder ? 0 : e.size;
    }
    std::uint64_t available = 0;
    if (CheckFreeSpace(folder_, total, &available) == SpaceCheck::NotEnough)
        return stop(StopReason::DiskFull,
                    failure(Reason::NotEnoughSpace,
                            {platform::pathToUtf8(folder_), std::to_string(total), std::to_string(available)}));
    tops_.clear();
    for (const auto& e : entries_) {
        auto top = firstComponent(e.path);
        if (std::any_of(tops_.begin(), tops_.end(), [&](const auto& t) { return t.first == top; })) continue;
        const bool folder = e.folder || e.path.find('/') != std::string::npos;
        auto chosen = UniqueName(folder_, top, folder);
        // Two offered names may number to the same choice ("a (1)" offered
        // beside a taken "a"): keep choices distinct.
        for (int n = 1; std::any_of(tops_.begin(), tops_.end(), [&](const auto& t) { return t.second == chosen; }); ++n)
            chosen = UniqueName(folder_, NumberedName(top, n, folder), folder);
        tops_.emplace_back(top, chosen);
    }
    begun_ = true;
    return {};
}

Result<void> ReceiveWriter::adopt(const TopNames& tops) {
    if (!isRealFolder(folder_))
        return stop(StopReason::CannotWrite, failure(Reason::FolderMissing, {platform::pathToUtf8(folder_)}));
    for (const auto& [offered, chosen] : tops)
        if (CheckRelativePath(chosen) != PathError::None || chosen.find('/') != std::string::npos)
            return stop(StopReason::CannotWrite, failure(Reason::KeptNamesDamaged));
    for (const auto& e : entries_) {
        const auto top = firstComponent(e.path);
        if (std::none_of(tops.begin(), tops.end(), [&](const auto& t) { return t.first == top; }))
            return stop(StopReason::Refused, failure(Reason::ListNamesChanged));
    }
    problem_ = StopReason::None;
    tops_ = tops;
    begun_ = true;
    // What the earlier run made is this transfer's: its part files to go on
    // with, and its folders to remove when cancelled and empty.
    std::error_code ec;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const auto target = targetOf(i);
        if (entries_[i].folder) {
            if (isRealFolder(target)) madeFolders_.push_back(target);
        } else if (fs::symlink_status(PartialName(target), ec).type() == fs::file_type::regular) {
            partials_.push_back(PartialName(target));
        }
    }
    return {};
}

bool ReceiveWriter::finishedBefore(std::size_t index) const {
    if (!begun_ || index >= entries_.size() || entries_[index].folder) return false;
    const auto target = targetOf(index);
    std::error_code ec;
    if (nameTaken(PartialName(target)) || fs::symlink_status(target, ec).type() != fs::file_type::regular) return false;
    return fs::file_size(target, ec) == entries_[index].size && !ec;
}

std::uint64_t ReceiveWriter::partialLength(std::size_t index) const {
    if (!begun_ || index >= entries_.size() || entries_[index].folder) return 0;
    std::error_code ec;
    const auto partial = PartialName(targetOf(index));
    if (fs::symlink_status(partial, ec).type() != fs::file_type::regular) return 0;
    const auto size = fs::file_size(partial, ec);
    return ec ? 0 : size;
}

void RemovePartials(const fs::path& folder, const TopNames& tops) {
    std::error_code ec;
    const auto isPartial = [](const fs::path& p) {
        const auto name = platform::pathToUtf8(p.filename());
        return name.size() > 12 && name.front() == '.' && name.compare(name.size() - 11, 11, ".lanyx-part") == 0;
    };
    for (const auto& [offered, chosen] : tops) {
        if (CheckRelativePath(chosen) != PathError::None || chosen.find('/') != std::string::npos) continue;
        const auto top = folder / platform::pathFromUtf8(chosen);
        if (fs::symlink_status(PartialName(top), ec).type() == fs::file_type::regular) fs::remove(PartialName(top), ec);
        if (!isRealFolder(top)) continue;
        std::vector<fs::path> folders{top}, parts;
        for (fs::recursive_directory_iterator it(top, ec), end; !ec && it != end; it.increment(ec)) {
            const auto type = it->symlink_status(ec).type();
            if (type == fs::file_type::directory) folders.push_back(it->path());
            else if (type == fs::file_type::regular && isPartial(it->path())) parts.push_back(it->path());
        }
        for (const auto& p : parts) fs::remove(p, ec);
        // Inner folders first.
        std::sort(folders.begin(), folders.end(),
                  [](const auto& a, const auto& b) { return a.native().size() > b.native().size(); });
        for (const auto& f : folders)
            if (fs::is_empty(f, ec) && !ec) fs::remove(f, ec);
    }
}

Error ReceiveWriter::stop(StopReason reason, Error error) {
    problem_ = reason;
    return error;
}

Error ReceiveWriter::writeFailed(const std::string& why) {
    return stop(CheckFreeSpace(folder_, 0) == SpaceCheck::NotEnough ? StopReason::DiskFull : StopReason::CannotWrite,
                failure(Reason::SystemRefused, {why}));
}

fs::path ReceiveWriter::targetOf(std::size_t index) const {
    const auto& path = entries_.at(index).path;
    auto top = firstComponent(path);
    auto it = std::find_if(tops_.begin(), tops_.end(), [&](const auto& t) { return t.first == top; });
    std::string mapped = (it == tops_.end() ? top : it->second) + path.substr(top.size());
    return folder_ / platform::pathFromUtf8(mapped);
}

Result<void> ReceiveWriter::ensureFolders(const fs::path& target) {
    // Every folder between the chosen folder and the file: made by us, or
    // already a real folder (never a link).
    // Files of one folder come one after another: its folders were just
    // looked at.
    if (!checkedFolder_.empty() && target.parent_path() == checkedFolder_) return {};
    auto relative = target.parent_path().lexically_relative(folder_);
    fs::path at = folder_;
    for (const auto& part : relative) {
        if (part == ".") continue;
        at /= part;
        if (isRealFolder(at)) continue;
        std::string why;
        if (!platform::makeNewFolder(at, why)) return writeFailed(why);
        madeFolders_.push_back(at);
    }
    checkedFolder_ = target.parent_path();
    return {};
}

Result<void> ReceiveWriter::makeFolder(std::size_t index) {
    if (!begun_ || index >= entries_.size() || !entries_[index].folder) return failure(Reason::NoSuchFolder);
    return ensureFolders(targetOf(index) / "x");
}

Result<std::uint64_t> ReceiveWriter::openFile(std::size_t index, std::unique_ptr<Digest> check) {
    closeOpen();
    if (!begun_ || index >= entries_.size() || entries_[index].folder)
        return stop(StopReason::Failed, failure(Reason::NoSuchFile));
    auto target = targetOf(index);
    if (auto made = ensureFolders(target); !made) return made.error();
    auto partial = PartialName(target);
    digest_ = check ? std::move(check) : digests_ ? digests_() : nullptr;
    std::uint64_t resumeAt = 0;
    std::string why;
    const bool ours = std::find(partials_.begin(), partials_.end(), partial) != partials_.end();
    if (ours && nameTaken(partial)) {
        out_ = platform::OutputFile::openForAppend(partial, resumeAt, why);
        if (!out_) return writeFailed(why);
        if (resumeAt > entries_[index].size) {
            out_.reset();
            return stop(StopReason::Failed, failure(Reason::PartialTooLong));
        }
        // The check covers the whole file: read back what is there.
        if (digest_ && resumeAt > 0) {
            std::ifstream in(partial, std::ios::binary);
            std::vector<unsigned char> buf(1 << 16);
            std::uint64_t left = resumeAt;
            while (left > 0 && in) {
                auto n = static_cast<std::size_t>(std::min<std::uint64_t>(left, buf.size()));
                in.read(reinterpret_cast<char*>(buf.data()), static_cast<std::streamsize>(n));
                auto got = static_cast<std::size_t>(in.gcount());
                digest_->update(buf.data(), got);
                left -= got;
                if (got == 0) break;
            }
            if (left != 0) {
                out_.reset();
                return stop(StopReason::CannotWrite, failure(Reason::CannotReadBack, {platform::pathToUtf8(partial)}));
            }
        }
    } else {
        out_ = platform::OutputFile::createNew(partial, why);
        if (!out_) return writeFailed(why);
        partials_.push_back(partial);
    }
    current_ = index;
    currentLength_ = resumeAt;
    return resumeAt;
}

Result<void> ReceiveWriter::write(const unsigned char* data, std::size_t size) {
    if (!out_) return stop(StopReason::Failed, failure(Reason::NoFileOpen));
    if (size > entries_[current_].size - currentLength_)
        return stop(StopReason::Refused, failure(Reason::MoreThanSize));
    if (std::string why; !out_->write(data, size, why)) return writeFailed(why);
    if (digest_) digest_->update(data, size);
    currentLength_ += size;
    written_ += size;
    return {};
}

Result<void> ReceiveWriter::finishFile(const Digest::Value& expected) {
    if (!out_) return stop(StopReason::Failed, failure(Reason::NoFileOpen));
    const auto& entry = entries_[current_];
    if (currentLength_ != entry.size)
        return stop(StopReason::Failed,
                    failure(Reason::EndedEarly, {std::to_string(currentLength_), std::to_string(entry.size)}));
    if (digest_ && digest_->final() != expected) return stop(StopReason::Damaged, failure(Reason::ArrivedDamaged));
    std::string why;
    if (!out_->flush(why)) return writeFailed(why);
    out_.reset();
    auto target = targetOf(current_);
    auto partial = PartialName(target);
    // Someone may have made a file of that name meanwhile: number it then
    // (the rename never replaces, so it tells).
    auto finalPath = target;
    if (!platform::renameNoReplace(partial, finalPath, why)) {
        if (!nameTaken(finalPath)) return writeFailed(why);
        finalPath = target.parent_path() /
                    platform::pathFromUtf8(
                        UniqueName(target.parent_path(), platform::pathToUtf8(target.filename()), false));
        why.clear();
        if (!platform::renameNoReplace(partial, finalPath, why)) return writeFailed(why);
    }
    partials_.erase(std::remove(partials_.begin(), partials_.end(), partial), partials_.end());
    finished_.push_back(finalPath);
    current_ = static_cast<std::size_t>(-1);
    return {};
}

void ReceiveWriter::closeOpen() {
    out_.reset();
    digest_.reset();
    current_ = static_cast<std::size_t>(-1);
}

void ReceiveWriter::suspend() {
    closeOpen();
}

void ReceiveWriter::cancel() {
    closeOpen();
    std::error_code ec;
    for (const auto& p : partials_) fs::remove(p, ec);
    partials_.clear();
    // Newest first, so that inner folders go before their parents; a folder
    // that holds a finished file (or anything else) stays.
    for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it) {
        if (isRealFolder(*it) && fs::is_empty(*it, ec)) fs::remove(*it, ec);
    }
    madeFolders_.clear();
    checkedFolder_.clear();
}

}  // namespace lanyx::transfer
