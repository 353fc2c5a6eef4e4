#include "common/cp1252.h"

namespace orv {
namespace {

// 0x80..0x9F; the five bytes Windows-1252 leaves undefined map to the C1 controls of the same value,
// as Windows itself does, so every byte survives a round trip.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                                0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at pos; nullopt for a malformed one.
std::optional<char32_t> decodeUtf8(std::string_view s, size_t& pos) {
    const auto b0 = static_cast<unsigned char>(s[pos]);
    int len = 0;
    char32_t cp = 0;
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
    } else return std::nullopt;
    if (pos + len > s.size()) return std::nullopt;
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[pos + k]);
        if ((b & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
    pos += len;
    return cp;
}

}  // namespace

char32_t cp1252ToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHigh[byte - 0x80];
    return byte;
}

std::optional<unsigned char> unicodeToCp1252(char32_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return static_cast<unsigned char>(ch);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == ch) return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

std::string utf8Of(char32_t ch) {
    std::string out;
    appendUtf8(out, ch);
    return out;
}

std::string cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const char c : text) appendUtf8(out, cp1252ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> utf8ToCp1252Substituting(std::string_view utf8, char substitute, std::u32string* replaced) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const auto cp = decodeUtf8(utf8, pos);
        if (!cp) return std::nullopt;
        if (const auto byte = unicodeToCp1252(*cp)) {
            out += static_cast<char>(*byte);
        } else {
            out += substitute;
            if (replaced) *replaced += *cp;
        }
    }
    return out;
}

bool isValidUtf8(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size())
        if (!decodeUtf8(text, pos)) return false;
    return true;
}

unsigned char cp1252FoldCase(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
    switch (c) {
        case 0x8A: return 0x9A;  // S caron
        case 0x8C: return 0x9C;  // OE
        case 0x8E: return 0x9E;  // Z caron
        case 0x9F: return 0xFF;  // Y diaeresis
        default: return c;
    }
}

std::optional<std::string> utf8ToCp1252(std::string_view utf8, char32_t* badChar) {
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const auto cp = decodeUtf8(utf8, pos);
        if (!cp) {
            if (badChar) *badChar = 0xFFFD;
            return std::nullopt;
        }
        const auto byte = unicodeToCp1252(*cp);
        if (!byte) {
            if (badChar) *badChar = *cp;
            return std::nullopt;
        }
        out += static_cast<char>(*byte);
    }
    return out;
}

}  // namespace orv
