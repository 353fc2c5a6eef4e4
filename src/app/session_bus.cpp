#include "app/session_bus.h"

#include <cstdlib>

#include <unistd.h>

namespace orv {
namespace {

// Where the bus library of the system runs it from.
constexpr const char* kDbusLaunch = "/usr/bin/dbus-launch";

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace

SessionBusEnvironment SessionBusEnvironment::current() {
    return {variable("DBUS_SESSION_BUS_ADDRESS"), variable("XDG_RUNTIME_DIR"), static_cast<unsigned>(::getuid()),
            [](const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }};
}

std::optional<std::string> addressInsteadOfHopelessAutolaunch(const SessionBusEnvironment& env) {
    if (env.address) return std::nullopt;
    const std::string runtimeDir = env.runtimeDir && !env.runtimeDir->empty() && env.runtimeDir->front() == '/'
                                       ? *env.runtimeDir
                                       : "/run/user/" + std::to_string(env.uid);
    const std::string userBus = runtimeDir + "/bus";
    if (env.exists(userBus) || env.exists(kDbusLaunch)) return std::nullopt;
    return "unix:path=" + userBus;
}

void avoidHopelessBusAutolaunch() {
    if (const auto address = addressInsteadOfHopelessAutolaunch(SessionBusEnvironment::current()))
        ::setenv("DBUS_SESSION_BUS_ADDRESS", address->c_str(), 0);
}

}  // namespace orv
