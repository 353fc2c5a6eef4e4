// Printing into PDF files through the windows' own code on the offscreen platform: a week page with every
// cell full, one picture calendar page with a large picture, and a year of twelve pages in one file.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <string>
#include <vector>

#include "app/jpeg_test_util.h"
#include "common/app_context.h"
#include "common/day_number.h"
#include "common/print_target.h"
#include "desk/desk_dlg1.h"
#include "print/print_dlg.h"
#include "program/program.h"
#include "support/temp_dir.h"

namespace {

// A program folder with a large picture for every month.
struct Folder {
    orv::test::TempDir dir;
    std::vector<std::string> artwork;
    Folder() {
        const std::string picture = orv::test::makeJpeg({.width = 3000, .height = 2000, .quality = 85});
        for (int m = 1; m <= 12; ++m) {
            const std::string name = "Artwork/" + std::to_string(m) + ".jpg";
            dir.write(name, picture);
            artwork.push_back(dir.file(name));
        }
    }
};

Folder& folder() {
    static Folder f;
    return f;
}

// A week page with every one of its 28 days holding several wrapped lines.
void BM_WeekPageToPdf(benchmark::State& state) {
    orv::Program program(folder().dir.path(), orv::Clock(orv::dayNumber(2026, 3, 1)));
    program.calendars.DataFolder = folder().dir.path();
    program.calendars.Names = {"Ann"};
    program.store.OpenCurrentCalendar();
    const int first = orv::dayNumber(2026, 3, 9);
    for (int day = first; day < first + 28; ++day)
        program.store.writeDay(day,
                               "Dentist at 9:30\r\nCall the garage about the winter tyres before the first frost\r\n"
                               "<Gym>\r\nBuy flowers for the neighbours");
    orv::AppContext context(program);
    orv::TDeskDlg1 desk(context);
    desk.setPageDate(2026, 3, 11);
    const QString pdf = QString::fromStdString(folder().dir.file("week.pdf"));
    for (auto _ : state) {
        const auto target = orv::pdfTarget(pdf, QPageLayout::Landscape);
        desk.printUnshown(*target);
    }
}
BENCHMARK(BM_WeekPageToPdf)->Unit(benchmark::kMillisecond);

void BM_CalendarPageToPdf(benchmark::State& state) {
    orv::Program program(folder().dir.path(), orv::Clock(orv::dayNumber(2026, 9, 1)));
    orv::AppContext context(program);
    orv::TPrintDlg page(context);
    const QString pdf = QString::fromStdString(folder().dir.file("page.pdf"));
    for (auto _ : state) {
        page.setMonth(orv::dayNumber(2026, 9, 1), folder().artwork);
        page.FormActivate();
        const auto target = orv::pdfTarget(pdf, QPageLayout::Portrait);
        page.PrintPage(*target);
    }
}
BENCHMARK(BM_CalendarPageToPdf)->Unit(benchmark::kMillisecond);

void BM_CalendarYearToPdf(benchmark::State& state) {
    orv::Program program(folder().dir.path(), orv::Clock(orv::dayNumber(2026, 9, 1)));
    orv::AppContext context(program);
    orv::TPrintDlg page(context);
    const QString pdf = QString::fromStdString(folder().dir.file("year.pdf"));
    for (auto _ : state) {
        const auto target = orv::pdfTarget(pdf, QPageLayout::Portrait);
        const QSize sheet(target->device().width(), target->device().height());
        orv::printOnce(*target, [&](QPainter& painter) {
            for (int month = 1; month <= 12; ++month) {
                if (month > 1) target->newPage();
                page.setMonth(orv::dayNumber(2026, month, 1), folder().artwork);
                page.FormActivate();
                page.paintPage(painter, sheet);
            }
        });
    }
}
BENCHMARK(BM_CalendarYearToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
