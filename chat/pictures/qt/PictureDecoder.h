#pragma once
// Pictures read within bounds: whatever a peer sent is looked at by
// QImageReader (its type, its dimensions) before anything is decoded, and
// the decoding itself may allocate only so much.
#include "PictureMessage.h"

#include <QByteArray>
#include <QImage>

#include <cstdint>

namespace lanyx::pictures {

struct DecodeLimits {
    std::uint64_t maxBytes = kMaxBytes;
    int maxSide = 16384;                            // pixels, either way
    int allocationMb = 256;                         // QImageReader::setAllocationLimit
    std::uint64_t maxPixels = 64ull * 1024 * 1024;  // width × height (×4 bytes: the allocation)
};

enum class DecodeError : std::uint8_t {
    None,
    TooLarge,     // more bytes than the limit
    NotAPicture,  // none of the four types (by its first bytes and by the reader)
    TooBig,       // dimensions unknown, zero or past the limits
    Damaged,      // the reader gave up while decoding
};

struct Decoded {
    DecodeError error = DecodeError::None;
    Type type = Type::Png;
    QImage image;  // the first frame
};

Decoded DecodePicture(const QByteArray& bytes, const DecodeLimits& limits = {});
// The type and dimensions only, nothing decoded (what a window needs to
// lay it out); error as DecodePicture's but never Damaged.
Decoded ProbePicture(const QByteArray& bytes, const DecodeLimits& limits = {});

}  // namespace lanyx::pictures
