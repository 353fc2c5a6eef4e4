#include "cli/cli.h"

#include <map>
#include <ostream>
#include <string_view>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "common/io_error.h"

namespace orv::cli {
namespace {

using Command = int (*)(CliContext&, const Args&);

const std::map<std::string, Command>& commandTable() {
    static const std::map<std::string, Command> table = {
        {"backup", cmdBackup},     {"birthdays", cmdBirthdays}, {"calendars", cmdCalendars},
        {"clear", cmdClear},       {"export", cmdExport},       {"import", cmdImport},
        {"repeat", cmdRepeat},     {"restore", cmdRestore},     {"search", cmdSearch},
        {"set", cmdSet},           {"show", cmdShow},           {"sync", cmdSync},
        {"sync-remove", cmdSyncRemove}, {"sync-setup", cmdSyncSetup}, {"unrepeat", cmdUnrepeat},
        {"upcoming", cmdUpcoming},
    };
    return table;
}

const char* const kUsage =
    "usage: orvella-cli [--folder DIR] [--calendar NAME] COMMAND [ARGUMENTS]\n"
    "commands:\n"
    "  calendars\n"
    "  show DATE [LAST]\n"
    "  set DATE TEXT\n"
    "  clear DATE\n"
    "  repeat TEXT --from DATE UNIT [--for YEARS | --until DATE] [--dry-run]\n"
    "         UNIT: --days N | --weeks N | --months N | --years N |\n"
    "               --nth K --weekday DAY --every M\n"
    "  unrepeat TEXT --from DATE\n"
    "  birthdays YEAR [--dry-run]\n"
    "  upcoming [--today DATE]\n"
    "  backup DISK_DIR... [--disk-size BYTES] [--wipe]\n"
    "  restore DISK_DIR...\n"
    "  export FILE.ics [--from DATE] [--to DATE]\n"
    "  import FILE.ics [--from DATE] [--to DATE] [--dry-run]\n"
    "  search TEXT [--from DATE] [--to DATE] [--all]\n"
    "  sync-setup URL [--user USER] [--password-file FILE] [--ca-file FILE] [--collection NAME]\n"
    "  sync [--all] [--dry-run] [--force-delete]\n"
    "  sync-remove\n"
    "DATE is YYYY-MM-DD or today; in TEXT, \\n stands for a line break.\n";

const char* const kHelpHead =
    "Usage: orvella-cli [OPTION]... COMMAND [ARGUMENTS]\n"
    "Reads and writes Orvella's calendars, yearly dates and settings from a terminal.\n"
    "\n"
    "options:\n"
    "  --folder DIR      the program folder to work in (default: the one the windows use)\n"
    "  --calendar NAME   the calendar to use (default: the current one)\n"
    "  -h, --help        show this help and exit\n"
    "  --version         show the version and exit\n"
    "\n";

const char* const kHelpTail =
    "\n"
    "Exit status: 0 on success, 1 for a usage error, 2 for a data error.\n";

}  // namespace

namespace {

int runCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Clock clock) {
    CliContext ctx(out, err, clock);
    size_t i = 0;
    try {
        for (; i < args.size(); ++i) {
            const std::string& a = args[i];
            if (a == "--folder" || a == "--calendar") {
                if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
                if (a == "--folder") ctx.folderOption = args[++i];
                else ctx.calendarOption = args[++i];
            } else if (a == "--help" || a == "-h") {
                out << kHelpHead << std::string_view(kUsage).substr(std::string_view(kUsage).find('\n') + 1)
                    << kHelpTail;
                return 0;
            } else if (a == "--version") {
                out << "orvella-cli (Orvella) " ORVELLA_VERSION "\n";
                return 0;
            } else {
                break;
            }
        }
        if (i >= args.size()) throw UsageError("no command given");
        const auto it = commandTable().find(args[i]);
        if (it == commandTable().end()) throw UsageError("unknown command: " + args[i]);
        const Args rest(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
        const int status = it->second(ctx, rest);
        if (status == 0) ctx.keepFirstCalendar();
        return status;
    } catch (const UsageError& e) {
        err << "orvella-cli: " << e.what() << '\n' << kUsage;
        return 1;
    } catch (const DataError& e) {
        err << "orvella-cli: " << e.what() << '\n';
        return 2;
    } catch (const IoError& e) {
        err << "orvella-cli: " << e.what() << '\n';
        return 2;
    } catch (const std::exception& e) {
        err << "orvella-cli: " << e.what() << '\n';
        return 2;
    }
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Clock clock) {
    const int status = runCommand(args, out, err, clock);
    // Output that never arrived (a full disk, a closed pipe) is a failure, whatever the command did.
    out.flush();
    if (!out) {
        err << "orvella-cli: the output could not be written\n";
        return 2;
    }
    return status;
}

}  // namespace orv::cli
