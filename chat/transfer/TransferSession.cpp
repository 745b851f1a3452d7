#include "TransferSession.h"

#include "OfferChecks.h"
#include "OutputFile.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <utility>

namespace fs = std::filesystem;

namespace lanyx::transfer {

namespace {

std::uint32_t getU32(const char* p) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

// An error text from the peer, made safe to show: printable, short.
std::string peerText(std::string_view text) {
    std::string out;
    for (char c : text.substr(0, 200)) out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? ' ' : c;
    return out;
}

}  // namespace

std::string FrameCodec::encode(FrameType type, std::string_view payload) {
    std::string out;
    encodeTo(out, type, payload);
    return out;
}

void FrameCodec::encodeTo(std::string& out, FrameType type, std::string_view payload) {
    // The type goes last, so that the receiver takes the payload as it is.
    const auto at = beginFrame(out);
    out.append(payload);
    endFrame(out, at, type);
}

std::size_t FrameCodec::beginFrame(std::string& out) {
    const auto at = out.size();
    out.append(4, '\0');
    return at;
}

void FrameCodec::endFrame(std::string& out, std::size_t at, FrameType type) {
    out += static_cast<char>(type);
    if (cipher_) cipher_->sealTail(out, at + 4);
    const auto length = static_cast<std::uint32_t>(out.size() - at - 4);
    for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<char>(length >> (24 - 8 * i));
}

void FrameCodec::feed(std::string_view bytes) {
    std::memcpy(space(bytes.size()), bytes.data(), bytes.size());
    commit(bytes.size());
}

char* FrameCodec::space(std::size_t size) {
    // The buffer keeps its size; [consumed_, end_) is what waits. What was
    // read goes when the room is needed (a part of one frame is moved).
    if (consumed_ == end_) {
        consumed_ = end_ = 0;
    } else if (end_ + size > buffer_.size() && consumed_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + consumed_, end_ - consumed_);
        end_ -= consumed_;
        consumed_ = 0;
    }
    if (end_ + size > buffer_.size()) buffer_.resize(end_ + size);
    return buffer_.data() + end_;
}

void FrameCodec::commit(std::size_t size) {
    end_ += std::min(size, buffer_.size() - end_);
}

bool FrameCodec::next(FrameType& type, std::string& payload) {
    std::string_view view;
    if (!next(type, view)) return false;
    payload.assign(view);
    return true;
}

bool FrameCodec::next(FrameType& type, std::string_view& payload) {
    if (failed_) return false;
    if (end_ - consumed_ < 4) return false;
    const std::uint32_t length = getU32(buffer_.data() + consumed_);
    const std::size_t limit = kMaxFramePayload + 1 + (cipher_ ? cipher_->overhead() : 0);
    if (length == 0 || length > limit) {
        failed_ = true;
        return false;
    }
    if (end_ - consumed_ - 4 < length) return false;
    char* body = buffer_.data() + consumed_ + 4;
    consumed_ += 4 + length;
    std::size_t size = length;
    if (cipher_) {
        auto opened = cipher_->openInPlace(body, length);
        if (!opened || *opened == 0) {
            failed_ = true;
            return false;
        }
        size = *opened;
    }
    const auto t = static_cast<unsigned char>(body[size - 1]);
    if (t < 1 || t > 8) {
        failed_ = true;
        return false;
    }
    type = static_cast<FrameType>(t);
    payload = std::string_view(body, size - 1);
    return true;
}

Offer OfferFor(const LocalSelection& selection, std::uint16_t port) {
    Offer offer;
    offer.id = NewTransferId();
    offer.port = port;
    offer.files = selection.files;
    offer.bytes = selection.bytes;
    offer.names = selection.topNames;
    return offer;
}

