#pragma once
// Taking a repeating event's entry line ("<" text ">" and its line break) out of every day of the open
// calendar from a given day on: the week page's removal and `orvella-cli unrepeat` share it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

class CalDb;

// The marker a selection in a cell names: the selection up to and including its first ">". nullopt when
// the selection is empty, does not begin with "<" or holds no ">".
std::optional<std::string> entryMarkerOf(std::string_view selection);

// Removes the first occurrence of marker from one text, with the line break right after it when there
// is one. nullopt when the text does not hold the marker.
std::optional<std::string> withoutEntry(std::string_view text, std::string_view marker);

// For every record of the open calendar dated on or after start: removes the first occurrence of
// marker (withoutEntry); a day left empty is deleted, any other is rewritten in its own record. Days
// already deleted are passed over. The calendar file gets all these changes, deletions included, or
// (when anything fails; the IoError is thrown) none; the keys are reloaded after. Returns the changed
// days in file order.
std::vector<int> removeEntryLines(CalDb& store, double start, std::string_view marker);

}  // namespace orv
