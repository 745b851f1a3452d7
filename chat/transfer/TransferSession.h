#pragma once
// One transfer over one byte stream (a TCP connection), as two state
// machines that read and write bytes and never touch a socket: the socket
// layer feeds them what arrives and asks them for what to send while its
// send buffer has room, so memory stays bounded whatever the file sizes.
//
// Frames: length (4 bytes, big-endian), then payload and type (1 byte), the
// two sealed by the connection's cipher when one is set.
//   receiver -> sender  Hello   transfer id
//   sender -> receiver  List    the transfer list
//   receiver -> sender  Want    "index offset": stream from this file on
//   sender -> receiver  Data    bytes of the current file
//   sender -> receiver  FileEnd the file's check (32 bytes: its digest, or
//                       the Poly1305 tag keyed by the connection and zeros)
//   sender -> receiver  Done    after the last file
//   receiver -> sender  Done    everything arrived and checked
//   either way          Error   a text for the user; the connection ends
// A new connection after a drop starts with Hello again; the receiver then
// asks from the first file it does not have complete. So does a receiver
// started again, or a new offer of the same files (ResumeState).
#include "FileOffer.h"
#include "OutputFile.h"
#include "ReceiveWriter.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanyx::transfer {

inline constexpr std::size_t kChunk = 256 * 1024;
inline constexpr std::size_t kMaxFramePayload = kChunk + 1024;
inline constexpr std::size_t kMaxListBytes = 64u << 20;  // the list travels in frames of its own

enum class FrameType : std::uint8_t {
    Hello = 1,
    List = 2,
    Want = 3,
    Data = 4,
    FileEnd = 5,
    Done = 6,
    Error = 7,
    ListEnd = 8
};

// Seals and opens frames (authenticated encryption keyed per connection).
// Frames must be opened in the order they were sealed.
class FrameCipher {
public:
    virtual ~FrameCipher() = default;
    virtual std::string seal(std::string_view plain) = 0;
    virtual std::optional<std::string> open(std::string_view sealed) = 0;
    // Most a frame grows by sealing.
    virtual std::size_t overhead() const = 0;
    // Seals the bytes of `buffer` from `from` on, where they are when the
    // cipher can.
    virtual void sealTail(std::string& buffer, std::size_t from) {
        std::string sealed = seal(std::string_view(buffer).substr(from));
        buffer.resize(from);
        buffer += sealed;
    }
    // Opens the `size` sealed bytes at `data` into the front of the same
    // place; their length, or nothing when they do not open.
    virtual std::optional<std::size_t> openInPlace(char* data, std::size_t size) {
        auto plain = open(std::string_view(data, size));
        if (!plain) return std::nullopt;
        std::copy(plain->begin(), plain->end(), data);
        return plain->size();
    }
    // The check of file `index` on this connection where the two sides
    // agreed on checks keyed by the connection; nothing otherwise (the
    // transfer's digests check the files then).
    virtual std::unique_ptr<Digest> fileCheck(std::size_t /*index*/) { return nullptr; }
};

// Frames into bytes and back, through the cipher when there is one.
class FrameCodec {
public:
    explicit FrameCodec(FrameCipher* cipher = nullptr) : cipher_(cipher) {}
    std::string encode(FrameType type, std::string_view payload);
    void encodeTo(std::string& out, FrameType type, std::string_view payload);
    // A frame built in place: beginFrame() leaves room for the length, the
    // caller appends the payload, endFrame() seals it.
    std::size_t beginFrame(std::string& out);
    void endFrame(std::string& out, std::size_t at, FrameType type);
    void feed(std::string_view bytes);
    // Room for `size` more bytes read straight into the codec, then how many
    // came (at most `size`).
    char* space(std::size_t size);
    void commit(std::size_t size);
    // The next whole frame, if one is there. A frame too long, of an unknown
    // type or that does not open makes the codec fail for good.
    bool next(FrameType& type, std::string& payload);
    // The same, the payload left in the codec's buffer until the next
    // feed() or space().
    bool next(FrameType& type, std::string_view& payload);
    bool failed() const { return failed_; }
    std::size_t buffered() const { return end_ - consumed_; }
    FrameCipher* cipher() const { return cipher_; }

private:
    FrameCipher* cipher_;
    std::string buffer_;
    std::size_t consumed_ = 0, end_ = 0;
    bool failed_ = false;
};

enum class SessionState { Running, Finished, Failed };

// Files on this computer, gathered for sending: folders walked in a stable
// order; links and special files are left out and named in `skipped`.
struct LocalSelection {
    std::vector<Entry> entries;
    std::vector<std::filesystem::path> sources;  // per entry ("" for folders)
    std::vector<std::string> skipped;            // what was left out, and why
    std::uint64_t files = 0, bytes = 0;
    std::vector<std::string> topNames;
};
LocalSelection GatherLocal(const std::vector<std::filesystem::path>& paths);
// The offer of a selection under a new transfer id, to connect back to on `port`.
Offer OfferFor(const LocalSelection& selection, std::uint16_t port);

