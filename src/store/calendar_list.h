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
    std::vector<std::string> Names;  // UTF-8
    int CurrentCalendarIndex = 0;
    std::string DataFolder;  // UTF-8

    int size() const { return static_cast<int>(Names.size()); }
    bool empty() const { return Names.empty(); }

    // Data folder + "/" + name + ".DBX", or the existing file of that name in another case. Throws IoError for a name
    // that cannot be a file name in the data folder, so that no file outside it is ever opened or written.
    std::string CalendarFileName(int index) const;
    // The same for a name that need not be in the list (the Users window's working list).
    std::string fileNameFor(std::string_view name) const;
    std::string currentName() const;  // empty when the index is outside the list

    // Position of the first name equal to name ignoring case; -1 when none.
    int indexOf(std::string_view name) const;

    // "CalUsers.DAT": one name per line, each stored as texts are (common/stored_text.h); written with CR LF
    // after every line.
    static std::vector<std::string> parseUsersFile(std::string_view bytes);
    static std::string formatUsersFile(const std::vector<std::string>& names);
    void saveUsersFile(const std::string& path) const;  // through a temporary file

    // Start-up: reads the list file, adds calendars found in the data folder, corrects the index.
    // Returns true when this is a first start (no calendar named by the list file nor found in the data
    // folder): the list then holds the single name "User1" and the caller asks for the first calendar's
    // name.
    bool loadAtStartup(const std::string& usersFile, int currentUserSetting);

    // The Users window's working list becomes the list; the selection becomes current. With nothing
    // selected (or a selection outside the list) the first calendar becomes current.
    void activate(std::vector<std::string> names, int selection);

    // Gives the entry spelled exactly oldName the new name; false when no entry is spelled so.
    bool renameEntry(std::string_view oldName, std::string_view newName);

    // Moves the file of calendar oldName to the file name of newName, never over an existing file (nor
    // over one whose name differs only in the case of letters, which is the same calendar to Windows).
    // True when the calendar may take the new name: its file moved, or it had none. False, with the
    // reason (UTF-8) in *why, when the file stays where it is.
    bool renameCalendarFile(std::string_view oldName, std::string_view newName, std::string* why = nullptr) const;

    // Deletes the calendar's file; a missing file (or a name that cannot have a file) is no error.
    // Throws IoError when the file exists and cannot be deleted.
    void deleteCalendarFile(std::string_view name) const;
};

// Two calendar names are the same calendar when they compare equal ignoring case (simple case folding,
// every script); whole strings, nothing trimmed.
bool sameCalendarName(std::string_view a, std::string_view b);
// The name in the one case that sameCalendarName compares, for keys of sets and maps.
std::string foldCalendarName(std::string_view name);

// Why a name cannot name a calendar file ("/", "\", ".", "..", characters Windows refuses in file
// names, control characters, not UTF-8, too long a name); nullopt for a usable name. Emptiness is the name
// windows' own check.
std::optional<std::string> calendarNameProblem(std::string_view name);

}  // namespace orv
