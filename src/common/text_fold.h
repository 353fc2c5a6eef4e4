#pragma once
// Comparing texts (UTF-8) without regard to case, in every script. Searching uses full case folding
// ("STRASSE" finds "Straße", "ΣΥΝ" finds "συν") on canonically composed text; names of calendars use
// simple case folding, one character for one, as file systems that ignore case compare names.

#include <string>
#include <string_view>

namespace orv {

// The text case-folded (full folding) and composed (NFC); what searches compare. Invalid UTF-8 comes
// back as it is.
std::string foldForSearch(std::string_view utf8);

// True when text holds foldedNeedle (a result of foldForSearch) ignoring case; an empty needle is in every
// text.
bool containsFolded(std::string_view text, std::string_view foldedNeedle);

// The name with each character simply case-folded.
std::string foldName(std::string_view utf8);

}  // namespace orv
