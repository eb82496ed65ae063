// libFuzzer entry point for the PCX decoder; scripts/fuzz builds and runs it.
#include "detail/PcxDecoder.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Raw data, not a copy: a read one byte past the input lands in the sanitizer's red zone, where
    // a copy's terminating zero would hide it.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QImage image = zelvora::DecodePcx(bytes);
    if (image.isNull())
        return 0;
    if (image.width() > zelvora::kMaxPcxSide || image.height() > zelvora::kMaxPcxSide ||
        image.format() != QImage::Format_RGB32)
        std::abort();
    return 0;
}
