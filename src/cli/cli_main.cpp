#include <cerrno>
#include <iostream>
#include <streambuf>

#include <fcntl.h>
#include <unistd.h>

#include "cli/cli.h"

namespace {

// A standard stream the caller closed gets /dev/null on its descriptor, so that no file the program opens
// takes its number and receives what was meant for the terminal. Returns whether it was closed.
bool reserveIfClosed(int fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) return false;
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0 && null != fd) {
        ::dup2(null, fd);
        ::close(null);
    }
    return true;
}

// Standard output that was closed: anything written to it fails, and the run says so.
class ClosedOutput : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

}  // namespace

int main(int argc, char** argv) {
    reserveIfClosed(STDIN_FILENO);
    const bool outputClosed = reserveIfClosed(STDOUT_FILENO);
    reserveIfClosed(STDERR_FILENO);
    ClosedOutput closed;
    std::streambuf* const terminal = outputClosed ? std::cout.rdbuf(&closed) : nullptr;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = orv::cli::run(args, std::cout, std::cerr);
    if (outputClosed) std::cout.rdbuf(terminal);  // flushed once more at exit
    return status;
}
