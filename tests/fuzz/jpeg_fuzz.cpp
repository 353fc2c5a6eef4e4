// JPEG files of any bytes, decoded as the main window and the print page decode them: a failure with a
// reason or a picture whose pixels fill exactly its size, never a crash.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/jpeg_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orv;
    if (size == 0) return 0;
    JpegDecoder decoder;
    decoder.output = data[0] & 1 ? JpegOutput::Grey : JpegOutput::Rgb;
    decoder.fastIntegerDct = data[0] & 2;
    decoder.targetWidth = decoder.targetHeight = data[0] & 4 ? 64 : 0;
    decoder.memoryLimit = 64L * 1024 * 1024;
    decoder.maxOutputPixels = 4u * 1000 * 1000;
    const auto image = decoder.decode(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    if (!image) {
        if (decoder.error().empty()) std::abort();
        return 0;
    }
    const size_t expected = static_cast<size_t>(image->width) * image->height * image->components;
    if (image->pixels.size() != expected || image->width <= 0 || image->height <= 0) std::abort();
    return 0;
}
