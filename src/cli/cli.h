#pragma once
// orvella-cli: the planner's files from a terminal, through the same store, list and settings code as the
// windows. Exit status 0 on success, 1 for a usage error, 2 for a data error.

#include <iosfwd>
#include <string>
#include <vector>

#include "common/clock.h"

namespace orv::cli {

// clock: the local date unless a fixed day is given.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Clock clock = {});

}  // namespace orv::cli