LocalSelection GatherLocal(const std::vector<fs::path>& paths) {
    LocalSelection sel;
    std::set<std::string> tops;
    auto add = [&](const fs::path& source, const std::string& rel, bool folder, std::uint64_t size) {
        if (auto err = CheckRelativePath(rel); err != PathError::None) {
            sel.skipped.push_back(rel + ": " + PathErrorText(err));
            return false;
        }
        sel.entries.push_back({rel, folder, size});
        sel.sources.push_back(folder ? fs::path() : source);
        if (!folder) {
            ++sel.files;
            sel.bytes += size;
        }
        return true;
    };
    // Folders depth first, names sorted, each folder before what it holds.
    auto walk = [&](auto&& self, const fs::path& dir, const std::string& rel) -> void {
        std::vector<fs::directory_entry> children;
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) children.push_back(*it);
        if (ec) sel.skipped.push_back(rel + ": cannot read the folder");
        std::sort(children.begin(), children.end(),
                  [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
        for (const auto& child : children) {
            const auto name = rel + "/" + platform::pathToUtf8(child.path().filename());
            auto st = child.symlink_status(ec);
            if (ec) continue;
            if (st.type() == fs::file_type::directory) {
                if (add({}, name, true, 0)) self(self, child.path(), name);
            } else if (st.type() == fs::file_type::regular) {
                add(child.path(), name, false, child.file_size(ec));
            } else {
                sel.skipped.push_back(name + (st.type() == fs::file_type::symlink ? ": a link" : ": not a plain file"));
            }
        }
    };
    for (const auto& path : paths) {
        std::error_code ec;
        auto absolute = fs::absolute(path, ec);
        auto name = platform::pathToUtf8(absolute.lexically_normal().filename());
        if (name.empty()) name = platform::pathToUtf8(absolute.lexically_normal().parent_path().filename());
        std::string folded = name;
        for (auto& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (!tops.insert(folded).second) {
            sel.skipped.push_back(name + ": the same name twice");
            continue;
        }
        auto st = fs::symlink_status(path, ec);
        if (ec || st.type() == fs::file_type::not_found) {
            sel.skipped.push_back(name + ": not found");
        } else if (st.type() == fs::file_type::directory) {
            if (add({}, name, true, 0)) {
                sel.topNames.push_back(name);
                walk(walk, path, name);
            }
        } else if (st.type() == fs::file_type::regular) {
            if (add(path, name, false, fs::file_size(path, ec))) sel.topNames.push_back(name);
        } else {
            sel.skipped.push_back(name + (st.type() == fs::file_type::symlink ? ": a link" : ": not a plain file"));
        }
    }
    return sel;
}

// ---- sender ----

SenderSession::SenderSession(Offer offer, const LocalSelection& selection, DigestFactory digests, FrameCipher* cipher)
    : offer_(std::move(offer)), selection_(selection), digests_(std::move(digests)), codec_(cipher) {
    listText_ = FormatManifest(selection_.entries);
}

void SenderSession::fail(const std::string& text, bool tellPeer) {
    if (state_ != SessionState::Running) return;
    if (tellPeer) pending_ += codec_.encode(FrameType::Error, text);
    state_ = SessionState::Failed;
    error_ = text;
    fileOpen_ = false;
    in_.reset();
}

void SenderSession::received(std::string_view bytes) {
    codec_.feed(bytes);
    FrameType type;
    std::string_view payload;
    while (state_ == SessionState::Running && codec_.next(type, payload)) {
        if (type == FrameType::Error) {
            fail("the receiver says: " + peerText(payload), false);
        } else if (type == FrameType::Hello && !helloSeen_) {
            if (payload != offer_.id) return fail("unknown transfer", true);
            helloSeen_ = true;
        } else if (type == FrameType::Want && listSent_ && !streaming_ && !doneSent_) {
            auto space = payload.find(' ');
            std::uint64_t index = 0, offset = 0;
            if (space == std::string::npos || !ParseCount(payload.substr(0, space), index) ||
                !ParseCount(payload.substr(space + 1), offset) || index > selection_.entries.size() ||
                (index < selection_.entries.size() &&
                 (selection_.entries[index].folder || offset > selection_.entries[index].size)))
                return fail("a bad request", true);
            index_ = static_cast<std::size_t>(index);
            offset_ = offset;
            streaming_ = true;
            sent_ = offset;
            for (std::size_t i = 0; i < index_; ++i) sent_ += selection_.entries[i].size;
        } else if (type == FrameType::Done && doneSent_) {
            state_ = SessionState::Finished;
        } else {
            return fail("the receiver broke the protocol", true);
        }
    }
    if (codec_.failed()) fail("the connection was tampered with or broken", false);
}

bool SenderSession::produce(std::string& out) {
    if (!helloSeen_ || doneSent_) return false;
    if (!listSent_) {
        auto piece = std::string_view(listText_).substr(listAt_, kChunk);
        if (!piece.empty()) {
            out += codec_.encode(FrameType::List, piece);
            listAt_ += piece.size();
        } else {
            out += codec_.encode(FrameType::ListEnd, {});
            listSent_ = true;
        }
        return true;
    }
    if (!streaming_) return false;
    if (!fileOpen_) {
        while (index_ < selection_.entries.size() && selection_.entries[index_].folder) ++index_;
        if (index_ == selection_.entries.size()) {
            out += codec_.encode(FrameType::Done, {});
            doneSent_ = true;
            streaming_ = false;
            return true;
        }
        const auto& entry = selection_.entries[index_];
        std::uint64_t size = 0;
        std::string why;
        in_ = platform::InputFile::open(selection_.sources[index_], size, why);
        if (!in_ || size != entry.size) {
            fail(entry.path + (in_ ? " changed while it was being sent" : " cannot be read: " + why), true);
            return true;
        }
        digest_ = codec_.cipher() ? codec_.cipher()->fileCheck(index_) : nullptr;
        if (!digest_ && digests_) digest_ = digests_();
        // The check covers the whole file, also when the receiver resumes.
        std::vector<char> buf(offset_ > 0 ? kChunk : 0);
        for (std::uint64_t skip = offset_; skip > 0;) {
            std::size_t got = 0;
            const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(skip, buf.size()));
            if (!in_->read(buf.data(), n, got, why) || got != n) {
                fail(entry.path + " cannot be read" + (why.empty() ? std::string(" (it became shorter)") : ": " + why),
                     true);
                return true;
            }
            if (digest_) digest_->update(reinterpret_cast<unsigned char*>(buf.data()), got);
            skip -= got;
        }
        left_ = entry.size - offset_;
        fileOpen_ = true;
    }
    if (left_ > 0) {
        // Read straight into the frame and sealed where it lies.
        const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(left_, kChunk));
        const auto at = codec_.beginFrame(out);
        const auto from = out.size();
        out.resize(from + size);
        std::size_t got = 0;
        std::string why;
        if (!in_->read(out.data() + from, size, got, why) || got != size) {
            out.resize(at);
            fail(selection_.entries[index_].path +
                     (why.empty() ? " changed while it was being sent" : " cannot be read: " + why),
                 true);
            return true;
        }
        if (digest_) digest_->update(reinterpret_cast<const unsigned char*>(out.data() + from), size);
        codec_.endFrame(out, at, FrameType::Data);
        left_ -= size;
        sent_ += size;
        return true;
    }
    Digest::Value value{};
    if (digest_) value = digest_->final();
    out += codec_.encode(FrameType::FileEnd,
                         std::string_view(reinterpret_cast<const char*>(value.data()), value.size()));
    fileOpen_ = false;
    in_.reset();
    ++index_;
    offset_ = 0;
    return true;
}

