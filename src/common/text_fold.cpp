#include "common/text_fold.h"

#include <algorithm>
#include <array>

#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

namespace orv {
namespace {

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; }

// Text without combining marks or other characters from U+0300 on (lead bytes below 0xCC) is composed
// as it stands, folded or not.
bool composedAsItIs(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0xCC; });
}

// The folds of U+0000 .. U+07FF (Latin, Greek, Cyrillic, Hebrew, Arabic ...), worked out once by the
// library: 0 for a character whose full folding is not one character (ß to "ss").
constexpr char32_t kTableEnd = 0x800;
const std::array<char32_t, kTableEnd>& twoByteFolds() {
    static const std::array<char32_t, kTableEnd> table = [] {
        std::array<char32_t, kTableEnd> t{};
        for (char32_t c = 0; c < kTableEnd; ++c) {
            icu::UnicodeString full(static_cast<UChar32>(c));
            full.foldCase(U_FOLD_CASE_DEFAULT);
            t[c] = full.countChar32() == 1 ? static_cast<char32_t>(full.char32At(0)) : 0;
        }
        return t;
    }();
    return table;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Folds the text quickly where it can: characters below U+0800 through the table, kana, CJK ideographs and
// Hangul syllables (which have no case) as they are. False (out undefined) for anything else.
bool foldQuickly(std::string_view utf8, std::string& out) {
    const auto& table = twoByteFolds();
    out.clear();
    const auto cont = [&](size_t i) { return i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80; };
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += asciiLower(static_cast<char>(b));
            ++i;
        } else if (b >= 0xC2 && b <= 0xDF && cont(i + 1)) {
            const char32_t c = (static_cast<char32_t>(b & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
            if (table[c] == 0 || table[c] > 0xFFFF) return false;
            appendUtf8(out, table[c]);
            i += 2;
        } else if (b >= 0xE0 && b <= 0xEF && cont(i + 1) && cont(i + 2)) {
            const char32_t c = (static_cast<char32_t>(b & 0x0F) << 12) |
                               ((static_cast<unsigned char>(utf8[i + 1]) & 0x3F) << 6) |
                               (static_cast<unsigned char>(utf8[i + 2]) & 0x3F);
            const bool caseless = (c >= 0x3040 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7A3);
            if (!caseless) return false;
            out.append(utf8.substr(i, 3));
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

// Folds utf8 into out (reused, so that a search allocates once); false for invalid UTF-8.
bool foldInto(std::string_view utf8, std::string& out) {
    if (foldQuickly(utf8, out)) return true;
    for (;;) {
        UErrorCode status = U_ZERO_ERROR;
        out.resize(out.capacity() > utf8.size() ? out.capacity() : utf8.size() + 16);
        const int32_t n = icu::CaseMap::utf8Fold(U_FOLD_CASE_DEFAULT, utf8.data(), static_cast<int32_t>(utf8.size()),
                                                 out.data(), static_cast<int32_t>(out.size()), nullptr, status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            out.reserve(static_cast<size_t>(n) + 1);
            continue;
        }
        if (U_FAILURE(status)) return false;
        out.resize(static_cast<size_t>(n));
        return true;
    }
}

void compose(std::string& text) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status) || nfc->isNormalizedUTF8(icu::StringPiece(text), status)) return;
    status = U_ZERO_ERROR;
    std::string composed;
    icu::StringByteSink<std::string> sink(&composed, static_cast<int32_t>(text.size()));
    nfc->normalizeUTF8(0, icu::StringPiece(text), sink, nullptr, status);
    if (U_SUCCESS(status)) text.swap(composed);
}

}  // namespace

std::string foldForSearch(std::string_view utf8) {
    if (isAscii(utf8)) {
        std::string out(utf8);
        for (char& c : out) c = asciiLower(c);
        return out;
    }
    std::string folded;
    if (!foldInto(utf8, folded)) return std::string(utf8);
    if (!composedAsItIs(folded)) compose(folded);
    return folded;
}

bool containsFolded(std::string_view text, std::string_view foldedNeedle) {
    if (foldedNeedle.empty()) return true;
    if (isAscii(text)) {
        // Folded ASCII stays ASCII: a needle with any other character cannot be in the text.
        if (!isAscii(foldedNeedle) || foldedNeedle.size() > text.size()) return false;
        return std::search(text.begin(), text.end(), foldedNeedle.begin(), foldedNeedle.end(),
                           [](char a, char b) { return asciiLower(a) == b; }) != text.end();
    }
    thread_local std::string folded;
    if (!foldInto(text, folded)) return text.find(foldedNeedle) != std::string_view::npos;
    if (!composedAsItIs(folded)) compose(folded);
    return folded.find(foldedNeedle) != std::string::npos;
}

std::string foldName(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    const auto* s = reinterpret_cast<const uint8_t*>(utf8.data());
    const auto length = static_cast<int32_t>(utf8.size());
    for (int32_t i = 0; i < length;) {
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(s, i, length, c);
        if (c < 0) {
            out.append(utf8.substr(static_cast<size_t>(start), static_cast<size_t>(i - start)));
            continue;
        }
        const UChar32 f = u_foldCase(c, U_FOLD_CASE_DEFAULT);
        char buf[U8_MAX_LENGTH];
        int32_t n = 0;
        U8_APPEND_UNSAFE(reinterpret_cast<uint8_t*>(buf), n, f);
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}

}  // namespace orv
