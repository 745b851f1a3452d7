#include "PictureDecoder.h"

#include <QBuffer>
#include <QImageReader>

namespace lanyx::pictures {

namespace {

// The reader's names for the four types.
bool readerSays(const QByteArray& format, Type type) {
    switch (type) {
    case Type::Png: return format == "png";
    case Type::Jpeg: return format == "jpeg" || format == "jpg";
    case Type::Gif: return format == "gif";
    case Type::Webp: return format == "webp";
    }
    return false;
}

Decoded look(const QByteArray& bytes, const DecodeLimits& limits, bool decode) {
    Decoded d;
    if (static_cast<std::uint64_t>(bytes.size()) > limits.maxBytes) {
        d.error = DecodeError::TooLarge;
        return d;
    }
    const auto type = TypeOfBytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!type) {
        d.error = DecodeError::NotAPicture;
        return d;
    }
    d.type = *type;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, QByteArrayLiteral(""));
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(limits.allocationMb);
    if (!reader.canRead() || !readerSays(reader.format(), *type)) {
        d.error = DecodeError::NotAPicture;
        return d;
    }
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || size.width() > limits.maxSide || size.height() > limits.maxSide ||
        static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) > limits.maxPixels) {
        d.error = DecodeError::TooBig;
        return d;
    }
    if (!decode) return d;
    if (!reader.read(&d.image) || d.image.isNull()) {
        d.image = {};
        d.error = DecodeError::Damaged;
    }
    return d;
}

}  // namespace

Decoded DecodePicture(const QByteArray& bytes, const DecodeLimits& limits) {
    return look(bytes, limits, true);
}

Decoded ProbePicture(const QByteArray& bytes, const DecodeLimits& limits) {
    return look(bytes, limits, false);
}

}  // namespace lanyx::pictures
