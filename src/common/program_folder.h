#pragma once
// Where the program keeps its files. A portable copy (the build folder, a folder on a stick) keeps them
// beside its executable. An installed copy (a "share/orvella" folder beside the executable's folder, as
// under /usr or /usr/local) keeps each user's files in $XDG_DATA_HOME/orvella, started with copies of the
// shipped "Artwork" and "SOUNDS" that the user may replace. The layout alone decides: root may write
// anywhere and must still not write into /usr.

#include <optional>
#include <string>

namespace orv {

struct UserEnvironment {
    std::string xdgDataHome;  // $XDG_DATA_HOME; only an absolute path counts
    std::string home;         // $HOME, else the home folder of the password database

    static UserEnvironment current();
};

// "<executable folder>/../share/orvella" when that folder exists (an installed copy); nullopt otherwise.
std::optional<std::string> shippedFilesFolder(const std::string& executableFolder);

// $XDG_DATA_HOME/orvella, else <home>/.local/share/orvella. Throws IoError when neither is an absolute path.
std::string userProgramFolder(const UserEnvironment& env);

// The program folder of the executable in executableFolder. For an installed copy the per-user folder is
// created (readable by its owner only), and each of "Artwork" and "SOUNDS" that it lacks is copied in from
// the shipped files, whole or not at all; what the user changed there is never touched. Throws IoError
// naming the folder when it cannot be created or filled.
std::string resolveProgramFolder(const std::string& executableFolder, const UserEnvironment& env);

// The same for this executable and this user.
std::string resolveProgramFolder();

}  // namespace orv
