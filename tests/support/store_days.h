#pragma once
// Whole days written and read through the program's store, the way the windows keep them.

#include <optional>
#include <string>

#include "store/cal_db.h"

namespace orv::test {

inline void putDay(int day, const std::string& text) {
    CalDb& store = calDb();
    const bool known = store.FindDay(day);
    store.CurrentRecord.clear();
    store.CurrentRecord.Date = day;
    store.CurrentRecord.setText(text);
    if (known) store.StoreDay();
    else store.AppendDay();
}

inline std::optional<std::string> storedDay(int day) {
    if (!calDb().FetchDay(day)) return std::nullopt;
    return calDb().CurrentRecord.text();
}

}  // namespace orv::test
