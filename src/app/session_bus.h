#pragma once
// Qt reaches for the session bus at the start (its bridge to screen readers asks for it as soon as a
// control's text is set). Without an address for it, the bus library runs "dbus-launch" to find or start
// one: a fork of the whole program, every start, that can only fail where dbus-launch is not installed. There
// the address is pointed at the socket a user bus would have, which is not there either: the same failure,
// at once.

#include <functional>
#include <optional>
#include <string>

namespace orv {

struct SessionBusEnvironment {
    std::optional<std::string> address;     // DBUS_SESSION_BUS_ADDRESS
    std::optional<std::string> runtimeDir;  // XDG_RUNTIME_DIR
    unsigned uid = 0;
    std::function<bool(const std::string& path)> exists;

    static SessionBusEnvironment current();
};

// The address to use in place of a start of dbus-launch that cannot succeed; nullopt where the bus library
// is to be left alone (an address given, a user bus, dbus-launch installed).
std::optional<std::string> addressInsteadOfHopelessAutolaunch(const SessionBusEnvironment& env);

// Sets DBUS_SESSION_BUS_ADDRESS for this process where addressInsteadOfHopelessAutolaunch says so.
void avoidHopelessBusAutolaunch();

}  // namespace orv
