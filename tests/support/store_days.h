#pragma once
// Whole days written and read through the program's store, the way the windows keep them.

#include <optional>
#include <string>
#include <string_view>

#include "store/cal_db.h"

namespace orv::test {

inline void putDay(CalDb& store, int day, const std::string& text) { store.writeDay(day, text); }

inline std::optional<std::string> storedDay(CalDb& store, int day) { return store.readDay(day); }

// One record's bytes as the calendar file holds them, for tests that build or compare files directly.
inline std::string record(double date, std::string_view text) {
    ReminderRecord r;
    r.Date = date;
    r.setText(text);
    const auto b = r.toBytes();
    return std::string(b.data(), b.size());
}

}  // namespace orv::test