std::string SenderSession::nextOutput(std::size_t room) {
    std::string out = std::move(pending_);
    pending_.clear();
    // Room for what comes, so that the frames are not moved as it grows.
    if (state_ == SessionState::Running && helloSeen_ && !doneSent_ && (!listSent_ || streaming_))
        out.reserve(std::max(room, kChunk) + kChunk + 4096);
    while (state_ == SessionState::Running && (out.empty() || out.size() + kChunk <= room) && produce(out)) {
    }
    return out;
}

// ---- receiver ----

ReceiverSession::ReceiverSession(Offer offer, fs::path folder, DigestFactory digests, std::optional<ResumeState> resume)
    : offer_(std::move(offer)), resume_(std::move(resume)), folder_(std::move(folder)), digests_(std::move(digests)) {
}

std::optional<ResumeState> ReceiverSession::resumeState() const {
    if (!writer_ || listDigest_.empty()) return std::nullopt;
    ResumeState state;
    state.tops = writer_->topNames();
    state.list = listDigest_;
    while (state.complete < entries_.size() &&
           (entries_[state.complete].folder || complete_[static_cast<std::size_t>(state.complete)]))
        ++state.complete;
    return state;
}

std::string ReceiverSession::listDigest() const {
    Digest::Value value{};
    if (digests_) {
        auto d = digests_();
        d->update(reinterpret_cast<const unsigned char*>(listText_.data()), listText_.size());
        value = d->final();
    } else {
        // Tests without digests: FNV-1a, four ways.
        for (std::size_t part = 0; part < 4; ++part) {
            std::uint64_t h = 1469598103934665603ull ^ part;
            for (char c : listText_) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
            for (std::size_t i = 0; i < 8; ++i) value[part * 8 + i] = static_cast<unsigned char>(h >> (8 * i));
        }
    }
    static const char* hex = "0123456789abcdef";
    std::string text;
    for (auto b : value) {
        text += hex[b >> 4];
        text += hex[b & 15];
    }
    return text;
}

