// upcoming: the title ticker's list of yearly dates due within the coming week.

#include <ostream>

#include "cli/cli_context.h"
#include "cli/commands.h"
#include "common/file_util.h"
#include "events/birthday_list.h"
#include "ticker/second_list.h"
#include "ticker/upcoming_list.h"

namespace orv::cli {

int cmdUpcoming(CliContext& ctx, const Args& args) {
    int today = 0;
    bool todayGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--today" && i + 1 < args.size() && !todayGiven) {
            today = ctx.parseDate(args[++i]);
            todayGiven = true;
        } else {
            throw UsageError("upcoming [--today DATE]");
        }
    }
    if (!todayGiven) today = ctx.program.today();

    ctx.enterProgramFolder();
    const Program& program = ctx.program;

    BirthdayList birthdays;
    if (const auto failure = birthdays.LoadEventsFile(program.eventsFile())) throw DataError(*failure);
    const SecondList second = LoadSecondList(program.secondEventsFile());
    if (second.failure) throw DataError(*second.failure);

    for (const std::string& text : BuildTicker(yearlyRows(birthdays), second.rows, today))
        ctx.out << text << '\n';
    return 0;
}

}  // namespace orv::cli
