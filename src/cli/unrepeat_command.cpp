// unrepeat: a repeating event's entry line out of every day from a date on, as the week page removes it.

#include <algorithm>
#include <ostream>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "common/date_format.h"
#include "desk/entry_removal.h"

namespace orv::cli {

int cmdUnrepeat(CliContext& ctx, const Args& args) {
    const char* const usage = "unrepeat TEXT --from DATE";
    if (args.size() != 3 || args[1] != "--from") throw UsageError(usage);
    const std::string marker = "<" + parseText(args[0]) + ">";
    const int from = ctx.parseDate(args[2]);
    ctx.openCalendar();
    std::vector<int> changed = removeEntryLines(ctx.program.store, from, marker);
    ctx.flush();
    std::sort(changed.begin(), changed.end());
    for (const int day : changed) ctx.out << isoDate(day) << '\n';
    return 0;
}

}  // namespace orv::cli
