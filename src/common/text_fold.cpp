#include "common/text_fold.h"

#include <algorithm>

#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace orv {
namespace {

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; }

}  // namespace

std::string foldForSearch(std::string_view utf8) {
    if (isAscii(utf8)) {
        std::string out(utf8);
        for (char& c : out) c = asciiLower(c);
        return out;
    }
    UErrorCode status = U_ZERO_ERROR;
    std::string folded;
    icu::StringByteSink<std::string> foldSink(&folded, static_cast<int32_t>(utf8.size()));
    icu::CaseMap::utf8Fold(U_FOLD_CASE_DEFAULT, icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())),
                           foldSink, nullptr, status);
    if (U_FAILURE(status)) return std::string(utf8);
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return folded;
    std::string composed;
    icu::StringByteSink<std::string> composeSink(&composed, static_cast<int32_t>(folded.size()));
    nfc->normalizeUTF8(0, icu::StringPiece(folded), composeSink, nullptr, status);
    return U_FAILURE(status) ? folded : composed;
}

bool containsFolded(std::string_view text, std::string_view foldedNeedle) {
    if (foldedNeedle.empty()) return true;
    if (isAscii(text)) {
        // Folded ASCII stays ASCII: a needle with any other character cannot be in the text.
        if (!isAscii(foldedNeedle) || foldedNeedle.size() > text.size()) return false;
        return std::search(text.begin(), text.end(), foldedNeedle.begin(), foldedNeedle.end(),
                           [](char a, char b) { return asciiLower(a) == b; }) != text.end();
    }
    return foldForSearch(text).find(foldedNeedle) != std::string::npos;
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
        UBool error = false;
        U8_APPEND(reinterpret_cast<uint8_t*>(buf), n, U8_MAX_LENGTH, f, error);
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}

}  // namespace orv
