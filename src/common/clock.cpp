#include "common/clock.h"

#include <ctime>

#include "common/day_number.h"

namespace orv {

int Clock::today() const {
    if (fixed_) return *fixed_;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return dayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

}  // namespace orv
