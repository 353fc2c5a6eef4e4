#include "app/batch_print.h"

#include <QPainter>
#include <ostream>

#include "app/artwork_list.h"
#include "app/program_options.h"
#include "cli/cli_context.h"
#include "common/app_context.h"
#include "common/day_number.h"
#include "common/io_error.h"
#include "common/print_target.h"
#include "common/ui_seams.h"
#include "desk/desk_dlg1.h"
#include "print/cmd_dlg.h"
#include "print/print_dlg.h"

namespace orv {
namespace {

// Message boxes become lines on the error stream; no window is ever shown.
class BatchUi : public UiSeams {
public:
    explicit BatchUi(std::ostream& err) : err_(err) {}
    int message(QWidget*, MsgIcon, const QString& text, MsgButtons buttons) override {
        QString line = text;
        line.replace(QChar('\r'), QChar(' ')).replace(QChar('\n'), QChar(' '));
        err_ << "orvella: " << line.toStdString() << '\n';
        return buttons == MsgButtons::Ok ? mrOk : mrCancel;
    }
    void beep() override {}
    int execModal(QDialog*) override { return mrCancel; }

private:
    std::ostream& err_;
};

void printCalendar(AppContext& context, const ProgramOptions& options) {
    const auto request = parseCalendarRequest(options.what);
    if (!request) throw cli::DataError("invalid month or year: " + options.what);
    Program& program = context.program();
    TPrintDlg page(context);
    TCmdDlg controls(context);
    QObject::connect(&controls, &TCmdDlg::choiceChanged, &page, &TPrintDlg::setChoice);
    page.setChoice(options.mono, options.white);
    const std::vector<std::string> artwork = BuildArtworkList(program.artworkFolder());
    const int first = request->month == 0 ? 1 : request->month;
    const int last = request->month == 0 ? 12 : request->month;
    const auto target = pdfTarget(QString::fromStdString(options.pdf), QPageLayout::Portrait);
    const QSize sheet(target->device().width(), target->device().height());
    printOnce(*target, [&](QPainter& painter) {
        for (int month = first; month <= last; ++month) {
            if (month > first && !target->newPage()) throw PrintError("The PDF file could not take another page.");
            page.setMonth(dayNumber(request->year, month, 1), artwork);
            page.FormActivate();
            page.paintPage(painter, sheet);
        }
    });
}

void printWeek(AppContext& context, const cli::CliContext& ctx, const ProgramOptions& options) {
    const Ymd day = toYmd(ctx.parseDate(options.what));
    TDeskDlg1 desk(context);
    desk.setPageDate(day.year, day.month, day.day);
    const auto target = pdfTarget(QString::fromStdString(options.pdf), QPageLayout::Landscape);
    desk.printUnshown(*target);
}

}  // namespace

int runBatchPrint(const ProgramOptions& options, std::ostream& err) {
    std::ostream& none = err;  // nothing is written to standard output
    cli::CliContext ctx(none, err);
    ctx.folderOption = options.folder;
    BatchUi ui(err);
    try {
        // A printout only reads: a full calendar keeps its oldest days until it is opened to be changed.
        ctx.openCalendarForReading();
        AppContext context(ctx.program, {&ui});
        if (options.print == ProgramOptions::Print::Week) printWeek(context, ctx, options);
        else printCalendar(context, options);
        return 0;
    } catch (const std::exception& e) {
        err << "orvella: " << e.what() << '\n';
        return 2;
    }
}

}  // namespace orv
