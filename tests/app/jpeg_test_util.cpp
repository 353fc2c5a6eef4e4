#include "app/jpeg_test_util.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace orv::test {

std::string makeJpeg(const JpegRecipe& recipe) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = static_cast<JDIMENSION>(recipe.width);
    cinfo.image_height = static_cast<JDIMENSION>(recipe.height);
    cinfo.input_components = recipe.components;
    cinfo.in_color_space = recipe.components == 1 ? JCS_GRAYSCALE : recipe.components == 4 ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, recipe.quality, TRUE);
    if (recipe.progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(recipe.width) * recipe.components);
    const auto fillRow = [&](int y) {
        for (int x = 0; x < recipe.width; ++x) {
            const auto red = static_cast<unsigned char>(recipe.width > 1 ? x * 255 / (recipe.width - 1) : 0);
            if (recipe.components == 1) {
                row[x] = red;
            } else if (recipe.components == 4) {
                // Adobe's inverted CMYK: 255 is no ink. Full magenta and yellow: red.
                row[4 * x] = 255;
                row[4 * x + 1] = 0;
                row[4 * x + 2] = 0;
                row[4 * x + 3] = 255;
            } else {
                row[3 * x] = red;
                row[3 * x + 1] = static_cast<unsigned char>(recipe.height > 1 ? y * 255 / (recipe.height - 1) : 0);
                row[3 * x + 2] = 64;
            }
        }
    };
    // Grey and CMYK rows do not change from one row to the next.
    if (recipe.components != 3) fillRow(0);
    while (cinfo.next_scanline < cinfo.image_height) {
        if (recipe.components == 3) fillRow(static_cast<int>(cinfo.next_scanline));
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string bytes(reinterpret_cast<const char*>(out), size);
    jpeg_destroy_compress(&cinfo);
    std::free(out);
    return bytes;
}

std::string withStatedSize(std::string jpeg, int width, int height) {
    // The frame header: FF C0 (baseline) or FF C2 (progressive), length, precision, height, width.
    for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
        const auto b = static_cast<unsigned char>(jpeg[i + 1]);
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && (b == 0xC0 || b == 0xC2)) {
            jpeg[i + 5] = static_cast<char>(height >> 8);
            jpeg[i + 6] = static_cast<char>(height & 0xFF);
            jpeg[i + 7] = static_cast<char>(width >> 8);
            jpeg[i + 8] = static_cast<char>(width & 0xFF);
            return jpeg;
        }
    }
    throw std::runtime_error("no frame header");
}

}  // namespace orv::test
