#include "app/session_bus.h"

#include <gtest/gtest.h>

#include <set>

namespace orv {
namespace {

TEST(SessionBus, AutolaunchIsReplacedOnlyWhereItCannotSucceed) {
    struct Case {
        const char* what;
        std::optional<std::string> address;
        std::optional<std::string> runtimeDir;
        std::set<std::string> files;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"an address given", "unix:path=/elsewhere", "/run/user/1000", {}, std::nullopt},
        {"an empty address given", "", "/run/user/1000", {}, std::nullopt},
        {"the user bus", std::nullopt, "/run/user/1000", {"/run/user/1000/bus"}, std::nullopt},
        {"dbus-launch installed", std::nullopt, "/run/user/1000", {"/usr/bin/dbus-launch"}, std::nullopt},
        {"neither", std::nullopt, "/run/user/1000", {}, "unix:path=/run/user/1000/bus"},
        {"no runtime folder", std::nullopt, std::nullopt, {}, "unix:path=/run/user/1000/bus"},
        {"a relative runtime folder", std::nullopt, "tmp", {}, "unix:path=/run/user/1000/bus"},
        {"the user bus without a runtime folder", std::nullopt, std::nullopt, {"/run/user/1000/bus"}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const SessionBusEnvironment env{c.address, c.runtimeDir, 1000,
                                        [&c](const std::string& path) { return c.files.count(path) > 0; }};
        EXPECT_EQ(addressInsteadOfHopelessAutolaunch(env), c.expected);
    }
}

}  // namespace
}  // namespace orv
