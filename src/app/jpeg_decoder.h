#pragma once
// Our one JPEG decoder, over libjpeg-turbo's libjpeg API. The main window wants colour with the fast integer
// transform; the print preview may want greyscale. A picture far larger than its target is decoded at a reduced
// scale so that a huge file never takes the whole memory, and a broken file is a failure with a reason, never a
// crash or a hang.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

enum class JpegOutput { Rgb, Grey };

struct JpegImage {
    int width = 0;  // decoded size
    int height = 0;
    int components = 0;    // 3 for RGB, 1 for grey
    int naturalWidth = 0;  // size stored in the file
    int naturalHeight = 0;
    int scaleDenom = 1;                 // 1, 2, 4 or 8
    std::vector<unsigned char> pixels;  // rows top to bottom, width * components bytes each, no padding
};

class JpegDecoder {
public:
    JpegOutput output = JpegOutput::Rgb;
    bool fastIntegerDct = true;
    // The size the picture will be shown at, at most; 0 x 0 decodes at the natural size.
    int targetWidth = 0;
    int targetHeight = 0;
    // Working memory libjpeg may take (progressive files keep every coefficient of the picture).
    long memoryLimit = 512L * 1024 * 1024;
    // Largest decoded picture, in pixels, even after scaling down.
    std::size_t maxOutputPixels = 50u * 1000 * 1000;
    // Largest picture file read at all.
    static constexpr std::size_t kMaxFileBytes = 256u * 1024 * 1024;

    std::optional<JpegImage> decode(std::string_view bytes);
    std::optional<JpegImage> decodeFile(const std::string& path);

    // Why the last decode failed.
    const std::string& error() const { return error_; }

    // The largest of 1, 2, 4, 8 that still leaves the picture at least as large as the target both ways.
    static int chooseScaleDenom(int width, int height, int targetWidth, int targetHeight);

private:
    std::string error_;
};

}  // namespace orv
