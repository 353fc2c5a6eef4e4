#pragma once
// What the title shows every three seconds: the next upcoming item, and the product name "Orvella" once after
// the last. The timer itself belongs to the reminder strip; this is its state, so that it runs without one.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orv {

class TickerCycle {
public:
    static constexpr const char* kProductName = "Orvella";

    // A new list: TickerPosition 0 and the timer on (it turns itself off at its first tick when there is
    // nothing to show).
    void start(std::vector<std::string> items);

    // One timer tick: the title to show, or nullopt when the title stays as it is.
    std::optional<std::string> tick();

    bool enabled() const { return enabled_; }
    void stop() { enabled_ = false; }
    int TickerPosition() const { return position_; }
    const std::vector<std::string>& items() const { return items_; }
    // The strip's label: the first item (empty without items).
    std::string firstItem() const { return items_.empty() ? std::string() : items_.front(); }

private:
    std::vector<std::string> items_;
    std::int32_t position_ = 0;
    bool enabled_ = false;
    bool showsItem_ = false;        // the title holds an item, not the product name
    bool clearStaleTitle_ = false;  // a rebuild found nothing while an item was on show
};

}  // namespace orv
