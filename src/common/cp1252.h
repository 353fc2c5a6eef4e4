#pragma once
// Every text file of the program is single-byte Windows-1252; the core keeps texts in that form and
// converts to UTF-8 only where text meets a terminal or a window.

#include <optional>
#include <string>
#include <string_view>

namespace orv {

std::string cp1252ToUtf8(std::string_view text);

// nullopt when the text holds a character Windows-1252 cannot hold (or is not valid UTF-8); the first
// such character is reported through badChar when given.
std::optional<std::string> utf8ToCp1252(std::string_view utf8, char32_t* badChar = nullptr);

char32_t cp1252ToUnicode(unsigned char byte);
std::string utf8Of(char32_t ch);
std::optional<unsigned char> unicodeToCp1252(char32_t ch);

}  // namespace orv
