#pragma once
// Whole days written and read through the program's store, the way the windows keep them.

#include <optional>
#include <string>

#include "store/cal_db.h"

namespace orv::test {

inline void putDay(CalDb& store, int day, const std::string& text) { store.writeDay(day, text); }

inline std::optional<std::string> storedDay(CalDb& store, int day) { return store.readDay(day); }

}  // namespace orv::test
