// Backing up 20 MB of calendars into folders and restoring them, beside `cp -r` of the same files: the
// counter "x_cp" is the engine's time over cp's for the same bytes (it flushes every file to the disk,
// cp does not).

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include <benchmark/benchmark.h>

#include "backup/backup_run.h"
#include "backup/backup_set.h"
#include "backup/restore_run.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kCalendars = 20;
constexpr size_t kCalendarBytes = 1028 * 1020;  // 1020 days each: about 1 MB

class Folder {
public:
    Folder() {
        std::string pattern = (fs::temp_directory_path() / "orvella-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string sub(const std::string& name) const { return (fs::path(path_) / name).string(); }

private:
    std::string path_;
};

void writeCalendars(const std::string& data) {
    fs::create_directories(data);
    std::string bytes(kCalendarBytes, '\0');
    for (int i = 0; i < kCalendars; ++i) {
        for (size_t j = 0; j < bytes.size(); ++j) bytes[j] = static_cast<char>((j * 31 + i) & 0x7F);
        std::ofstream(data + "/User" + std::to_string(i) + ".DBX", std::ios::binary).write(bytes.data(), bytes.size());
    }
}

double seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

void backupAndRestore(const std::string& data, const std::vector<std::string>& disks, std::uint64_t capacity) {
    orv::BackupRun backup(data, std::string(orv::kCalendarPattern), {data});
    if (!backup.makePlan(capacity) || !backup.prepare()) throw std::runtime_error("no plan");
    if (backup.plan().diskCount > static_cast<int>(disks.size())) throw std::runtime_error("too few disks");
    for (int i = 0; i < backup.plan().diskCount; ++i) backup.writeDisk(i, disks[static_cast<size_t>(i)], false);
    backup.cleanUp();
    orv::RestoreRun restore({data, fs::path(data).parent_path().string()}, std::string(orv::kCalendarPattern));
    if (restore.readFirstDisk(disks[0]) != orv::RestoreRun::FirstDisk::Found) throw std::runtime_error("no set");
    restore.begin(disks[0]);
    for (int d = restore.nextDisk(); d >= 0; d = restore.nextDisk())
        restore.stageDisk(d, disks[static_cast<size_t>(d)]);
    // The copies of the calendars replaced go again, so that every round restores alike.
    const std::string copies = restore.commit(46100).copies;
    if (!copies.empty()) fs::remove_all(copies);
}

// cp -r of the calendars to a folder and back again: the same bytes moved twice.
double copyTwice(const Folder& folder) {
    const std::string there = folder.sub("cp-there"), back = folder.sub("cp-back");
    fs::remove_all(there);
    fs::remove_all(back);
    const auto start = Clock::now();
    const std::string cmd =
        "cp -r '" + folder.sub("Data") + "' '" + there + "' && cp -r '" + there + "' '" + back + "'";
    if (std::system(cmd.c_str()) != 0) throw std::runtime_error("cp failed");
    return seconds(start);
}

void BM_BackupRestore20MB(benchmark::State& state) {
    const auto capacity = static_cast<std::uint64_t>(state.range(0));
    Folder folder;
    const std::string data = folder.sub("Data");
    writeCalendars(data);
    std::vector<std::string> disks;
    for (int i = 0; i < 20; ++i) {
        disks.push_back(folder.sub("disk" + std::to_string(i + 1)));
        fs::create_directories(disks.back());
    }
    double ours = 0, cp = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        backupAndRestore(data, disks, capacity);
        const double t = seconds(start);
        state.SetIterationTime(t);
        ours += t;
        cp += copyTwice(folder);
    }
    state.counters["x_cp"] = ours / cp;
    state.SetBytesProcessed(state.iterations() * kCalendars * static_cast<int64_t>(kCalendarBytes));
}
// One stick; floppies of 1,457,664 bytes (15 disks).
BENCHMARK(BM_BackupRestore20MB)->Arg(16LL << 30)->Arg(1457664)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
