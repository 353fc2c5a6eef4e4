#include "app/start_link.h"

#include <array>
#include <cstdlib>

#include "common/file_util.h"
#include "common/sys_file.h"

namespace orv {
namespace {

constexpr int kStartup = 8;

const std::array<const char*, 10> kShellFolderNames = {
    "Desktop", "Favorites", "Fonts", "NetHood", "Programs", "Recent", "SendTo", "Start Menu", "Startup", "Templates",
};

std::string environment(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string withoutTrailingSeparator(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

// A string value of a desktop entry: backslash and control characters escaped.
std::string entryString(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    return out;
}

// One argument of an Exec line: quoted when it holds a reserved character, '%' doubled (a field code
// otherwise), then escaped as any string value.
std::string execArgument(const std::string& arg) {
    static const std::string reserved = " \t\n\"'\\><~|&;$*?#()`";
    bool quote = arg.empty();
    std::string body;
    for (char c : arg) {
        if (reserved.find(c) != std::string::npos) quote = true;
        if (c == '"' || c == '`' || c == '$' || c == '\\') body += '\\';
        if (c == '%') body += '%';
        body += c;
    }
    if (!quote) {
        body.clear();
        for (char c : arg) {
            if (c == '%') body += '%';
            body += c;
        }
    }
    return entryString(quote ? "\"" + body + "\"" : body);
}

}  // namespace

std::string shellFolderName(int index) {
    if (index < 0 || index >= static_cast<int>(kShellFolderNames.size())) return {};
    return kShellFolderNames[static_cast<size_t>(index)];
}

std::string shellFolder(int index) {
    // Only the start-up folder has a counterpart on this desktop.
    if (shellFolderName(index) != "Startup") return {};
    std::string config = environment("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') {  // a relative value is to be ignored
        const std::string home = environment("HOME");
        if (home.empty()) return {};
        config = joinPath(home, ".config");
    }
    return joinPath(withoutTrailingSeparator(config), "autostart");
}

std::string startupFolder() { return shellFolder(kStartup); }

std::string startLinkText(const std::string& programFolder, const std::string& executable) {
    std::string text;
    text += "[Desktop Entry]\n";
    text += "Type=Application\n";
    text += "Name=Orvella\n";
    text += "Comment=Orvella 3\n";
    text += "Exec=" + execArgument(executable) + "\n";
    text += "Path=" + entryString(programFolder) + "\n";
    text += "Terminal=false\n";
    return text;
}

bool CreateStartLink(const std::string& programFolder, const std::string& executableName) {
    const std::string folder = withoutTrailingSeparator(programFolder);
    const std::string startup = startupFolder();
    if (startup.empty()) return false;
    const std::string link = joinPath(startup, kStartLinkName);
    if (statPath(link)) return false;
    makeFolders(startup, 0700);
    writeFileAtomically(link, startLinkText(folder, joinPath(folder, executableName)));
    return true;
}

void DeleteStartLink() {
    const std::string startup = startupFolder();
    if (startup.empty() || !folderExists(startup)) return;
    removePath(joinPath(startup, kStartLinkName));
}

}  // namespace orv
