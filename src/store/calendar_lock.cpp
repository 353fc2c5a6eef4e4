#include "store/calendar_lock.h"

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <thread>

#include <fcntl.h>

#include "common/file_util.h"
#include "common/io_error.h"

namespace orv {
namespace {

constexpr std::size_t kCountBytes = 8;  // the change count: unsigned, little-endian, at the start

std::uint64_t countIn(const char* bytes) {
    std::uint64_t n = 0;
    for (std::size_t b = 0; b < kCountBytes; ++b) n |= std::uint64_t{static_cast<unsigned char>(bytes[b])} << (8 * b);
    return n;
}

// The calendar's name as its file shows it: the file name without folder and extension.
std::string calendarNameOf(const std::string& calendarFile) {
    const size_t slash = calendarFile.find_last_of('/');
    std::string name = slash == std::string::npos ? calendarFile : calendarFile.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

bool nobodyCanWriteThere(int error) { return error == EACCES || error == EPERM || error == EROFS || error == ENOENT; }

}  // namespace

std::string lockFileName(const std::string& calendarFile) {
    const std::string target = resolveLinks(calendarFile);
    std::string lock = withExtension(target, ".lock");
    // A calendar file that itself ends in ".lock" must never be its own lock file.
    if (lock == target) lock += ".lock";
    return lock;
}

std::string calendarInUseMessage(const std::string& calendarFile) {
    return "Another program is using the calendar \"" + calendarNameOf(calendarFile) +
           "\" at the moment, so nothing has been changed. Please try again in a moment.";
}

CalendarLock::CalendarLock(const std::string& calendarFile, Mode mode, std::chrono::milliseconds wait)
    : calendar_(calendarFile), mode_(mode) {
    const std::string name = lockFileName(calendarFile);
    const bool exclusive = mode == Mode::Exclusive;
    try {
        file_ = SysFile::create(name, O_RDWR, 0, 0666);
    } catch (const IoError& e) {
        if (exclusive || !nobodyCanWriteThere(e.error())) throw IoError(e.what(), calendarFile, e.error());
        file_ = SysFile::openExisting(name, O_RDONLY);
        if (!file_.valid()) {
            held_ = true;
            return;
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    auto pause = std::chrono::milliseconds(1);
    try {
        while (!file_.tryLock(exclusive)) {
            if (std::chrono::steady_clock::now() >= deadline)
                throw IoError(calendarInUseMessage(calendarFile), calendarFile, EAGAIN);
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::milliseconds(50));
        }
        char bytes[kCountBytes] = {};
        if (file_.readAt(bytes, kCountBytes, 0) == kCountBytes) changes_ = countIn(bytes);
    } catch (const IoError& e) {
        file_ = SysFile();
        throw IoError(e.what(), calendarFile, e.error());
    }
    held_ = true;
}

void CalendarLock::countChange() {
    if (!held_ || mode_ != Mode::Exclusive) throw std::logic_error("A change is counted under the exclusive lock only");
    const std::uint64_t next = changes_ + 1;
    char bytes[kCountBytes];
    for (std::size_t b = 0; b < kCountBytes; ++b) bytes[b] = static_cast<char>((next >> (8 * b)) & 0xFFu);
    try {
        file_.writeAt(bytes, kCountBytes, 0);
    } catch (const IoError& e) {
        throw IoError(e.what(), calendar_, e.error());
    }
    changes_ = next;
}

void CalendarLock::release() {
    // Closing the lock file ends the lock.
    file_ = SysFile();
    held_ = false;
}

}  // namespace orv
