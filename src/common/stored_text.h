#pragma once
// How a text is kept in the files: Windows-1252 where that holds it and its bytes cannot be taken for
// UTF-8, else UTF-8, in the same place. A reader takes valid UTF-8 with a byte of 0x80 or more for UTF-8
// and anything else for Windows-1252, so every file of the single-byte versions reads as before and every
// text written here reads back as it was. Inside the program every text is UTF-8.

#include <cstddef>
#include <string>
#include <string_view>

namespace orv {

// The text (UTF-8) that stored bytes hold.
std::string decodeStoredText(std::string_view bytes);
// The bytes that keep a text (valid UTF-8; anything else is stored as it is).
std::string encodeStoredText(std::string_view utf8);
// Whether the text goes into the files as UTF-8.
bool isStoredAsUtf8(std::string_view utf8);

// The longest start of the text, never ending inside a character, whose stored bytes take at most
// maxBytes.
std::string fitStoredText(std::string_view utf8, size_t maxBytes);

// Characters as the editors count them: Unicode characters, a line break (CR LF, or a lone CR or LF)
// counting two.
size_t editorLength(std::string_view utf8);

}  // namespace orv
