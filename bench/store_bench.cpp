// The calendar store at its largest: a calendar just below the purge threshold.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "store/cal_db.h"

namespace {

constexpr int kFirstDay = 40000;
constexpr int kFullCalendar = orv::kPurgeThreshold - 1;

class BenchFolder {
public:
    BenchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvella-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~BenchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A calendar of `days` consecutive days from kFirstDay, each with a short text.
std::string writeCalendar(const BenchFolder& folder, int days) {
    const std::string path = folder.file("Bench.DBX");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < days; ++i) {
        orv::ReminderRecord r;
        r.Date = kFirstDay + i;
        r.setText("Reminder for day " + std::to_string(i) + "\r\n<Weekly meeting>\r\n");
        const auto bytes = r.toBytes();
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    return path;
}

void BM_LoadStore(benchmark::State& state) {
    BenchFolder folder;
    const std::string path = writeCalendar(folder, kFullCalendar);
    orv::CalDb db;
    for (auto _ : state) {
        db.LoadStore(path);
        benchmark::DoNotOptimize(db.LoadedCount);
    }
    if (db.LoadedCount != kFullCalendar) state.SkipWithError("wrong record count");
    state.SetItemsProcessed(state.iterations() * kFullCalendar);
}
BENCHMARK(BM_LoadStore)->Unit(benchmark::kMillisecond);

// range(0): 1 looks up days that are present, 0 days that are not.
void BM_FindDay(benchmark::State& state) {
    BenchFolder folder;
    orv::CalDb db;
    db.LoadStore(writeCalendar(folder, kFullCalendar));
    const int first = state.range(0) ? kFirstDay : kFirstDay + kFullCalendar;
    int found = 0;
    for (auto _ : state) {
        for (int i = 0; i < kFullCalendar; ++i) found += db.FindDay(first + i) ? 1 : 0;
        benchmark::DoNotOptimize(found);
    }
    if (found != (state.range(0) ? kFullCalendar * static_cast<int>(state.iterations()) : 0))
        state.SkipWithError("wrong lookup result");
    state.SetItemsProcessed(state.iterations() * kFullCalendar);
}
BENCHMARK(BM_FindDay)->Arg(1)->Arg(0)->ArgName("hits")->Unit(benchmark::kMicrosecond);

// Showing one day of a full calendar, as "orvella-cli show" does: the keys loaded, the day's record read.
void BM_ShowOneDayOfFullCalendar(benchmark::State& state) {
    BenchFolder folder;
    const std::string path = writeCalendar(folder, kFullCalendar);
    size_t shown = 0;
    for (auto _ : state) {
        orv::CalDb db;
        db.readOnly = true;
        db.LoadStore(path);
        shown += db.readDay(kFirstDay + kFullCalendar / 2).value_or("").size();
    }
    if (shown == 0) state.SkipWithError("the day was not found");
}
BENCHMARK(BM_ShowOneDayOfFullCalendar)->Unit(benchmark::kMillisecond);

// One operation on an open full calendar: a day read, or a day written in its record. Against the same
// figures without the calendar's lock, the difference is what the lock and the check of the keys against
// the file cost each operation.
void BM_OneOperation(benchmark::State& state) {
    BenchFolder folder;
    orv::CalDb db;
    db.LoadStore(writeCalendar(folder, kFullCalendar));
    const bool writing = state.range(0) != 0;
    size_t n = 0;
    for (auto _ : state) {
        const int day = kFirstDay + static_cast<int>(n++ % kFullCalendar);
        if (writing) db.writeDay(day, "Rewritten\r\n");
        else benchmark::DoNotOptimize(db.readDay(day));
    }
}
BENCHMARK(BM_OneOperation)->Arg(0)->Arg(1)->ArgName("write")->Unit(benchmark::kMicrosecond);

// Stamping a repeating event into an empty calendar: a fetch that misses and an append per day, each written
// at once, under one hold of the calendar's lock as every stamping holds it (BM_OneOperation shows what the
// lock costs each operation taken alone).
void BM_StampDaysIntoEmptyCalendar(benchmark::State& state) {
    constexpr int kDays = 9000;
    BenchFolder folder;
    const std::string path = folder.file("Bench.DBX");
    orv::CalDb db;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(path);
        db.LoadStore(path);
        state.ResumeTiming();
        const orv::CalDb::Hold stamping = db.holdForWriting();
        for (int i = 0; i < kDays; ++i) {
            if (db.FetchDay(kFirstDay + i)) continue;
            db.CurrentRecord.Date = kFirstDay + i;
            db.CurrentRecord.setText("<Weekly meeting>\r\n");
            db.AppendDay();
        }
    }
    if (db.keyList.size() != kDays) state.SkipWithError("wrong day count");
    state.SetItemsProcessed(state.iterations() * kDays);
}
BENCHMARK(BM_StampDaysIntoEmptyCalendar)->Unit(benchmark::kMillisecond);

}  // namespace
