#include "app/jpeg_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/jpeg_test_util.h"
#include "support/temp_dir.h"

namespace orv {
namespace {

using test::JpegRecipe;
using test::makeJpeg;
using test::withStatedSize;

const unsigned char* pixel(const JpegImage& img, int x, int y) {
    return img.pixels.data() + (static_cast<size_t>(y) * img.width + x) * img.components;
}

void expectNear(int actual, int expected, const char* what) {
    EXPECT_LE(std::abs(actual - expected), 12) << what << ": " << actual << " vs " << expected;
}

TEST(JpegDecoder, DecodesColourAtNaturalSizeWithBothTransforms) {
    const std::string file = makeJpeg({.width = 80, .height = 40});
    for (bool fast : {true, false}) {
        JpegDecoder dec;
        dec.fastIntegerDct = fast;
        const auto img = dec.decode(file);
        ASSERT_TRUE(img) << dec.error();
        EXPECT_EQ(img->width, 80);
        EXPECT_EQ(img->height, 40);
        EXPECT_EQ(img->naturalWidth, 80);
        EXPECT_EQ(img->naturalHeight, 40);
        EXPECT_EQ(img->components, 3);
        EXPECT_EQ(img->scaleDenom, 1);
        ASSERT_EQ(img->pixels.size(), 80u * 40u * 3u);
        expectNear(pixel(*img, 0, 0)[0], 0, "red, left");
        expectNear(pixel(*img, 79, 20)[0], 255, "red, right");
        expectNear(pixel(*img, 40, 0)[1], 0, "green, top");
        expectNear(pixel(*img, 40, 39)[1], 255, "green, bottom");
        expectNear(pixel(*img, 40, 20)[2], 64, "blue");
    }
}

TEST(JpegDecoder, ConvertsBetweenColourAndGrey) {
    JpegDecoder toGrey;
    toGrey.output = JpegOutput::Grey;
    const auto grey = toGrey.decode(makeJpeg({.width = 64, .height = 16}));
    ASSERT_TRUE(grey) << toGrey.error();
    EXPECT_EQ(grey->components, 1);
    EXPECT_EQ(grey->pixels.size(), 64u * 16u);
    // The right edge is redder, so brighter.
    EXPECT_GT(pixel(*grey, 63, 8)[0], pixel(*grey, 0, 8)[0] + 40);

    JpegDecoder toColour;
    const auto colour = toColour.decode(makeJpeg({.width = 64, .height = 16, .components = 1}));
    ASSERT_TRUE(colour) << toColour.error();
    EXPECT_EQ(colour->components, 3);
    const unsigned char* p = pixel(*colour, 63, 8);
    EXPECT_EQ(p[0], p[1]);
    EXPECT_EQ(p[1], p[2]);
    expectNear(p[0], 255, "grey ramp, right");
}

TEST(JpegDecoder, DecodesProgressiveAndAdobeCmykFiles) {
    JpegDecoder dec;
    const auto prog = dec.decode(makeJpeg({.width = 50, .height = 30, .progressive = true}));
    ASSERT_TRUE(prog) << dec.error();
    EXPECT_EQ(prog->width, 50);
    expectNear(pixel(*prog, 49, 29)[1], 255, "green, bottom");

    const auto cmyk = dec.decode(makeJpeg({.width = 16, .height = 16, .components = 4}));
    ASSERT_TRUE(cmyk) << dec.error();
    EXPECT_EQ(cmyk->components, 3);
    expectNear(pixel(*cmyk, 8, 8)[0], 255, "red");
    expectNear(pixel(*cmyk, 8, 8)[1], 0, "green");
    expectNear(pixel(*cmyk, 8, 8)[2], 0, "blue");
}

TEST(JpegDecoder, ChoosesTheSmallestScaleThatStillCoversTheTarget) {
    struct Case {
        int w, h, tw, th, denom;
    };
    const Case cases[] = {
        {600, 400, 0, 0, 1},                                          // no target
        {600, 400, 1280, 1024, 1},                                    // smaller than the screen
        {2560, 2048, 1280, 1024, 2},                                  // exactly twice
        {2561, 2048, 1280, 1024, 2},   {2558, 2048, 1280, 1024, 1},   // half would fall short by a pixel
        {2559, 2048, 1280, 1024, 2},                                  // half of 2559 is rounded up to 1280
        {20000, 20000, 1280, 1024, 8}, {10240, 1024, 1280, 1024, 1},  // wide and short: the height rules
        {10233, 8185, 1280, 1024, 8},                                 // rounded up: 1280 x 1024 at one eighth
    };
    for (const Case& c : cases)
        EXPECT_EQ(JpegDecoder::chooseScaleDenom(c.w, c.h, c.tw, c.th), c.denom) << c.w << "x" << c.h;
}

TEST(JpegDecoder, DecodesALargePictureAtAReducedScale) {
    JpegDecoder dec;
    dec.targetWidth = 400;
    dec.targetHeight = 300;
    const std::string file = makeJpeg({.width = 1600, .height = 1200, .quality = 50});
    const auto img = dec.decode(file);
    ASSERT_TRUE(img) << dec.error();
    EXPECT_EQ(img->scaleDenom, 4);
    EXPECT_EQ(img->width, 400);
    EXPECT_EQ(img->height, 300);
    EXPECT_EQ(img->naturalWidth, 1600);
    EXPECT_EQ(img->naturalHeight, 1200);
    expectNear(pixel(*img, 399, 150)[0], 255, "red, right");
}

TEST(JpegDecoder, AHugePictureIsDecodedSmallNotWhole) {
    // 20000 x 20000 would be 1.2 GB as RGB; at one eighth it is 2500 x 2500.
    JpegDecoder dec;
    dec.output = JpegOutput::Grey;
    dec.targetWidth = 1280;
    dec.targetHeight = 1024;
    const auto img = dec.decode(makeJpeg({.width = 20000, .height = 20000, .components = 1, .quality = 10}));
    ASSERT_TRUE(img) << dec.error();
    EXPECT_EQ(img->scaleDenom, 8);
    EXPECT_EQ(img->width, 2500);
    EXPECT_EQ(img->height, 2500);
    EXPECT_EQ(img->pixels.size(), 2500u * 2500u);
}

TEST(JpegDecoder, RefusesBrokenFilesWithAReason) {
    const std::string good = makeJpeg({.width = 64, .height = 64});
    const std::string progressive = makeJpeg({.width = 64, .height = 64, .progressive = true});
    struct Case {
        const char* what;
        std::string bytes;
        int targetW = 0, targetH = 0;
    };
    const Case cases[] = {
        {"empty", ""},
        {"text", "This is not a picture at all, just words.\r\n"},
        {"bitmap header",
         std::string("BM\x36\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00", 14) + std::string(40, '\0')},
        {"only the start marker", good.substr(0, 2)},
        {"cut inside the headers", good.substr(0, 40)},
        {"cut in the middle", good.substr(0, good.size() / 2)},
        {"progressive, cut in the middle", progressive.substr(0, progressive.size() / 2)},
        {"0 x 0", withStatedSize(good, 0, 0)},
        {"0 wide", withStatedSize(good, 0, 64)},
        // A stated size far beyond the data: must end at the data's end, not grind through grey blocks.
        {"20000 x 20000 stated, 64 x 64 stored", withStatedSize(good, 20000, 20000), 1280, 1024},
        {"65500 x 65500 at full size", withStatedSize(good, 65500, 65500)},
        {"65500 x 65500, even at one eighth", withStatedSize(good, 65500, 65500), 1280, 1024},
        // Progressive pictures keep every coefficient: 20000 x 20000 would need more than a gigabyte.
        {"progressive 20000 x 20000 stated", withStatedSize(progressive, 20000, 20000), 1280, 1024},
    };
    for (const Case& c : cases) {
        JpegDecoder dec;
        dec.targetWidth = c.targetW;
        dec.targetHeight = c.targetH;
        EXPECT_FALSE(dec.decode(c.bytes)) << c.what;
        EXPECT_FALSE(dec.error().empty()) << c.what;
    }
}

TEST(JpegDecoder, ReadsFilesAndNamesWhatWentWrong) {
    test::TempDir dir;
    dir.write("pic.jpg", makeJpeg({.width = 30, .height = 20}));
    JpegDecoder dec;
    const auto img = dec.decodeFile(dir.file("pic.jpg"));
    ASSERT_TRUE(img) << dec.error();
    EXPECT_EQ(img->width, 30);
    EXPECT_FALSE(dec.decodeFile(dir.file("missing.jpg")));
    EXPECT_NE(dec.error().find("does not exist"), std::string::npos) << dec.error();
    // A decoder is reusable after a failure.
    EXPECT_TRUE(dec.decodeFile(dir.file("pic.jpg"))) << dec.error();
    EXPECT_TRUE(dec.error().empty());
}

}  // namespace
}  // namespace orv