// Where a receiver of an earlier run stopped, kept beside the offer in the
// store of unfinished transfers: the names it gave the top-level entries,
// the digest of the list it began with, and how many entries were complete
// (at least; the files on the disk tell the rest).
struct ResumeState {
    TopNames tops;
    std::string list;  // 64 hex digits
    std::uint64_t complete = 0;
    bool operator==(const ResumeState&) const = default;
};

class SenderSession {
public:
    SenderSession(Offer offer, const LocalSelection& selection, DigestFactory digests, FrameCipher* cipher = nullptr);
    void received(std::string_view bytes);
    // The next bytes to send: whole frames up to about `room` bytes (at least
    // one frame when something is due); empty when nothing is due now.
    std::string nextOutput(std::size_t room);
    SessionState state() const { return state_; }
    const std::string& error() const { return error_; }
    // How far the transfer is: the files before the one being sent and
    // what went of it, also on a connection that resumed.
    std::uint64_t bytesSent() const { return sent_; }

private:
    void fail(const std::string& text, bool tellPeer);
    bool produce(std::string& out);

    Offer offer_;
    const LocalSelection& selection_;
    DigestFactory digests_;
    FrameCodec codec_;
    SessionState state_ = SessionState::Running;
    std::string error_;
    std::string pending_;  // frames made but not handed out
    bool helloSeen_ = false, listSent_ = false, streaming_ = false, doneSent_ = false;
    std::size_t listAt_ = 0;
    std::string listText_;
    std::size_t index_ = 0;
    std::uint64_t offset_ = 0;
    std::unique_ptr<platform::InputFile> in_;
    std::unique_ptr<Digest> digest_;
    bool fileOpen_ = false;
    std::uint64_t left_ = 0;
    std::uint64_t sent_ = 0;
};

class ReceiverSession {
public:
    // With `resume`, it goes on where an earlier run stopped: the sender's
    // list must be the one that run began with.
    ReceiverSession(Offer offer, std::filesystem::path folder, DigestFactory digests,
                    std::optional<ResumeState> resume = std::nullopt);
    // Before the list came: as `resume` in the constructor.
    void resumeFrom(ResumeState state) {
        if (!writer_) resume_ = std::move(state);
    }
    // A new connection: `cipher` seals this connection's frames. Returns the
    // first bytes to send (Hello).
    std::string connect(FrameCipher* cipher = nullptr);
    // The connection dropped: keep what arrived for the next connect().
    void dropped();
    // The user cancelled: partial files go.
    void cancel();
    void received(std::string_view bytes);
    // The same without a copy: room for up to `size` bytes read straight
    // from the connection, then how many came.
    char* receiveSpace(std::size_t size);
    void receivedInPlace(std::size_t size);
    std::string takeOutput();
    SessionState state() const { return state_; }
    const std::string& error() const { return error_; }
    // Why it failed, as the sender is told (None while it runs or finished,
    // and when the sender ended it).
    StopReason reason() const { return reason_; }
    // What this computer has of the files: complete ones, and the part
    // files, also those an earlier run left.
    std::uint64_t bytesReceived() const { return received_; }
    std::uint64_t totalBytes() const { return offer_.bytes; }
    // Where to go on from after a restart; nothing before the list came.
    std::optional<ResumeState> resumeState() const;
    // Called once the names in the folder are chosen (before anything is
    // written) and after each file is complete: the moments resumeState()
    // changes.
    void onCheckpoint(std::function<void()> checkpoint) { checkpoint_ = std::move(checkpoint); }
    const std::vector<std::filesystem::path>& finished() const;
    // The files and folders it made at the top of the chosen folder.
    std::vector<std::filesystem::path> topLevel() const;

private:
    void fail(const std::string& text, bool tellPeer, StopReason why = StopReason::Failed);
    void failWriting(const Error& e) { fail(e.text, true, writer_ ? writer_->problem() : StopReason::Failed); }
    void handle(FrameType type, std::string_view payload);
    void beginFiles();
    std::string listDigest() const;
    void framesArrived();
    void askFromFirstMissing();
    std::unique_ptr<Digest> fileCheck(std::size_t index);

    Offer offer_;
    std::optional<ResumeState> resume_;
    std::string listDigest_;
    std::function<void()> checkpoint_;
    StopReason reason_ = StopReason::None;
    std::filesystem::path folder_;
    DigestFactory digests_;
    std::unique_ptr<FrameCodec> codec_;
    std::unique_ptr<ReceiveWriter> writer_;
    std::vector<Entry> entries_;
    std::string listText_, firstList_;
    bool listDone_ = false;
    std::vector<bool> complete_;
    std::size_t current_ = 0;
    bool fileOpen_ = false;
    std::string out_;
    std::string spare_;  // where bytes go that nothing will read
    SessionState state_ = SessionState::Running;
    std::string error_;
    std::uint64_t received_ = 0;
};

}  // namespace lanyx::transfer
