// Showing one day of a full calendar (9,999 days) and searching all of them, for texts in Windows-1252
// and in other scripts.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "store/cal_db.h"
#include "store/day_search.h"

namespace {

constexpr int kFirstDay = 40000;
constexpr int kDays = orv::kPurgeThreshold - 1;

class Folder {
public:
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvella-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// range(0): 0 texts of Windows-1252 (accents included), 1 texts in other scripts.
void fill(orv::CalDb& db, const std::string& path, bool otherScripts) {
    db.LoadStore(path);
    db.beginChanges();
    for (int i = 0; i < kDays; ++i) {
        const std::string n = std::to_string(i);
        db.writeDay(kFirstDay + i, otherScripts ? "Spotkanie " + n + " w Łodzi\r\n<Συνάντηση> 会议 " + n + "\r\n"
                                                : "Réunion " + n + " à Genève\r\n<Weekly meeting> café " + n + "\r\n");
    }
    db.commitChanges();
}

void BM_ShowOneDay(benchmark::State& state) {
    Folder folder;
    orv::CalDb db;
    fill(db, folder.file("Bench.DBX"), state.range(0) != 0);
    int day = 0;
    for (auto _ : state) {
        auto text = db.readDay(kFirstDay + day);
        benchmark::DoNotOptimize(text);
        day = (day + 7919) % kDays;
    }
}
BENCHMARK(BM_ShowOneDay)->Arg(0)->Arg(1)->ArgName("otherScripts")->Unit(benchmark::kMicrosecond);

void BM_SearchAllDays(benchmark::State& state) {
    Folder folder;
    orv::CalDb db;
    const bool other = state.range(0) != 0;
    fill(db, folder.file("Bench.DBX"), other);
    size_t found = 0;
    for (auto _ : state) {
        found = orv::searchDays(db, other ? "ŁODZI" : "GENÈVE", kFirstDay, kFirstDay + kDays).size();
        benchmark::DoNotOptimize(found);
    }
    if (found != static_cast<size_t>(kDays)) state.SkipWithError("wrong match count");
}
BENCHMARK(BM_SearchAllDays)->Arg(0)->Arg(1)->ArgName("otherScripts")->Unit(benchmark::kMillisecond);

}  // namespace
