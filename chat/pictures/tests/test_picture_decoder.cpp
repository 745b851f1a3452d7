// What a peer may send as a picture is looked at before it is decoded:
// dimensions past the limits, a cut file, or something that only has a
// picture's name are refused with their codes.
#include "PictureDecoder.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <array>

using namespace lanyx::pictures;
using lanyx::test::png;

namespace {

quint32 crc32(const QByteArray& data) {
    quint32 c = 0xFFFFFFFFu;
    for (const char ch : data) {
        c ^= static_cast<unsigned char>(ch);
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void be32(QByteArray& out, quint32 v) {
    for (int s = 24; s >= 0; s -= 8) out.append(static_cast<char>((v >> s) & 0xFF));
}

// A PNG whose header claims w × h, with a sound checksum, and no pixels.
QByteArray pngClaiming(quint32 w, quint32 h) {
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    QByteArray chunk("IHDR");
    be32(chunk, w);
    be32(chunk, h);
    chunk.append("\x08\x02\x00\x00\x00", 5);
    be32(bytes, 13);
    bytes += chunk;
    be32(bytes, crc32(chunk));
    return bytes;
}

// A GIF whose screen and frame claim 65535 × 65535 pixels.
QByteArray gifClaimingHuge() {
    QByteArray b("GIF89a");
    b.append("\xFF\xFF\xFF\xFF\x80\x00\x00", 7);
    b.append("\x00\x00\x00\xFF\xFF\xFF", 6);
    b.append(",\x00\x00\x00\x00\xFF\xFF\xFF\xFF\x00", 10);
    b.append("\x02\x02\x44\x01\x00;", 6);
    return b;
}

}  // namespace

TEST(PictureDecoder, HostileFilesAreRefusedBeforeTheyAreDecoded) {
    const QByteArray sound = png(64, 48);
    struct Case {
        const char* what;
        QByteArray bytes;
        DecodeError error;
    } cases[] = {
        {"a sound picture", sound, DecodeError::None},
        {"a header claiming 100000 x 100000", pngClaiming(100000, 100000), DecodeError::TooBig},
        {"a header claiming 16385 x 1", pngClaiming(16385, 1), DecodeError::TooBig},
        {"a header claiming 0 x 0", pngClaiming(0, 0), DecodeError::TooBig},
        {"a cut file", sound.left(sound.size() / 2), DecodeError::Damaged},
        {"a GIF claiming 65535 x 65535", gifClaimingHuge(), DecodeError::TooBig},
        {"text named .png", QByteArray("hello, this is no picture"), DecodeError::NotAPicture},
        {"a PNG's start and nothing else", QByteArray("\x89PNG\r\n\x1a\n", 8), DecodeError::TooBig},
        {"more than the limit", QByteArray(static_cast<qsizetype>(kMaxBytes) + 1, 'x'), DecodeError::TooLarge},
    };
    for (const auto& c : cases) {
        const auto d = DecodePicture(c.bytes);
        EXPECT_EQ(d.error, c.error) << c.what;
        EXPECT_EQ(d.image.isNull(), c.error != DecodeError::None) << c.what;
    }
}

TEST(PictureDecoder, TheLimitsAreTheCallers) {
    DecodeLimits small;
    small.maxSide = 32;
    EXPECT_EQ(DecodePicture(png(64, 48), small).error, DecodeError::TooBig);
    EXPECT_EQ(DecodePicture(png(32, 32), small).error, DecodeError::None);
    small.maxBytes = 10;
    EXPECT_EQ(DecodePicture(png(8, 8), small).error, DecodeError::TooLarge);
    EXPECT_EQ(ProbePicture(png(8, 8)).type, Type::Png);
}
