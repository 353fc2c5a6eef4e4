#pragma once
// A backup or restore that cannot go on for a reason the user can act on. The message is UTF-8 and is
// shown as it stands (in a message box or on the terminal).

#include <stdexcept>
#include <string>

namespace orv {

class BackupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace orv
