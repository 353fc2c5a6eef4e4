// upcoming: the title ticker's list of yearly dates due within the coming week.

#include <ostream>

#include "app/app_state.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "common/clock.h"
#include "common/cp1252.h"
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
            today = parseDate(args[++i]);
            todayGiven = true;
        } else {
            throw UsageError("upcoming [--today DATE]");
        }
    }
    if (!todayGiven) today = clock::today();

    AppState& state = ctx.state;
    state.ProgramFolder = ctx.folderOption.empty() ? executableFolder() : ctx.folderOption;
    if (!folderExists(state.ProgramFolder)) throw DataError("no such folder: " + state.ProgramFolder);

    BirthdayList birthdays;
    if (const auto failure = birthdays.LoadEventsFile(state.eventsFile())) throw DataError(*failure);
    const SecondList second = LoadSecondList(state.secondEventsFile());
    if (second.failure) throw DataError(*second.failure);

    for (const std::string& text : BuildTicker(yearlyRows(birthdays), second.rows, today))
        ctx.out << cp1252ToUtf8(text) << '\n';
    return 0;
}

}  // namespace orv::cli
