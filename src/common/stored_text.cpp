#include "common/stored_text.h"

#include <algorithm>

#include "common/cp1252.h"

namespace orv {
namespace {

bool isAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Length of the UTF-8 sequence a lead byte starts (1 for anything that is no lead byte).
size_t sequenceLength(unsigned char b) {
    if (b >= 0xF0) return 4;
    if (b >= 0xE0) return 3;
    if (b >= 0xC0) return 2;
    return 1;
}

}  // namespace

std::string decodeStoredText(std::string_view bytes) {
    if (isAscii(bytes) || isValidUtf8(bytes)) return std::string(bytes);
    return cp1252ToUtf8(bytes);
}

std::string encodeStoredText(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    auto single = utf8ToCp1252(utf8);
    // Windows-1252 bytes that are also valid UTF-8 ("Ã©") would read back as another text.
    if (!single || isValidUtf8(*single)) return std::string(utf8);
    return std::move(*single);
}

bool isStoredAsUtf8(std::string_view utf8) {
    if (isAscii(utf8)) return false;
    const auto single = utf8ToCp1252(utf8);
    return !single || isValidUtf8(*single);
}

std::string fitStoredText(std::string_view utf8, size_t maxBytes) {
    if (encodeStoredText(utf8).size() <= maxBytes) return std::string(utf8);
    const auto isContinuation = [&](size_t i) {
        return i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80;
    };
    // Every character takes a byte at least: no start longer than maxBytes characters can fit.
    size_t cut = 0;
    for (size_t chars = 0; cut < utf8.size() && chars < maxBytes; ++chars)
        cut += std::min(sequenceLength(static_cast<unsigned char>(utf8[cut])), utf8.size() - cut);
    while (isContinuation(cut)) --cut;
    // A shorter text may be stored the other way: check each, longest first.
    while (cut > 0) {
        const std::string_view head = utf8.substr(0, cut);
        if (encodeStoredText(head).size() <= maxBytes) return std::string(head);
        do {
            --cut;
        } while (cut > 0 && isContinuation(cut));
    }
    return {};
}

size_t editorLength(std::string_view utf8) {
    size_t n = 0;
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b == '\r') {
            n += 2;
            i += (i + 1 < utf8.size() && utf8[i + 1] == '\n') ? 2 : 1;
        } else if (b == '\n') {
            n += 2;
            ++i;
        } else {
            ++n;
            i += std::min(sequenceLength(b), utf8.size() - i);
        }
    }
    return n;
}

}  // namespace orv
