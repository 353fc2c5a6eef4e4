// Repetitions at their largest: a daily one over 999 years, and stamping 9,000 daily lines.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "common/day_number.h"
#include "events/entry_stamper.h"
#include "events/recurrence.h"
#include "store/cal_db.h"

namespace {

void BM_ExpandDailyOver999Years(benchmark::State& state) {
    orv::RepeatSettings s;
    s.StartDate = orv::dayNumber(2024, 1, 1);
    s.RepeatKind = orv::rkDays;
    s.Interval = 1;
    s.YearsToRepeat = 999;
    size_t count = 0;
    for (auto _ : state) {
        const auto dates = orv::expandRepetition(s);
        count = dates.size();
        benchmark::DoNotOptimize(dates.data());
    }
    state.counters["dates"] = static_cast<double>(count);
}
BENCHMARK(BM_ExpandDailyOver999Years)->Unit(benchmark::kMillisecond);

void BM_ExpandNthWeekdayOver999Years(benchmark::State& state) {
    orv::RepeatSettings s;
    s.StartDate = orv::dayNumber(2024, 1, 1);
    s.RepeatKind = orv::rkNthWeekday;
    s.Interval = 1;
    s.NthOccurrence = 2;
    s.Weekday = 3;
    s.YearsToRepeat = 999;
    for (auto _ : state) benchmark::DoNotOptimize(orv::expandRepetition(s).size());
}
BENCHMARK(BM_ExpandNthWeekdayOver999Years)->Unit(benchmark::kMicrosecond);

// 9,000 daily lines into an empty calendar: one lookup and one record write per date.
void BM_StampDailyIntoEmptyCalendar(benchmark::State& state) {
    std::string folder = (std::filesystem::temp_directory_path() / "orvella-events-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) throw std::runtime_error("mkdtemp failed");
    const std::string file = folder + "/Bench.DBX";
    std::vector<int> dates;
    for (int i = 0; i < 9000; ++i) dates.push_back(orv::dayNumber(2024, 1, 1) + i);
    orv::CalDb store;
    size_t added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(file);
        store.LoadStore(file);
        state.ResumeTiming();
        added = orv::stampRepetition(store, dates, "<Take the tablets>\r\n").added.size();
    }
    if (added != dates.size()) state.SkipWithError("not every date was stamped");
    state.counters["dates"] = static_cast<double>(dates.size());
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_StampDailyIntoEmptyCalendar)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
