#pragma once
// The link that starts Orvella when the user logs on: a desktop entry "Orvella.desktop" in the XDG autostart
// folder, which stands where Windows keeps its start-up folder. The folder lookup keeps Windows' ten shell
// folder names by number so that a Windows build could use them; only "Startup" is used.

#include <string>

namespace orv {

// 0 "Desktop" ... 9 "Templates"; empty for any other number.
std::string shellFolderName(int index);
// The folder a shell folder name stands for here; empty when it has none.
std::string shellFolder(int index);
// The autostart folder ($XDG_CONFIG_HOME/autostart, else ~/.config/autostart), without a trailing "/";
// empty when neither variable gives one.
std::string startupFolder();

constexpr const char* kStartLinkName = "Orvella.desktop";

// The desktop entry that starts executable (a full path) in programFolder.
std::string startLinkText(const std::string& programFolder, const std::string& executable);

// Creates startupFolder()/"Orvella.desktop" for programFolder + "/" + executableName, and the folder first
// when it is missing (private to the user, as the desktop makes it). Does nothing when the folder is unknown
// or the link exists already (it is left unchanged). Returns whether a link was written; throws IoError
// when the folder or the link cannot be written.
bool CreateStartLink(const std::string& programFolder, const std::string& executableName = "orvella");

// Removes the link; a missing link or folder is no error, a link that stays is (IoError).
void DeleteStartLink();

}  // namespace orv
