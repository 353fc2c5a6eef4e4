#pragma once
// The one error type of the headless code: a file operation failed. Its message is UTF-8 (paths are
// UTF-8 on this system, and so are the texts of the program). Windows catch it at the boundary
// of each action and show it through the message seam.

#include <stdexcept>
#include <string>

namespace orv {

class IoError : public std::runtime_error {
public:
    IoError(const std::string& message, std::string path, int error = 0)
        : std::runtime_error(message), path_(std::move(path)), error_(error) {}
    const std::string& path() const { return path_; }
    // The system's error number where a system call failed; 0 otherwise.
    int error() const { return error_; }

private:
    std::string path_;
    int error_;
};

// A file whose content cannot be what its name says (too large for its format, no data).
class CorruptFileError : public IoError {
public:
    using IoError::IoError;
};

// Throws IoError naming the path and the system's reason for errno.
[[noreturn]] void throwIoError(const std::string& what, const std::string& path, int err);

}  // namespace orv
