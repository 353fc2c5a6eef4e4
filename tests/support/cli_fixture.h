#pragma once
// Runs orvella-cli in a program folder of its own, as a terminal would, and keeps what it printed.

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "common/clock.h"
#include "support/temp_dir.h"

namespace orv::test {

struct CliResult {
    int status;
    std::string out;
    std::string err;
};

class CliFixture : public ::testing::Test {
protected:
    CliResult run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--folder", dir.path()});
        std::ostringstream out, err;
        const int status = cli::run(args, out, err, today);
        return {status, out.str(), err.str()};
    }
    TempDir dir;
    Clock today;  // the local date unless a case fixes it
};

}  // namespace orv::test
