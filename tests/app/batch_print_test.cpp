// The program's printouts for scripts: the command line read into a request, and the PDF files made from
// a program folder without a window, with their exit status and their one line of error.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QtTest>
#include <cerrno>
#include <sstream>
#include <sys/stat.h>

#include "app/batch_print.h"
#include "app/command_line.h"
#include "app/jpeg_test_util.h"
#include "common/sys_file.h"
#include "store/cal_db.h"
#include "support/pdf_pages.h"
#include "support/store_days.h"
#include "support/temp_dir.h"

using namespace orv;
using test::pdfPages;

class BatchPrintTest : public QObject {
    Q_OBJECT
private slots:
    void commandLineNamesThePrintout_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exit");  // -1: goes on
        QTest::addColumn<int>("print");
        QTest::addColumn<QString>("what");
        QTest::addColumn<bool>("mono");
        const int none = int(ProgramOptions::Print::None), week = int(ProgramOptions::Print::Week);
        const int calendar = int(ProgramOptions::Print::Calendar);
        QTest::newRow("windows") << QStringList{"--folder", "/p"} << -1 << none << "" << false;
        QTest::newRow("week") << QStringList{"--print-week", "today", "--pdf", "w.pdf"} << -1 << week << "today"
                              << false;
        QTest::newRow("month, equals signs")
            << QStringList{"--print-calendar=2026-09", "--pdf=c.pdf", "--mono"} << -1 << calendar << "2026-09" << true;
        QTest::newRow("no file") << QStringList{"--print-calendar", "2026"} << 1 << none << "" << false;
        QTest::newRow("no date") << QStringList{"--print-week"} << 1 << none << "" << false;
        QTest::newRow("both") << QStringList{"--print-week", "today", "--print-calendar", "2026", "--pdf", "x"} << 1
                              << none << "" << false;
        QTest::newRow("mono for a week") << QStringList{"--print-week", "today", "--pdf", "x", "--mono"} << 1 << none
                                         << "" << false;
    }
    void commandLineNamesThePrintout() {
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(int, print);
        QFETCH(QString, what);
        QFETCH(bool, mono);
        CommandLine line;
        std::ostringstream out, err;
        const auto status = line.parse(QStringList{"orvella"} + args, out, err);
        QCOMPARE(status ? *status : -1, exit);
        if (status) {
            QVERIFY(QString::fromStdString(err.str()).startsWith("orvella: "));
            return;
        }
        QCOMPARE(int(line.options().print), print);
        QCOMPARE(QString::fromStdString(line.options().what), what);
        QCOMPARE(line.options().mono, mono);
    }

    void printoutsIntoPdfFiles_data() {
        QTest::addColumn<QString>("print");  // week or calendar
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("pdf");  // in the program folder
        QTest::addColumn<int>("exit");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("error");  // the start of the one line on standard error
        QTest::newRow("a week") << "week"
                                << "2026-03-11"
                                << "w.pdf" << 0 << 1 << "";
        QTest::newRow("a month") << "calendar"
                                 << "2026-09"
                                 << "c.pdf" << 0 << 1 << "";
        QTest::newRow("a year") << "calendar"
                                << "2026"
                                << "y.pdf" << 0 << 12 << "";
        QTest::newRow("no such date") << "week"
                                      << "2026-02-30"
                                      << "w.pdf" << 2 << -1 << "orvella: invalid date: 2026-02-30";
        QTest::newRow("no such month") << "calendar"
                                       << "2026-13"
                                       << "c.pdf" << 2 << -1 << "orvella: invalid month or year";
        QTest::newRow("file cannot be made") << "calendar"
                                             << "2026-09"
                                             << "no/such/folder/c.pdf" << 2 << -1 << "orvella: The print job for ";
    }
    void printoutsIntoPdfFiles() {
        QFETCH(QString, print);
        QFETCH(QString, what);
        QFETCH(QString, pdf);
        QFETCH(int, exit);
        QFETCH(int, pages);
        QFETCH(QString, error);
        test::TempDir dir;
        dir.write("Artwork/01.jpg", test::makeJpeg({800, 400, 3}));
        dir.write("Artwork/02.jpg", test::makeJpeg({400, 600, 1}));
        ProgramOptions o;
        o.print = print == "week" ? ProgramOptions::Print::Week : ProgramOptions::Print::Calendar;
        o.folder = dir.path();
        o.what = what.toStdString();
        o.pdf = dir.file(pdf.toStdString());
        std::ostringstream err;
        QCOMPARE(runBatchPrint(o, err), exit);
        QCOMPARE(pdfPages(o.pdf), pages);
        const QString said = QString::fromStdString(err.str());
        if (error.isEmpty()) {
            QCOMPARE(said, QString());
        } else {
            QVERIFY2(said.startsWith(error), qPrintable(said));
            QCOMPARE(said.count('\n'), 1);
        }
    }

    void printingAFullCalendarMovesNothing() {
        test::TempDir dir;
        std::string bytes;
        for (int i = 0; i < kPurgeThreshold; ++i) bytes += test::record(46000 + i, "day");
        dir.write("CalUsers.DAT", "Ann\r\n");
        dir.write("Data/Ann.DBX", bytes);
        for (const auto print : {ProgramOptions::Print::Week, ProgramOptions::Print::Calendar}) {
            ProgramOptions o;
            o.print = print;
            o.folder = dir.path();
            o.what = print == ProgramOptions::Print::Week ? "2026-03-11" : "2026-03";
            o.pdf = dir.file("p.pdf");
            std::ostringstream err;
            QCOMPARE(runBatchPrint(o, err), 0);
            QCOMPARE(QString::fromStdString(err.str()), QString());
            QCOMPARE(pdfPages(o.pdf), 1);
            QVERIFY(dir.read("Data/Ann.DBX") == bytes);
            QVERIFY(!dir.exists("Data/Ann.purged"));
        }
    }

    // Every file call of the PDF's writing failed in turn, as on a full disk: exit 2 with one line, and the
    // file there before is as it was; a FIFO or a device is refused before anything is drawn.
    void aPdfIsWrittenWholeOrNotAtAll_data() {
        QTest::addColumn<QString>("target");  // "{dir}" the program folder
        QTest::addColumn<bool>("faults");
        QTest::newRow("every call of the file's writing failing") << "{dir}/old.pdf" << true;
        QTest::newRow("a FIFO") << "{dir}/fifo" << false;
        QTest::newRow("a device") << "/dev/full" << false;
    }
    void aPdfIsWrittenWholeOrNotAtAll() {
        QFETCH(QString, target);
        QFETCH(bool, faults);
        test::TempDir dir;
        dir.write("CalUsers.DAT", "Ann\r\n");
        dir.write("Data/Ann.DBX", test::record(46092, "Dentist"));
        dir.write("old.pdf", "the old file");
        QCOMPARE(mkfifo(dir.file("fifo").c_str(), 0600), 0);
        ProgramOptions o;
        o.print = ProgramOptions::Print::Week;
        o.folder = dir.path();
        o.what = "2026-03-11";
        o.pdf = target.replace("{dir}", QString::fromStdString(dir.path())).toStdString();
        // The exit status; a failure said in one line, else -1.
        const auto print = [&] {
            std::ostringstream err;
            const int status = runBatchPrint(o, err);
            const QString said = QString::fromStdString(err.str());
            if (status != 0 && !(said.startsWith("orvella: ") && said.count('\n') == 1)) return -1;
            return status;
        };
        if (!faults) {
            QCOMPARE(print(), 2);
            struct stat st {};
            QVERIFY(stat(o.pdf.c_str(), &st) == 0 && !S_ISREG(st.st_mode));
            return;
        }
        int calls = 0;
        const auto ofThePdf = [&](const std::string& p) { return p.find("old.pdf") != std::string::npos; };
        setFileCallHook([&](FileCall, const std::string& p) { return calls += ofThePdf(p), 0; });
        QCOMPARE(print(), 0);
        setFileCallHook(nullptr);
        QCOMPARE(pdfPages(o.pdf), 1);
        QVERIFY(calls > 3);
        for (int failing = 1; failing <= calls; ++failing) {
            dir.write("old.pdf", "the old file");
            int n = 0;
            setFileCallHook([&](FileCall, const std::string& p) { return ofThePdf(p) && ++n == failing ? ENOSPC : 0; });
            const int status = print();
            setFileCallHook(nullptr);
            QVERIFY2(status == 2, qPrintable(QString::number(failing)));
            QCOMPARE(dir.read("old.pdf"), std::string("the old file"));
        }
        QCOMPARE(QDir(QString::fromStdString(dir.path())).entryList({"old.pdf*"}, QDir::Files).size(), 1);
    }

    void aMissingProgramFolderIsADataError() {
        ProgramOptions o;
        o.print = ProgramOptions::Print::Calendar;
        o.folder = "/no/such/orvella/folder";
        o.what = "2026";
        o.pdf = "/tmp/never.pdf";
        std::ostringstream err;
        QCOMPARE(runBatchPrint(o, err), 2);
        QVERIFY(QString::fromStdString(err.str()).contains("/no/such/orvella/folder"));
    }
};

QTEST_MAIN(BatchPrintTest)
#include "batch_print_test.moc"
