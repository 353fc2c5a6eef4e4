#include <gtest/gtest.h>

#include "common/cp1252.h"

namespace orv {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const auto back = utf8ToCp1252(cp1252ToUtf8(all));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, all);
}

TEST(Cp1252, SpecialCharacters) {
    struct Case {
        const char* utf8;
        unsigned char byte;
    };
    const Case cases[] = {
        {"\u20AC", 0x80}, {"\u201C", 0x93}, {"\u2122", 0x99}, {"\u0178", 0x9F},
        {"\u00AB", 0xAB}, {"\u00E9", 0xE9}, {"\u00FF", 0xFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.byte));
        const auto cp = utf8ToCp1252(c.utf8);
        ASSERT_TRUE(cp);
        EXPECT_EQ(*cp, std::string(1, static_cast<char>(c.byte)));
        EXPECT_EQ(cp1252ToUtf8(*cp), c.utf8);
    }
}

TEST(Cp1252, RefusesWhatItCannotHold) {
    struct Case {
        const char* utf8;
        char32_t bad;
    };
    const Case cases[] = {
        {"ok \u4E2D", 0x4E2D},          // CJK
        {"\U0001F600 smile", 0x1F600},  // emoji
        {"a\u0100", 0x0100},            // Latin Extended-A outside the table
        {"\xC3", 0xFFFD},               // truncated sequence
        {"\xC0\x80", 0xFFFD},           // overlong encoding
        {"\xED\xA0\x80", 0xFFFD},       // surrogate
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        char32_t bad = 0;
        EXPECT_FALSE(utf8ToCp1252(c.utf8, &bad));
        EXPECT_EQ(bad, c.bad);
    }
}

}  // namespace
}  // namespace orv
