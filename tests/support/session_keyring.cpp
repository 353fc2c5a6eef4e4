#include "support/session_keyring.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace orv::test {
namespace {

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

void restore(const char* name, const std::string& value) {
    if (value.empty()) ::unsetenv(name);
    else ::setenv(name, value.c_str(), 1);
}

}  // namespace

std::unique_ptr<SessionKeyring> SessionKeyring::start(std::string* why) {
    if (::access("/usr/bin/gnome-keyring-daemon", X_OK) != 0 || ::access("/usr/bin/dbus-daemon", X_OK) != 0) {
        *why = "gnome-keyring or dbus-daemon is not installed (tools/install-deps.sh --test installs them)";
        return nullptr;
    }
    std::unique_ptr<SessionKeyring> k(new SessionKeyring());
    k->oldBus_ = env("DBUS_SESSION_BUS_ADDRESS");
    k->oldRuntime_ = env("XDG_RUNTIME_DIR");
    k->oldData_ = env("XDG_DATA_HOME");
    const std::string runtime = k->dir_.file("run");
    ::mkdir(runtime.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("XDG_DATA_HOME", k->dir_.file("data").c_str(), 1);
    const std::string busFile = k->dir_.file("bus");
    const std::string start = "dbus-daemon --session --fork --print-address=1 --print-pid=1 > '" + busFile + "'";
    if (std::system(start.c_str()) != 0) {
        *why = "no session bus could be started";
        return nullptr;
    }
    const std::string bus = k->dir_.read("bus");
    const size_t nl = bus.find('\n');
    k->busPid_ = std::atoi(bus.c_str() + nl + 1);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.substr(0, nl).c_str(), 1);
    // The login keyring made and unlocked with a password on standard input.
    const std::string keyring = "printf test | gnome-keyring-daemon --unlock --components=secrets > '" +
                                k->dir_.file("keyring.log") + "' 2>&1";
    if (std::system(keyring.c_str()) != 0) {
        *why = "gnome-keyring-daemon did not start: " + k->dir_.read("keyring.log");
        return nullptr;
    }
    return k;
}

SessionKeyring::~SessionKeyring() {
    // The keyring daemon ends with its bus.
    if (busPid_ > 0) ::kill(busPid_, SIGTERM);
    restore("DBUS_SESSION_BUS_ADDRESS", oldBus_);
    restore("XDG_RUNTIME_DIR", oldRuntime_);
    restore("XDG_DATA_HOME", oldData_);
}

}  // namespace orv::test
