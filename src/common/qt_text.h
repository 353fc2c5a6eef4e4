#pragma once
// Text crosses from the core's Windows-1252 bytes to QString and back only here.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "common/date_format.h"

namespace orv {

QString fromCp1252(std::string_view text);

// nullopt when the text holds a character Windows-1252 cannot hold; that character goes to badChar.
std::optional<std::string> toCp1252(const QString& text, QString* badChar = nullptr);

// Lossy form for texts that are only shown or compared (unrepresentable characters become '?').
std::string toCp1252Lossy(const QString& text);

// The message for a refused character, for the windows to show.
QString unrepresentableMessage(const QString& badChar);

// The system's weekday and month names (for date patterns shown in windows).
DateNames systemDateNames();

}  // namespace orv
