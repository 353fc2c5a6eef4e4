#pragma once
// What lets several programs share one calendar: an advisory lock on "<name>.lock" beside the calendar
// file, a file that is never renamed, replaced or removed, so that every program locks the same one
// whatever becomes of the calendar file itself. Shared for reading, exclusive for writing, held for one
// operation; the wait for another program's lock is bounded. The lock file also counts the changes made
// under its exclusive lock, so that keys read at another count are known to be stale even where the
// calendar file's times are too coarse to tell two writes apart.

#include <chrono>
#include <cstdint>
#include <string>

#include "common/sys_file.h"

namespace orv {

class CalendarLock {
public:
    enum class Mode { Shared, Exclusive };
    // How long an operation waits for another program before it gives up.
    static constexpr std::chrono::milliseconds kWait{5000};

    CalendarLock() = default;  // holds nothing
    // Locks the lock file of the calendar file (its links followed). Throws IoError with
    // calendarInUseMessage when another program still holds a conflicting lock after wait, or when the
    // lock file cannot be made; the error's path is the calendar file. Where no lock file can be made
    // (a folder that is read-only or missing), a shared lock is given without one: nobody can write there.
    CalendarLock(const std::string& calendarFile, Mode mode, std::chrono::milliseconds wait = kWait);
    CalendarLock(CalendarLock&&) noexcept = default;
    CalendarLock& operator=(CalendarLock&&) noexcept = default;

    bool held() const { return held_; }
    Mode mode() const { return mode_; }
    // The changes counted under the exclusive lock so far (0 for a new lock file).
    std::uint64_t changes() const { return changes_; }
    // Exclusive only: counts one more change; called before the calendar is changed.
    void countChange();
    void release();

private:
    SysFile file_;
    std::string calendar_;
    Mode mode_ = Mode::Shared;
    bool held_ = false;
    std::uint64_t changes_ = 0;
};

// "<name>.lock" beside the calendar file that the links of calendarFile lead to.
std::string lockFileName(const std::string& calendarFile);
// What an operation says when another program holds the calendar's lock too long: the calendar's name.
std::string calendarInUseMessage(const std::string& calendarFile);

}  // namespace orv
