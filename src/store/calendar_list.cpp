#include "store/calendar_list.h"

#include "common/cp1252.h"
#include "common/file_util.h"
#include "common/io_error.h"
#include "common/stored_text.h"
#include "common/sys_file.h"
#include "common/text_fold.h"
#include "store/cal_db.h"

namespace orv {
namespace {

constexpr std::string_view kExtension = ".DBX";
constexpr std::string_view kFirstCalendar = "User1";
constexpr size_t kMaxFileNameBytes = 255;  // NAME_MAX of the usual Linux file systems

bool isAscii(std::string_view s) {
    for (const char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// A file name in the data folder read as a calendar name: valid UTF-8, as the names are.
std::optional<std::string> stemOf(std::string_view file) {
    const std::string_view stem = file.substr(0, file.size() - kExtension.size());
    if (!isValidUtf8(stem)) return std::nullopt;
    return std::string(stem);
}

}  // namespace

bool sameCalendarName(std::string_view a, std::string_view b) {
    if (isAscii(a) && isAscii(b)) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (cp1252FoldCase(static_cast<unsigned char>(a[i])) != cp1252FoldCase(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    }
    return foldName(a) == foldName(b);
}

std::string foldCalendarName(std::string_view name) { return foldName(name); }

std::optional<std::string> calendarNameProblem(std::string_view name) {
    if (name == "." || name == "..") return std::string("A calendar cannot be named \".\" or \"..\".");
    if (!isValidUtf8(name)) return std::string("A calendar name must be text (valid UTF-8).");
    for (size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        // C1 controls (U+0080 .. U+009F) are C2 80 .. C2 9F in UTF-8.
        const bool c1 = c == 0xC2 && i + 1 < name.size() && static_cast<unsigned char>(name[i + 1]) <= 0x9F;
        if (c < 0x20 || c == 0x7F || c1)
            return std::string("A calendar name cannot contain control characters such as tabs or line breaks.");
        if (std::string_view("/\\:*?\"<>|").find(name[i]) != std::string_view::npos)
            // No-break spaces keep the characters together when the message wraps.
            return std::string(
                "A calendar name cannot contain any of these characters: "
                "/\u00A0\\\u00A0:\u00A0*\u00A0?\u00A0\"\u00A0<\u00A0>\u00A0|");
    }
    if (name.size() + kExtension.size() > kMaxFileNameBytes)
        return std::string("This name is too long to name a calendar file. Please choose a shorter name.");
    return std::nullopt;
}

namespace {

// The name of the calendar's file as it is created. Throws IoError for a name that cannot be one.
std::string newFileName(std::string_view name, const std::string& dataFolder) {
    if (const auto problem = calendarNameProblem(name))
        throw IoError("The calendar \"" + std::string(name) + "\" has a name that cannot be used as a file name. " +
                          *problem + " Please give the calendar another name.",
                      dataFolder);
    return std::string(name) + std::string(kExtension);
}

}  // namespace

std::string CalendarList::fileNameFor(std::string_view name) const {
    // A file copied from Windows may be spelled in any case ("ann.dbx").
    return findFileIgnoringCase(DataFolder, newFileName(name, DataFolder));
}

std::string CalendarList::CalendarFileName(int index) const {
    if (index < 0 || index >= size())
        throw IoError("There is no calendar number " + std::to_string(index + 1) + " in the calendar list.",
                      DataFolder);
    return fileNameFor(Names[static_cast<size_t>(index)]);
}

std::string CalendarList::currentName() const {
    if (CurrentCalendarIndex < 0 || CurrentCalendarIndex >= size()) return {};
    return Names[static_cast<size_t>(CurrentCalendarIndex)];
}

int CalendarList::indexOf(std::string_view name) const {
    for (int i = 0; i < size(); ++i)
        if (sameCalendarName(Names[static_cast<size_t>(i)], name)) return i;
    return -1;
}

std::vector<std::string> CalendarList::parseUsersFile(std::string_view bytes) {
    if (const size_t nul = bytes.find('\0'); nul != std::string_view::npos) bytes = bytes.substr(0, nul);
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        names.push_back(decodeStoredText(bytes.substr(start, i - start)));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) names.push_back(decodeStoredText(bytes.substr(start)));
    return names;
}

std::string CalendarList::formatUsersFile(const std::vector<std::string>& names) {
    std::string out;
    for (const auto& name : names) {
        out += encodeStoredText(name);
        out += "\r\n";
    }
    return out;
}

void CalendarList::saveUsersFile(const std::string& path) const { writeFileIfChanged(path, formatUsersFile(Names)); }

bool CalendarList::loadAtStartup(const std::string& usersFile, int currentUserSetting) {
    CurrentCalendarIndex = currentUserSetting;
    const auto bytes = readWholeFile(usersFile);
    Names = bytes ? parseUsersFile(*bytes) : std::vector<std::string>{};

    for (const auto& file : listFiles(DataFolder, "*.dbx")) {
        // Only the final extension goes: "J. Smith.DBX" is the calendar "J. Smith".
        const auto stem = stemOf(file);
        // A file whose name no calendar could carry is left alone.
        if (!stem || stem->empty() || calendarNameProblem(*stem)) continue;
        if (indexOf(*stem) < 0) Names.push_back(*stem);
    }

    if (!Names.empty() && (CurrentCalendarIndex < 0 || CurrentCalendarIndex >= size())) CurrentCalendarIndex = 0;
    // Calendars the data folder holds are kept even without a list (the command-line tool made them, or a
    // restore): a first start asks for a name only when there is none at all.
    if (!Names.empty()) return false;

    Names.assign(1, std::string(kFirstCalendar));
    CurrentCalendarIndex = 0;
    return true;
}

void CalendarList::activate(std::vector<std::string> names, int selection) {
    Names = std::move(names);
    CurrentCalendarIndex = (selection >= 0 && selection < size()) ? selection : 0;
}

bool CalendarList::renameEntry(std::string_view oldName, std::string_view newName) {
    for (auto& name : Names) {
        if (name == oldName) {
            name = newName;
            return true;
        }
    }
    return false;
}

bool CalendarList::renameCalendarFile(std::string_view oldName, std::string_view newName, std::string* why) const {
    const auto fail = [&](std::string reason) {
        if (why) *why = std::move(reason);
        return false;
    };
    if (const auto problem = calendarNameProblem(newName)) return fail(*problem);
    // A name that cannot have a file in the data folder has none to move.
    if (calendarNameProblem(oldName)) return true;
    const std::string from = fileNameFor(oldName);
    const std::string to = joinPath(DataFolder, newFileName(newName, DataFolder));
    if (!fileExists(from)) return true;

    // Windows would see a file differing only in case as the same file; so do we.
    for (const auto& file : listFiles(DataFolder, "*.dbx")) {
        const auto stem = stemOf(file);
        if (stem && sameCalendarName(*stem, newName) && joinPath(DataFolder, file) != from)
            return fail("A file named \"" + file + "\" already exists in the data folder.");
    }
    try {
        if (!renameWithoutReplacing(from, to))
            return fail("A file named \"" + std::string(newName) + ".DBX\" already exists in the data folder.");
    } catch (const IoError& e) {
        return fail(std::string("The calendar file could not be renamed: ") + e.what());
    }
    // The days a full calendar gave up go with it, unless the new name has such days already; a failure
    // here puts the calendar back under its old name.
    const std::string archive = purgeArchiveName(from);
    try {
        if (statPath(archive)) renameWithoutReplacing(archive, purgeArchiveName(to));
    } catch (const IoError& e) {
        try {
            renamePath(to, from);
        } catch (const IoError&) {
            return fail(std::string("The calendar file was renamed, but its archive of purged days could not "
                                    "follow: ") +
                        e.what());
        }
        return fail(std::string("The calendar file could not be renamed: ") + e.what());
    }
    return true;
}

void CalendarList::deleteCalendarFile(std::string_view name) const {
    if (calendarNameProblem(name)) return;
    const std::string path = fileNameFor(name);
    removePath(path);
}

}  // namespace orv
