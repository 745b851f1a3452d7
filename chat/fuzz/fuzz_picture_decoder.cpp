// Whatever a peer sends as a picture file goes through the bounded decoder:
// nothing it says of its dimensions makes it allocate past the limits, and
// what it decodes is within them.
#include "PictureDecoder.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static int argc = 1;
    static char name[] = "fuzz_picture_decoder";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);  // the image format plugins are found through it
    using namespace lanyx::pictures;
    DecodeLimits limits;
    limits.maxSide = 2048;
    limits.maxPixels = 1024 * 1024;
    limits.allocationMb = 16;
    const auto d = DecodePicture(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)), limits);
    if (d.error == DecodeError::None &&
        (d.image.isNull() || d.image.width() > limits.maxSide || d.image.height() > limits.maxSide))
        __builtin_trap();
    if (d.error != DecodeError::None && !d.image.isNull()) __builtin_trap();
    return 0;
}
