#pragma once
// The calendars kept side by side: their names in list order (a name is the stem of the calendar's
// file in the data folder), the current one, and "CalUsers.DAT".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

class CalendarList {
public:
    std::vector<std::string> Names;
    int CurrentCalendarIndex = 0;
    std::string DataFolder;

    int size() const { return static_cast<int>(Names.size()); }
    bool empty() const { return Names.empty(); }

    // Data folder + "/" + name + ".DBX". Throws IoError for a name that cannot be a file name in the
    // data folder, so that no file outside it is ever opened or written.
    std::string CalendarFileName(int index) const;
    std::string currentName() const;  // empty when the index is outside the list

    // Position of the first name equal to name ignoring case; -1 when none.
    int indexOf(std::string_view name) const;

    // "CalUsers.DAT": one name per line; written with CR LF after every line.
    static std::vector<std::string> parseUsersFile(std::string_view bytes);
    static std::string formatUsersFile(const std::vector<std::string>& names);
    void saveUsersFile(const std::string& path) const;  // through a temporary file

    // Start-up: reads the list file, adds calendars found in the data folder, corrects the index.
    // Returns true when this is a first start: the list then holds the single name "User1" and the
    // caller asks for the first calendar's name.
    bool loadAtStartup(const std::string& usersFile, int currentUserSetting);
};

// Two calendar names are the same calendar when they compare equal ignoring case; nothing is trimmed.
bool sameCalendarName(std::string_view a, std::string_view b);

// Why a name cannot name a calendar file ("/", "\", ".", "..", characters Windows refuses in file
// names, control characters); nullopt for a usable name. Emptiness is the name windows' own check.
std::optional<std::string> calendarNameProblem(std::string_view name);

}  // namespace orv
