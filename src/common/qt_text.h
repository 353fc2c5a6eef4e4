#pragma once
// Text crosses from the core's UTF-8 to QString and back only here.

#include <QString>
#include <string>
#include <string_view>

#include "common/date_format.h"

namespace orv {

QString fromText(std::string_view utf8);
std::string toText(const QString& text);

// The system's weekday and month names (for date patterns shown in windows).
DateNames systemDateNames();

}  // namespace orv
