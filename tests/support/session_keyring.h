#pragma once
// A session bus of the test's own with a keyring (gnome-keyring's Secret Service) unlocked on it, over a
// temporary folder; the process's environment points at it until the end.

#include <memory>
#include <string>

#include "support/temp_dir.h"

namespace orv::test {

class SessionKeyring {
public:
    // nullptr, with the reason in why, when no keyring can start here.
    static std::unique_ptr<SessionKeyring> start(std::string* why);
    ~SessionKeyring();
    SessionKeyring(const SessionKeyring&) = delete;
    SessionKeyring& operator=(const SessionKeyring&) = delete;

private:
    SessionKeyring() = default;
    TempDir dir_;
    int busPid_ = -1;
    std::string oldBus_, oldRuntime_, oldData_;
};

}  // namespace orv::test