std::string ReceiverSession::connect(FrameCipher* cipher) {
    codec_ = std::make_unique<FrameCodec>(cipher);
    listText_.clear();
    listDone_ = false;
    fileOpen_ = false;
    if (state_ != SessionState::Running) return {};
    error_.clear();
    return codec_->encode(FrameType::Hello, offer_.id);
}

void ReceiverSession::dropped() {
    if (writer_) writer_->suspend();
    fileOpen_ = false;
}

void ReceiverSession::cancel() {
    if (writer_) writer_->cancel();
    if (state_ == SessionState::Running) {
        if (codec_) out_ += codec_->encode(FrameType::Error, "cancelled");
        state_ = SessionState::Failed;
        error_ = "cancelled";
        reason_ = StopReason::Cancelled;
    }
}

void ReceiverSession::fail(const std::string& text, bool tellPeer, StopReason why) {
    if (state_ != SessionState::Running) return;
    reason_ = why;
    if (tellPeer && codec_) out_ += codec_->encode(FrameType::Error, text);
    // A transfer that cannot go on leaves no partial files; complete files
    // stay.
    if (writer_) writer_->cancel();
    state_ = SessionState::Failed;
    error_ = text;
}

void ReceiverSession::received(std::string_view bytes) {
    if (!codec_ || state_ != SessionState::Running) return;
    codec_->feed(bytes);
    framesArrived();
}

char* ReceiverSession::receiveSpace(std::size_t size) {
    if (!codec_ || state_ != SessionState::Running) {
        spare_.resize(size);
        return spare_.data();
    }
    return codec_->space(size);
}

void ReceiverSession::receivedInPlace(std::size_t size) {
    if (!codec_ || state_ != SessionState::Running) return;
    codec_->commit(size);
    framesArrived();
}

void ReceiverSession::framesArrived() {
    FrameType type;
    std::string_view payload;
    while (state_ == SessionState::Running && codec_->next(type, payload)) handle(type, payload);
    if (codec_->failed()) {
        // Keep the partial file: a retry over a sound connection resumes.
        dropped();
        error_ = "the connection was tampered with or broken";
    }
}

std::unique_ptr<Digest> ReceiverSession::fileCheck(std::size_t index) {
    return codec_ && codec_->cipher() ? codec_->cipher()->fileCheck(index) : nullptr;
}

void ReceiverSession::askFromFirstMissing() {
    std::size_t index = 0;
    while (index < entries_.size() && (entries_[index].folder || complete_[index])) ++index;
    std::uint64_t offset = 0;
    if (index < entries_.size()) {
        const auto opened = writer_->openFile(index, fileCheck(index));
        if (!opened) return failWriting(opened.error());
        offset = *opened;
        fileOpen_ = true;
    }
    current_ = index;
    out_ += codec_->encode(FrameType::Want, std::to_string(index) + " " + std::to_string(offset));
}

