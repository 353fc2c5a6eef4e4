#pragma once
// "VEvents.dat": a second, read-only list of yearly dates in the program folder, in the format of
// "Events.dat", read once for the ticker.

#include <optional>
#include <string>
#include <vector>

#include "ticker/upcoming_list.h"

namespace orv {

struct SecondList {
    std::vector<YearlyRow> rows;
    // The reader's message for an unreadable or corrupt file; the rows it could read are kept.
    std::optional<std::string> failure;
};

// A missing file is an empty list and no failure.
SecondList LoadSecondList(const std::string& path);

}  // namespace orv
