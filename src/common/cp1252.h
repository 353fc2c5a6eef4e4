#pragma once
// Windows-1252, the single-byte character set of the files (common/stored_text.h says when a text is
// stored in it).

#include <optional>
#include <string>
#include <string_view>

namespace orv {

std::string cp1252ToUtf8(std::string_view text);

// nullopt when the text holds a character Windows-1252 cannot hold (or is not valid UTF-8); the first
// such character is reported through badChar when given.
std::optional<std::string> utf8ToCp1252(std::string_view utf8, char32_t* badChar = nullptr);

// As above, but a character Windows-1252 cannot hold becomes substitute; each one replaced is added to
// replaced (when given). Not valid UTF-8 gives nullopt.
std::optional<std::string> utf8ToCp1252Substituting(std::string_view utf8, char substitute,
                                                    std::u32string* replaced = nullptr);

bool isValidUtf8(std::string_view text);

// Windows-1252 lower case: ASCII, the Latin-1 capitals (not the multiplication sign) and the four
// capitals of 0x80..0x9F.
unsigned char cp1252FoldCase(unsigned char c);

char32_t cp1252ToUnicode(unsigned char byte);
std::string utf8Of(char32_t ch);
std::optional<unsigned char> unicodeToCp1252(char32_t ch);

}  // namespace orv
