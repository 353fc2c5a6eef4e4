// iCalendar at its largest: a full calendar exported, beside a plain libical program building the same
// all-day events and printing them (the export should take at most 1.3 times as long), and a daily event
// over twenty years imported.

#include <benchmark/benchmark.h>
#include <libical/ical.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/day_number.h"
#include "events/birthday_list.h"
#include "events/entry_stamper.h"
#include "events/ical_reader.h"
#include "events/ical_writer.h"
#include "store/cal_db.h"

namespace {

constexpr int kFullCalendar = orv::kPurgeThreshold - 1;

std::string dayText(int i) { return "Reminder for day " + std::to_string(i) + "\r\n<Weekly meeting>\r\n"; }

std::string makeFolder() {
    std::string folder = (std::filesystem::temp_directory_path() / "orvella-ical-bench-XXXXXX").string();
    if (!::mkdtemp(folder.data())) throw std::runtime_error("mkdtemp failed");
    return folder;
}

void BM_ExportFullCalendar(benchmark::State& state) {
    const std::string folder = makeFolder();
    orv::CalDb store;
    store.LoadStore(folder + "/Bench.DBX");
    const int first = orv::dayNumber(2000, 1, 1);
    for (int i = 0; i < kFullCalendar; ++i) {
        store.writeDay(first + i, dayText(i));
    }
    orv::BirthdayList yearly;
    size_t bytes = 0;
    int days = 0;
    for (auto _ : state) {
        const orv::IcalExport out =
            orv::exportCalendar(store, yearly, "Bench", orv::minDayNumber(), orv::maxDayNumber(), first, 0);
        bytes = out.text.size();
        days = out.days;
    }
    if (days != kFullCalendar) state.SkipWithError("not every day was exported");
    state.counters["bytes"] = static_cast<double>(bytes);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ExportFullCalendar)->Unit(benchmark::kMillisecond);

icaltimetype dateOf(int day) {
    const orv::Ymd ymd = orv::toYmd(day);
    icaltimetype t = icaltime_null_date();
    t.year = ymd.year;
    t.month = ymd.month;
    t.day = ymd.day;
    return t;
}

// The same events with the library's own calls, from texts already in memory: what any program that
// exports through libical pays at the least.
void BM_ExportFullCalendarLibicalBaseline(benchmark::State& state) {
    const int first = orv::dayNumber(2000, 1, 1);
    std::vector<std::string> texts;
    for (int i = 0; i < kFullCalendar; ++i) texts.push_back(dayText(i));
    const icaltimetype stamp = icaltime_from_timet_with_zone(0, 0, icaltimezone_get_utc_timezone());
    size_t bytes = 0;
    for (auto _ : state) {
        icalcomponent* cal = icalcomponent_new_vcalendar();
        icalcomponent_add_property(cal, icalproperty_new_version("2.0"));
        icalcomponent_add_property(cal, icalproperty_new_prodid("-//Bench//Bench//EN"));
        for (int i = 0; i < kFullCalendar; ++i) {
            icalcomponent* e = icalcomponent_new_vevent();
            const std::string uid = std::to_string(first + i) + "-bench@example.org";
            icalcomponent_add_property(e, icalproperty_new_uid(uid.c_str()));
            icalcomponent_add_property(e, icalproperty_new_dtstamp(stamp));
            icalcomponent_add_property(e, icalproperty_new_dtstart(dateOf(first + i)));
            icalcomponent_add_property(e, icalproperty_new_dtend(dateOf(first + i + 1)));
            const std::string summary = "Reminder for day " + std::to_string(i);
            icalcomponent_add_property(e, icalproperty_new_summary(summary.c_str()));
            icalcomponent_add_property(e, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
            std::string description = texts[static_cast<size_t>(i)];
            for (size_t at = description.find("\r\n"); at != std::string::npos; at = description.find("\r\n", at))
                description.erase(at, 1);
            icalcomponent_add_property(e, icalproperty_new_description(description.c_str()));
            icalcomponent_add_component(cal, e);
        }
        char* raw = icalcomponent_as_ical_string_r(cal);
        bytes = std::strlen(raw);
        icalmemory_free_buffer(raw);
        icalcomponent_free(cal);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ExportFullCalendarLibicalBaseline)->Unit(benchmark::kMillisecond);

// Reading, expanding and stamping into an empty calendar, as `orvella-cli import` does.
void BM_ImportDailyOver20Years(benchmark::State& state) {
    const std::string folder = makeFolder();
    const std::string file = folder + "/Bench.DBX";
    const std::string ics =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//Bench//EN\r\nBEGIN:VEVENT\r\nUID:pills\r\n"
        "DTSTAMP:20240101T000000Z\r\nDTSTART:20240101T080000Z\r\nRRULE:FREQ=DAILY;UNTIL=20431231T235959Z\r\n"
        "SUMMARY:Take the tablets\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    const int first = orv::dayNumber(2024, 1, 1);
    const int last = orv::dayNumber(2043, 12, 31);
    orv::CalDb store;
    size_t added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove(file);
        store.LoadStore(file);
        state.ResumeTiming();
        orv::IcalReader reader(ics);
        added = orv::stampItems(store, reader.entries(first, last)).added.size();
    }
    if (added != static_cast<size_t>(last - first + 1)) state.SkipWithError("not every day was stamped");
    state.counters["days"] = static_cast<double>(added);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ImportDailyOver20Years)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
