#pragma once
// Whole days written and read through the program's store, the way the windows keep them.

#include <optional>
#include <string>

#include "app/app_state.h"
#include "store/cal_db.h"

namespace orv::test {

inline void putDay(int day, const std::string& text) { appState().store.writeDay(day, text); }

inline std::optional<std::string> storedDay(int day) { return appState().store.readDay(day); }

}  // namespace orv::test
