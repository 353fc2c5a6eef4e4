#include "common/clock.h"

#include <ctime>

#include "common/day_number.h"

namespace orv::clock {
namespace {
std::optional<int> g_fixed;
}

int today() {
    if (g_fixed) return *g_fixed;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return dayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

void setToday(std::optional<int> fixedDay) { g_fixed = fixedDay; }

}  // namespace orv::clock
