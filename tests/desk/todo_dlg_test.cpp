// The to-do window: date, placement, the store rules of its answers, the length limit and printing, and
// the text-line printer it prints with.

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTimer>
#include <QtTest>
#include <random>
#include <stdexcept>

#include "common/date_format.h"
#include "common/day_number.h"
#include "common/print_target.h"
#include "common/printer_seam.h"
#include "common/qt_text.h"
#include "desk/line_printer.h"
#include "desk/reminder_editor.h"
#include "desk/todo_dlg.h"
#include "store/cal_db.h"
#include "support/parts.h"
#include "support/pdf_pages.h"
#include "support/store_days.h"
#include "support/temp_dir.h"
#include "support/test_context.h"

using namespace orv;
using test::part;

namespace {

// Print jobs go to a PDF file.
class PdfPrinters : public PrinterSeam {
public:
    explicit PdfPrinters(std::string path) : path_(std::move(path)) {}
    std::unique_ptr<QPrinter> defaultPrinter() override {
        ++jobs;
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QString::fromStdString(path_));
        return printer;
    }
    int jobs = 0;

private:
    std::string path_;
};

// Printers that fail: none installed and the dialog's file cannot be made, or one that refuses the job.
class FailingPrinters : public PrinterSeam {
public:
    explicit FailingPrinters(bool installed) : installed_(installed) {}
    std::unique_ptr<PrintTarget> askPrinter(QWidget*, QPageLayout::Orientation o, std::string&) override {
        ++dialogs;
        return pdfTarget(QStringLiteral("/nonexistent-folder/out.pdf"), o);
    }
    std::unique_ptr<QPrinter> defaultPrinter() override {
        if (!installed_) return nullptr;
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(QStringLiteral("/nonexistent-folder/out.pdf"));
        return printer;
    }

    int dialogs = 0;

private:
    bool installed_;
};

// No printer installed: the print dialog's answer is a PDF file, or a cancel.
class NoPrinter : public PrinterSeam {
public:
    explicit NoPrinter(std::string file) : file_(std::move(file)) {}
    std::unique_ptr<PrintTarget> askPrinter(QWidget*, QPageLayout::Orientation o, std::string& printFile) override {
        proposed.push_back(printFile);
        if (file_.empty()) return nullptr;
        printFile = file_;
        return pdfTarget(QString::fromStdString(file_), o);
    }
    std::unique_ptr<QPrinter> defaultPrinter() override { return nullptr; }
    std::vector<std::string> proposed;

private:
    std::string file_;
};

using test::pdfPages;

ReminderEditor* memo(const QDialog* todo) { return part<ReminderEditor>(todo, "Memo1"); }
QLabel* datePanel(const QDialog* todo) { return part<QLabel>(todo, "DatePanel"); }
QPushButton* buttonOf(const QDialog* todo, const char* name) { return part<QPushButton>(todo, name); }

}  // namespace

class ToDoDlgTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<PdfPrinters> printers;
    std::unique_ptr<test::TestContext> run;
    test::FakeSeams* seams = nullptr;

    CalDb& store() const { return run->program.store; }

    std::string pdf() const { return dir->file("out.pdf"); }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        printers = std::make_unique<PdfPrinters>(pdf());
        run = std::make_unique<test::TestContext>(dir->path(), dayNumber(2026, 12, 1), printers.get());
        seams = &run->seams;
        run->program.calendars.DataFolder = dir->path();
        run->program.calendars.Names = {"Ann"};
        store().OpenCurrentCalendar();
    }

    void cleanup() {
        run.reset();
        printers.reset();
        dir.reset();
    }

    void windowDatePlacementAndControls() {
        TToDoDlg todo(run->context);
        QCOMPARE(todo.windowTitle(), QStringLiteral("To Do List"));
        QCOMPARE(todo.size(), QSize(281, 445));
        QCOMPARE(datePanel(&todo)->height(), 33);
        QCOMPARE(datePanel(&todo)->font().pixelSize(), 19);
        QVERIFY(datePanel(&todo)->font().bold());
        QCOMPARE(datePanel(&todo)->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QCOMPARE(memo(&todo)->font().pixelSize(), 13);
        QCOMPARE(buttonOf(&todo, "bPrint")->text(), QStringLiteral("&Print"));
        QCOMPARE(buttonOf(&todo, "bOk")->text(), QStringLiteral("OK"));
        QCOMPARE(buttonOf(&todo, "bOk")->statusTip(), QStringLiteral("Save changes and return to main screen"));

        const int day = dayNumber(2000, 9, 22);
        QPoint shownAt;
        seams->scripts.push_back([&](QDialog* d) {
            shownAt = d->pos();
            return int(mrCancel);
        });
        todo.editDay(day, QRect(100, 200, 474, 541));
        QCOMPARE(shownAt, QPoint(100 + (474 - 281) / 2, 200 + (541 - 445) / 2));
        QCOMPARE(datePanel(&todo)->text(), fromText(formatDate("d mmmm yyyy", day, systemDateNames())));
        if (QLocale::system().language() == QLocale::English || QLocale::system().language() == QLocale::C)
            QCOMPARE(datePanel(&todo)->text(), QStringLiteral("22 September 2000"));
    }

    void storeRulesOfTheAnswers_data() {
        QTest::addColumn<QString>("existing");  // empty: the day has no record
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("result");  // empty: no record
        QTest::addColumn<int>("recordsAfterFlush");
        QTest::newRow("new day, OK with nothing") << ""
                                                  << ""
                                                  << "ok"
                                                  << "" << 1;
        QTest::newRow("new day, OK with text") << ""
                                               << "Buy milk"
                                               << "ok"
                                               << "Buy milk" << 2;
        QTest::newRow("day emptied, OK") << "Gym"
                                         << ""
                                         << "ok"
                                         << "" << 1;
        QTest::newRow("day changed, OK") << "Gym"
                                         << "Gym 7pm\nBring towel"
                                         << "ok"
                                         << "Gym 7pm\r\nBring towel" << 2;
        QTest::newRow("day with a lone LF, OK untouched") << "Gym\nSwim"
                                                          << "Gym\nSwim"
                                                          << "ok"
                                                          << "Gym\nSwim" << 2;
        QTest::newRow("day changed, Cancel") << "Gym"
                                             << "changed"
                                             << "cancel"
                                             << "Gym" << 2;
        QTest::newRow("day changed, Print") << "Gym"
                                            << "changed"
                                            << "print"
                                            << "Gym" << 2;
        QTest::newRow("new day, Print") << ""
                                        << "changed"
                                        << "print"
                                        << "" << 1;
    }

    void storeRulesOfTheAnswers() {
        QFETCH(QString, existing);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QString, result);
        QFETCH(int, recordsAfterFlush);
        const int day = dayNumber(2026, 12, 8);
        test::putDay(store(), day - 1, "another day");
        if (!existing.isEmpty()) test::putDay(store(), day, existing.toStdString());
        const size_t sizeBefore = dir->read("Ann.DBX").size();

        TToDoDlg todo(run->context);
        QString shownText;
        seams->scripts.push_back([&](QDialog* d) {
            auto* t = qobject_cast<TToDoDlg*>(d);
            shownText = memo(t)->toPlainText();
            memo(t)->setPlainText(typed);
            if (button == "ok") buttonOf(t, "bOk")->click();
            else if (button == "cancel") buttonOf(t, "bCancel")->click();
            else buttonOf(t, "bPrint")->click();
            return t->result();
        });
        todo.editDay(day, QRect(0, 0, 474, 541));
        QCOMPARE(shownText, existing);
        QCOMPARE(test::storedDay(store(), day),
                 result.isEmpty() ? std::nullopt : std::optional<std::string>(result.toStdString()));
        // A rewrite stays in place; only a new day grows the file before the flush.
        if (!existing.isEmpty()) QCOMPARE(dir->read("Ann.DBX").size(), sizeBefore);
        QCOMPARE(printers->jobs, button == "print" ? 1 : 0);
        store().FlushCurrentCalendar();
        store().OpenCurrentCalendar();
        QCOMPARE(dir->read("Ann.DBX").size(), size_t(recordsAfterFlush) * kRecordSize);
        QCOMPARE(test::storedDay(store(), day - 1), std::optional<std::string>("another day"));
    }

    // Typing is saved after a pause while the window is open; OK keeps it, Cancel puts the day back.
    void typingIsSavedAfterAPauseAndCancelTakesItBack_data() {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("kept");
        QTest::newRow("OK") << true << QStringLiteral("Gym\r\nSwim");
        QTest::newRow("Cancel") << false << QStringLiteral("Gym");
    }
    void typingIsSavedAfterAPauseAndCancelTakesItBack() {
        QFETCH(bool, ok);
        QFETCH(QString, kept);
        const int day = dayNumber(2026, 12, 3);
        test::putDay(store(), day, "Gym");
        TToDoDlg todo(run->context);
        std::optional<std::string> whileOpen;
        seams->scripts.push_back([&](QDialog* d) {
            auto* pause = part<QTimer>(d, "tSave");
            memo(d)->moveCursor(QTextCursor::End);
            QTest::keyClick(memo(d), Qt::Key_Return);
            QTest::keyClicks(memo(d), QStringLiteral("Swim"));
            if (!pause->isActive() || store().readDay(day) != "Gym") return int(mrNone);
            QMetaObject::invokeMethod(pause, "timeout");
            whileOpen = store().readDay(day);
            buttonOf(d, ok ? "bOk" : "bCancel")->click();
            return d->result();
        });
        todo.editDay(day, QRect(0, 0, 800, 600));
        QCOMPARE(whileOpen, std::optional<std::string>("Gym\r\nSwim"));
        QCOMPARE(store().readDay(day), std::optional<std::string>(toText(kept)));
        QVERIFY(seams->messages.empty());
    }

    void aFailedPrintKeepsTheWindowAndItsText_data() {
        QTest::addColumn<bool>("printerInstalled");
        QTest::addColumn<QString>("existing");
        QTest::newRow("no printer, new day") << false << "";
        QTest::newRow("no printer, day with text") << false << "Gym";
        QTest::newRow("the printer refuses the job") << true << "Gym";
    }

    void aFailedPrintKeepsTheWindowAndItsText() {
        QFETCH(bool, printerInstalled);
        QFETCH(QString, existing);
        FailingPrinters failing(printerInstalled);
        test::TestContext failingRun(dir->path(), dayNumber(2026, 12, 1), &failing);
        failingRun.program.calendars.DataFolder = dir->path();
        failingRun.program.calendars.Names = {"Ann"};
        CalDb& failingStore = failingRun.program.store;
        failingStore.OpenCurrentCalendar();
        const int day = dayNumber(2026, 12, 8);
        if (!existing.isEmpty()) test::putDay(failingStore, day, existing.toStdString());

        TToDoDlg todo(failingRun.context);
        const QString typed = QStringLiteral("Pasted list\nof things");
        bool openAfterPrint = false;
        QString textAfterPrint;
        failingRun.seams.scripts.push_back([&](QDialog* d) {
            auto* t = qobject_cast<TToDoDlg*>(d);
            memo(t)->setPlainText(typed);
            buttonOf(t, "bPrint")->click();
            openAfterPrint = t->isVisible() && t->result() == 0;
            textAfterPrint = memo(t)->toPlainText();
            buttonOf(t, "bOk")->click();
            return t->result();
        });
        todo.editDay(day, QRect(0, 0, 474, 541));
        QCOMPARE(failingRun.seams.messages.size(), size_t(1));
        QCOMPARE(failingRun.seams.messages[0].icon, MsgIcon::Error);
        QCOMPARE(failing.dialogs, printerInstalled ? 0 : 1);
        QVERIFY(openAfterPrint);
        QCOMPARE(textAfterPrint, typed);
        QCOMPARE(test::storedDay(failingStore, day), std::optional<std::string>("Pasted list\r\nof things"));
    }

    void printingPrintsTheEditedTextBelowTheDate() {
        const int day = dayNumber(2026, 12, 8);
        test::putDay(store(), day, "Gym");
        TToDoDlg todo(run->context);
        std::vector<LinePrinter::Placed> printed;
        seams->scripts.push_back([&](QDialog* d) {
            auto* t = qobject_cast<TToDoDlg*>(d);
            memo(t)->setPlainText(QStringLiteral("Pay rent\n\nCall Bob"));
            printed = t->printText();
            buttonOf(t, "bPrint")->click();
            return t->result();
        });
        todo.editDay(day, QRect(0, 0, 474, 541));
        QCOMPARE(pdfPages(pdf()), 1);
        QCOMPARE(printers->jobs, 2);
        QStringList texts;
        for (const auto& p : printed) texts << p.text;
        // Two lines of two blanks, the date after a tab, a line of two blanks, each line after a tab.
        QCOMPARE(texts, (QStringList{"  ", "  ", datePanel(&todo)->text(), "  ", "Pay rent", "Call Bob"}));
        QVERIFY(printed[2].at.x() > 0);
        QCOMPARE(printed[4].at.x(), printed[5].at.x());
        QVERIFY(printed[3].at.y() > printed[2].at.y());
        // The empty line keeps its place.
        const qreal line = printed[4].at.y() - printed[3].at.y();
        QCOMPARE(printed[5].at.y(), printed[4].at.y() + 2 * line);
        QCOMPARE(test::storedDay(store(), day), std::optional<std::string>("Gym"));
    }

    // Without a printer the print dialog is offered, as on the week page: the text goes into the PDF file
    // picked there, which the next print proposes; a cancelled dialog prints nothing and keeps the window.
    void withoutAPrinterTheTextGoesIntoAPdfFile_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("a file picked") << false;
        QTest::newRow("the dialog cancelled") << true;
    }
    void withoutAPrinterTheTextGoesIntoAPdfFile() {
        QFETCH(bool, cancel);
        const std::string file = dir->file("todo.pdf");
        NoPrinter none(cancel ? std::string() : file);
        test::TestContext noneRun(dir->path(), dayNumber(2026, 12, 1), &none);
        noneRun.program.calendars.DataFolder = dir->path();
        noneRun.program.calendars.Names = {"Ann"};
        noneRun.program.store.OpenCurrentCalendar();
        TToDoDlg todo(noneRun.context);
        int results = 0;
        for (int round = 0; round < 2; ++round) {
            noneRun.seams.scripts.push_back([&](QDialog* d) {
                auto* t = qobject_cast<TToDoDlg*>(d);
                memo(t)->setPlainText(QStringLiteral("Pay rent"));
                buttonOf(t, "bPrint")->click();
                results += t->result() == mrCancel;
                if (t->result() == 0) buttonOf(t, "bCancel")->click();
                return t->result();
            });
            todo.editDay(dayNumber(2026, 12, 8), QRect(0, 0, 474, 541));
        }
        QVERIFY(noneRun.seams.messages.empty());
        QCOMPARE(none.proposed, (std::vector<std::string>{"", cancel ? "" : file}));
        QCOMPARE(pdfPages(file), cancel ? -1 : 1);
        QCOMPARE(noneRun.program.settings.PrintFile, cancel ? std::string() : file);
        QCOMPARE(results, cancel ? 0 : 2);
    }

    // The paper breaks the lines where the editor on screen does, its scroll bar taking its part of the width.
    void printedLinesBreakWhereTheScreenDoes() {
        TToDoDlg todo(run->context);
        todo.show();
        QVERIFY(QTest::qWaitForWindowExposed(&todo));
        ReminderEditor* m = memo(&todo);
        std::mt19937 random(23);
        for (int round = 0; round < 60; ++round) {
            QString text;
            const int words = std::uniform_int_distribution(1, 60)(random);
            for (int w = 0; w < words; ++w) {
                const int length = std::uniform_int_distribution(1, 14)(random);
                for (int c = 0; c < length; ++c) text += QChar(u'a' + std::uniform_int_distribution(0, 25)(random));
                text += std::uniform_int_distribution(0, 9)(random) == 0 ? u'\n' : u' ';
            }
            m->setPlainText(text);
            QStringList onScreen;
            for (QTextBlock b = m->document()->begin(); b.isValid(); b = b.next()) {
                m->document()->documentLayout()->blockBoundingRect(b);
                const QTextLayout* layout = b.layout();
                if (layout->lineCount() == 0) onScreen << QString();
                for (int i = 0; i < layout->lineCount(); ++i)
                    onScreen << b.text().mid(layout->lineAt(i).textStart(), layout->lineAt(i).textLength());
            }
            QCOMPARE(m->visualLines(), onScreen);
        }
        todo.hide();
    }

    void emptyEditorPrintsNothing() {
        TToDoDlg todo(run->context);
        QVERIFY(todo.printText().empty());
        memo(&todo)->setPlainText(QStringLiteral("x"));
        memo(&todo)->clear();
        buttonOf(&todo, "bPrint")->click();
        QCOMPARE(printers->jobs, 0);
        QVERIFY(!dir->exists("out.pdf"));
        QVERIFY(seams->messages.empty());
    }

    void polishTypedKeyByKeyIsStoredWhole() {
        const int day = dayNumber(2026, 12, 8);
        TToDoDlg todo(run->context);
        seams->scripts.push_back([&](QDialog* d) {
            auto* t = qobject_cast<TToDoDlg*>(d);
            for (const QChar ch : QStringLiteral("Zażółć gęślą jaźń"))
                QTest::sendKeyEvent(QTest::Click, memo(t), Qt::Key_unknown, QString(ch), Qt::NoModifier);
            buttonOf(t, "bOk")->click();
            return t->result();
        });
        todo.editDay(day, QRect(0, 0, 474, 541));
        QVERIFY(seams->messages.empty());
        QCOMPARE(test::storedDay(store(), day), std::optional<std::string>("Zażółć gęślą jaźń"));
    }

    void pastingPastTheLimitKeepsTheFirstThousand() {
        TToDoDlg todo(run->context);
        QApplication::clipboard()->setText(QString(1500, u'x'));
        if (QApplication::clipboard()->text().size() != 1500) QSKIP("no clipboard on this platform");
        memo(&todo)->paste();
        QCOMPARE(seams->beeps, 1);
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].text, ReminderEditor::limitWarning());
        QCOMPARE(memo(&todo)->toPlainText(), QString(1000, u'x'));
    }

    void linePrinterExpandsTabsAndStartsNewPages() {
        const auto target = pdfTarget(QString::fromStdString(pdf()), QPageLayout::Portrait);
        QPaintDevice& printer = target->device();
        LinePrinter job(*target);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(13);
        job.setFont(font);
        const int tab = job.tabWidth();
        QVERIFY(tab > 0);
        job.printLine(QStringLiteral("a\tb\t\tc"));
        job.printLine(QStringLiteral("\tindented"));
        job.printLine(QString(40, u'w') + QStringLiteral("\tafter a long piece"));
        const auto& p = job.placed();
        QCOMPARE(p[0].at.x(), 0.0);
        QCOMPARE(p[1].at.x(), qreal(tab));
        QCOMPARE(p[2].at.x(), qreal(3 * tab));
        QCOMPARE(p[3].at.x(), qreal(tab));
        QCOMPARE(p[3].at.y(), qreal(job.lineHeight()));
        QVERIFY(p[5].at.x() > QFontMetricsF(QFont(font, &printer)).horizontalAdvance(QString(40, u'w')) - 1);
        QCOMPARE(int(p[5].at.x()) % tab, 0);

        const int perPage = printer.height() / job.lineHeight();
        for (int i = 0; i < 2 * perPage; ++i) job.printLine(QStringLiteral("line %1").arg(i));
        job.finish();
        QCOMPARE(job.pages(), 3);
        QCOMPARE(pdfPages(pdf()), 3);
        int lastPage = 1;
        for (const auto& piece : job.placed()) {
            QVERIFY(piece.page >= lastPage);
            QVERIFY(piece.at.y() + job.lineHeight() <= printer.height());
            lastPage = piece.page;
        }
    }
};

QTEST_MAIN(ToDoDlgTest)
#include "todo_dlg_test.moc"
