#pragma once
// The commands of orvella-cli; each takes the arguments after its name and returns the exit status.

#include <string>
#include <vector>

namespace orv::cli {

class CliContext;
using Args = std::vector<std::string>;

int cmdCalendars(CliContext& ctx, const Args& args);
int cmdShow(CliContext& ctx, const Args& args);
int cmdSet(CliContext& ctx, const Args& args);
int cmdClear(CliContext& ctx, const Args& args);
int cmdRepeat(CliContext& ctx, const Args& args);
int cmdBirthdays(CliContext& ctx, const Args& args);
int cmdUpcoming(CliContext& ctx, const Args& args);
int cmdUnrepeat(CliContext& ctx, const Args& args);
int cmdBackup(CliContext& ctx, const Args& args);
int cmdRestore(CliContext& ctx, const Args& args);
int cmdExport(CliContext& ctx, const Args& args);
int cmdImport(CliContext& ctx, const Args& args);
int cmdSearch(CliContext& ctx, const Args& args);
int cmdSyncSetup(CliContext& ctx, const Args& args);
int cmdSync(CliContext& ctx, const Args& args);
int cmdSyncRemove(CliContext& ctx, const Args& args);

}  // namespace orv::cli
