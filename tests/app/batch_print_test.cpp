// The program's printouts for scripts: the command line read into a request, and the PDF files made from
// a program folder without a window, with their exit status and their one line of error.

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QtTest>
#include <sstream>

#include "app/batch_print.h"
#include "app/command_line.h"
#include "app/jpeg_test_util.h"
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
