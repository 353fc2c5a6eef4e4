// The text decoder of every stored text (day records, grid text cells, calendar names, settings) over any
// bytes: it always gives valid UTF-8; bytes the writer would write read back and write again as the same
// bytes; and a cut to a byte limit ends on a character's end and fits.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/cp1252.h"
#include "common/stored_text.h"

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "stored text: %s\n", what);
    std::abort();
}

bool hasHighByte(const std::string& s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orv;
    if (size == 0) return 0;
    const size_t limit = data[0] * 4u;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string text = decodeStoredText(bytes);
    check(isValidUtf8(text), "the text is not UTF-8");

    const std::string written = encodeStoredText(text);
    check(decodeStoredText(written) == text, "the written text reads as another");
    check(encodeStoredText(decodeStoredText(written)) == written, "written bytes do not stay as they are");
    // Only bytes that are UTF-8 and that Windows-1252 would also hold can come back otherwise (as the
    // Windows-1252 of the same text).
    if (written != bytes) check(hasHighByte(bytes) && isValidUtf8(bytes) && !isStoredAsUtf8(text), "bytes changed");

    const std::string cut = fitStoredText(text, limit);
    check(text.compare(0, cut.size(), cut) == 0, "the cut is no start of the text");
    check(isValidUtf8(cut), "the cut splits a character");
    check(encodeStoredText(cut).size() <= limit, "the cut does not fit");
    return 0;
}