void ReceiverSession::handle(FrameType type, std::string_view payload) {
    switch (type) {
    case FrameType::Error:
        // Partial files stay: the sender may offer again, or the user retries.
        if (writer_) writer_->suspend();
        state_ = SessionState::Failed;
        error_ = "the sender says: " + peerText(payload);
        reason_ = StopReason::None;  // the sender knows why
        return;
    case FrameType::List:
        if (listDone_ || listText_.size() + payload.size() > kMaxListBytes)
            return fail("the transfer list is too long", true, StopReason::Refused);
        listText_ += payload;
        return;
    case FrameType::ListEnd: {
        if (listDone_) return fail("the sender broke the protocol", true);
        listDone_ = true;
        if (writer_) {
            // A retry: the list must be the one we started with.
            if (listText_ != firstList_) return fail("the sender changed the files", true, StopReason::Refused);
            return askFromFirstMissing();
        }
        auto list = ParseManifest(listText_, offer_);
        if (list.error != ManifestError::None) {
            static const char* why[] = {"",
                                        "a badly formed list",
                                        "a name that would leave the folder",
                                        "the same name twice",
                                        "a file outside its folder",
                                        "too many files",
                                        "sizes that differ from the offer"};
            return fail(std::string("refused: the sender's list has ") + why[static_cast<int>(list.error)] + " (line " +
                            std::to_string(list.line) + ")",
                        true, StopReason::Refused);
        }
        std::vector<std::string> tops;
        for (const auto& e : list.entries)
            if (e.path.find('/') == std::string::npos) tops.push_back(e.path);
        if (!TopNamesMatch(offer_, tops))
            return fail("refused: the sender's list holds names other than those offered (" +
                            peerText(tops.empty() ? std::string() : tops.front()) + ")",
                        true, StopReason::Refused);
        entries_ = std::move(list.entries);
        firstList_ = listText_;
        complete_.assign(entries_.size(), false);
        return beginFiles();
    }
    case FrameType::Data:
    case FrameType::FileEnd: {
        if (!writer_ || current_ >= entries_.size()) return fail("the sender broke the protocol", true);
        if (!fileOpen_) {
            const auto at = writer_->openFile(current_, fileCheck(current_));
            if (!at) return failWriting(at.error());
            if (*at != 0) return fail("a partial file was in the way", true);
            fileOpen_ = true;
        }
        if (type == FrameType::Data) {
            if (const auto written = writer_->write(reinterpret_cast<const unsigned char*>(payload.data()),
                                                    payload.size());
                !written)
                return failWriting(written.error());
            received_ += payload.size();
            return;
        }
        Digest::Value expected{};
        if (payload.size() != expected.size()) return fail("the sender broke the protocol", true);
        std::copy(payload.begin(), payload.end(), expected.begin());
        if (const auto finished = writer_->finishFile(expected); !finished) return failWriting(finished.error());
        complete_[current_] = true;
        fileOpen_ = false;
        ++current_;
        while (current_ < entries_.size() && entries_[current_].folder) ++current_;
        if (checkpoint_) checkpoint_();
        return;
    }
    case FrameType::Done:
        if (!writer_ || current_ != entries_.size() ||
            std::count(complete_.begin(), complete_.end(), true) !=
                std::count_if(entries_.begin(), entries_.end(), [](const Entry& e) { return !e.folder; }))
            return fail("the transfer ended before every file arrived", true);
        out_ += codec_->encode(FrameType::Done, {});
        state_ = SessionState::Finished;
        return;
    default: return fail("the sender broke the protocol", true);
    }
}

void ReceiverSession::beginFiles() {
    listDigest_ = listDigest();
    writer_ = std::make_unique<ReceiveWriter>(folder_, entries_, digests_);
    if (resume_) {
        // An earlier run began these files: the same list, into the names
        // it chose, from where it stopped.
        if (resume_->list != listDigest_) {
            writer_.reset();
            return fail("the sender changed the files since they were begun", true, StopReason::Refused);
        }
        if (const auto adopted = writer_->adopt(resume_->tops); !adopted) {
            const auto why = writer_->problem();
            writer_.reset();
            return fail(adopted.error().text, true, why);
        }
        std::size_t i = 0;
        for (; i < entries_.size() && i < resume_->complete; ++i) complete_[i] = !entries_[i].folder;
        for (; i < entries_.size() && (entries_[i].folder || writer_->finishedBefore(i)); ++i)
            complete_[i] = !entries_[i].folder;
        received_ = 0;
        for (std::size_t k = 0; k < i; ++k) received_ += entries_[k].folder ? 0 : entries_[k].size;
        if (i < entries_.size()) received_ += writer_->partialLength(i);
    } else if (const auto begun = writer_->begin(); !begun) {
        const auto why = writer_->problem();
        writer_.reset();
        return fail(begun.error().text, true, why);
    }
    if (checkpoint_) checkpoint_();
    // Folders without files are made too.
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].folder)
            if (const auto made = writer_->makeFolder(i); !made) return failWriting(made.error());
    askFromFirstMissing();
}

std::string ReceiverSession::takeOutput() {
    return std::exchange(out_, {});
}

const std::vector<fs::path>& ReceiverSession::finished() const {
    static const std::vector<fs::path> none;
    return writer_ ? writer_->finished() : none;
}

std::vector<fs::path> ReceiverSession::topLevel() const {
    std::vector<fs::path> tops;
    if (!writer_) return tops;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].path.find('/') == std::string::npos) tops.push_back(writer_->targetOf(i));
    return tops;
}

}  // namespace lanyx::transfer
