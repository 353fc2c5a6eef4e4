#include "ticker/ticker_cycle.h"

namespace orv {

void TickerCycle::start(std::vector<std::string> items) {
    items_ = std::move(items);
    position_ = 0;
    enabled_ = true;
    // Yesterday's birthday must not stay in the title for good when nothing is due any more.
    clearStaleTitle_ = items_.empty() && showsItem_;
}

std::optional<std::string> TickerCycle::tick() {
    if (!enabled_) return std::nullopt;
    const auto n = static_cast<std::int32_t>(items_.size());
    if (n == 0) {
        enabled_ = false;
        if (!clearStaleTitle_) return std::nullopt;
        clearStaleTitle_ = false;
        showsItem_ = false;
        return std::string(kProductName);
    }
    ++position_;
    if (position_ == n) {
        showsItem_ = false;
        return std::string(kProductName);
    }
    if (position_ > n) position_ = 0;
    showsItem_ = true;
    return items_[static_cast<size_t>(position_)];
}

}  // namespace orv
