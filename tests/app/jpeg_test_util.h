#pragma once
// JPEG files made on the spot for tests, through libjpeg's compressor.

#include <string>

namespace orv::test {

struct JpegRecipe {
    int width = 64;
    int height = 48;
    int components = 3;  // 3 colour, 1 grey, 4 CMYK (plain red)
    bool progressive = false;
    int quality = 85;
};

// Colour: red grows left to right, green top to bottom, blue is constant 64. Grey: the red ramp.
std::string makeJpeg(const JpegRecipe& recipe);

// The file with its stated size changed to width x height (the pixel data stay as they were).
std::string withStatedSize(std::string jpeg, int width, int height);

}  // namespace orv::test
