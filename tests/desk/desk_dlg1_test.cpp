// The week page: layout, opening, cells, steps, editing rules, removal of repeating entries, calendars
// and closing, driven on the offscreen platform through the fake seams.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleHints>
#include <QTextCursor>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <cerrno>
#include <csignal>
#include <sys/resource.h>

#include "common/colours.h"
#include "common/day_number.h"
#include "common/hint_router.h"
#include "common/qt_colours.h"
#include "common/qt_text.h"
#include "desk/desk_dlg1.h"
#include "desk/explain_dlg.h"
#include "desk/reminder_editor.h"
#include "common/sys_file.h"
#include "store/cal_db.h"
#include "store/chg_user_dlg.h"
#include "store/edit_user_dlg.h"
#include "support/parts.h"
#include "support/store_days.h"
#include "support/temp_dir.h"
#include "support/test_context.h"

using namespace orv;
using test::part;

namespace {

int d(int y, int m, int day) { return dayNumber(y, m, day); }

QColor textColourOf(const QWidget* w) { return w->palette().color(QPalette::WindowText); }

// Writes that would make a file longer fail, as on a full disk; rewriting in place still works.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        const rlimit limit{bytes, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_{};
};

}  // namespace

class DeskDlgTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::TestContext> run;
    test::FakeSeams* seams = nullptr;
    std::unique_ptr<TExplainDlg> explain;
    std::unique_ptr<TDeskDlg1> desk;

    Program& program() const { return run->program; }
    CalDb& store() const { return run->program.store; }
    void makePage() {
        desk = std::make_unique<TDeskDlg1>(run->context);
        desk->setExplainWindow(explain.get());
    }
    template <class Part = QWidget>
    Part* partOf(const char* name) const {
        return part<Part>(desk.get(), name);
    }
    QFrame* frame(int i) const { return partOf<QFrame>(qPrintable(QStringLiteral("b%1").arg(i))); }
    QLabel* number(int i) const { return partOf<QLabel>(qPrintable(QStringLiteral("p%1").arg(i))); }
    QLabel* dayHeader(int c) const { return partOf<QLabel>(qPrintable(QStringLiteral("dp%1").arg(c))); }
    QFrame* weekendPanel(int r) const { return partOf<QFrame>(qPrintable(QStringLiteral("bp%1").arg(r))); }
    QLabel* title() const { return partOf<QLabel>("Panel3"); }
    QLabel* hintPanel() const { return partOf<QLabel>("HintPanel"); }
    QLineEdit* userBox() const { return partOf<QLineEdit>("ceUser"); }
    QCheckBox* fourWeeks() const { return partOf<QCheckBox>("cb4week"); }
    void press(const char* button) const { partOf<QToolButton>(button)->click(); }
    void trigger(const char* key) const { partOf<QAction>(key)->trigger(); }
    int focusedCell() const { return desk->focusedCellNumber(); }
    // The window system activates the page again, as when a window over it closes.
    void reactivate() const {
        for (int i = 0; i < 2; ++i) {
            QEvent activate(QEvent::WindowActivate);
            QCoreApplication::sendEvent(desk.get(), &activate);
            QCoreApplication::processEvents();
        }
    }
    // The highlight follows the cell entered, unless the page is busy.
    bool highlightFollows(int i) const {
        emit cell(i)->entered();
        return focusedCell() == i;
    }

    std::string calendarFile(const std::string& name) const { return dir->path() + "/" + name + ".DBX"; }

    // Opens the page for a date as the main window does and lets the activation build it.
    TDeskDlg1* open(int y, int m, int day) {
        if (!desk) makePage();
        desk->setPageDate(y, m, day);
        desk->show();
        QCoreApplication::processEvents();
        reactivate();
        return desk.get();
    }
    ReminderEditor* cell(int i) const { return partOf<ReminderEditor>(qPrintable(QStringLiteral("m%1").arg(i))); }
    int cellOf(int day) const {
        for (int i = 1; i <= kPageCells; ++i)
            if (desk->page().CellDates[static_cast<size_t>(i)] == day) return i;
        return 0;
    }
    // Key presses at the end of a cell, one character each (any character, not only ASCII).
    void type(int i, const QString& text) {
        cell(i)->moveCursor(QTextCursor::End);
        for (qsizetype k = 0; k < text.size(); k += text[k].isHighSurrogate() ? 2 : 1)
            QTest::sendKeyEvent(QTest::Click, cell(i), Qt::Key_unknown, text.mid(k, text[k].isHighSurrogate() ? 2 : 1),
                                Qt::NoModifier);
    }
    // The cells that paint a caret: their picture changes when the caret is made zero wide.
    QList<int> carets() const {
        QList<int> shown;
        for (int i = 1; i <= kPageCells; ++i) {
            ReminderEditor* c = cell(i);
            const QImage with = c->viewport()->grab().toImage();
            const int width = c->cursorWidth();
            c->setCursorWidth(0);
            const QImage without = c->viewport()->grab().toImage();
            c->setCursorWidth(width);
            if (with != without) shown << i;
        }
        return shown;
    }
    void closePage() {
        press("ExitBtn");
        QCoreApplication::processEvents();
    }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        run = std::make_unique<test::TestContext>(dir->path(), d(2026, 3, 1));
        seams = &run->seams;
        Program& s = program();
        s.calendars.DataFolder = dir->path();
        s.calendars.Names = {"Ann", "Bob"};
        s.calendars.CurrentCalendarIndex = 0;
        store().OpenCurrentCalendar();
        explain = std::make_unique<TExplainDlg>(run->context.ui());
    }

    void cleanup() {
        desk.reset();
        setFileCallHook(nullptr);
        explain.reset();
        run.reset();
        dir.reset();
    }

    void windowControlsCaptionsAndHints() {
        open(2026, 3, 11);
        QCOMPARE(desk->windowTitle(), QStringLiteral("Reminder Calendar"));
        QCOMPARE(desk->width(), 800);
        QCOMPARE(partOf<QFrame>("BackPanel")->height(), 50);
        QCOMPARE(partOf<QFrame>("BtnPanel")->width(), 421);
        QCOMPARE(partOf<QFrame>("RxSpinButton1")->size(), QSize(32, 32));
        QCOMPARE(userBox()->size(), QSize(225, 23));
        QVERIFY(userBox()->isReadOnly());
        QCOMPARE(userBox()->text(), QStringLiteral("Ann"));
        for (QToolButton* b :
             {partOf<QToolButton>("RxSpeedButton1"), partOf<QToolButton>("PrintBtn"), partOf<QToolButton>("WEndBtn"),
              partOf<QToolButton>("RepeatBtn"), partOf<QToolButton>("DelBtn")})
            QCOMPARE(b->size(), QSize(25, 25));
        QCOMPARE(partOf<QToolButton>("ExitBtn")->size(), QSize(38, 40));
        QCOMPARE(hintPanel()->size(), QSize(292, 17));
        QCOMPARE(fourWeeks()->text(), QStringLiteral("4 weeks"));
        QVERIFY(fourWeeks()->isChecked());
        QCOMPARE(fourWeeks()->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QVERIFY(fourWeeks()->font().bold());

        const std::pair<QWidget*, QString> hints[] = {
            {partOf<QToolButton>("WeekBtnTop"), QStringLiteral("Forward/backward by one week (PgDn/PgUp).")},
            {partOf<QToolButton>("WeekBtnBottom"), QStringLiteral("Forward/backward by one week (PgDn/PgUp).")},
            {partOf<QToolButton>("WEndBtn"), QStringLiteral("Hide/show weekends.")},
            {fourWeeks(), QStringLiteral("Shows 4 weeks when checked, 1 week unchecked")},
            {partOf<QToolButton>("ExitBtn"), QStringLiteral("Close full size calendar.")},
            {partOf<QToolButton>("PrintBtn"), QStringLiteral("Print calendar.")},
            {partOf<QToolButton>("RepeatBtn"), QStringLiteral("Set up a repeating event.")},
            {partOf<QToolButton>("DelBtn"), QStringLiteral("Delete a repeating event.")},
            {partOf<QToolButton>("RxSpeedButton1"), QStringLiteral("Add, remove, change or edit User.")},
            {userBox(), QStringLiteral("Current User. To change click the \"User\" button.")},
        };
        for (const auto& [w, hint] : hints) QCOMPARE(longHint(w), hint);
        QCOMPARE(partOf<QToolButton>("RxSpeedButton1")->toolTip(), QStringLiteral("User"));

        const QStringList days{QString(), "Monday", "Tuesday", "Wednesday", "Thursday", "Friday"};
        for (int c = 1; c <= 5; ++c) QCOMPARE(dayHeader(c)->text(), days[c]);
        QCOMPARE(partOf<QLabel>("bp0")->text(), QStringLiteral("Sat/Sun"));
        QVERIFY(partOf<QLabel>("bp0")->font().bold());
        QCOMPARE(number(1)->font().pixelSize(), 11);

        // The hint line shows the long hint after a blank while the page is open.
        run->context.hints().hintFor(partOf<QToolButton>("RxSpeedButton1"));
        QCOMPARE(hintPanel()->text(), QStringLiteral(" Add, remove, change or edit User."));
        closePage();
        hintPanel()->clear();
        run->context.hints().hintFor(partOf<QToolButton>("DelBtn"));
        QCOMPARE(hintPanel()->text(), QString());
    }

    void layoutWithAndWithoutWeekendsInOneAndFourWeeks() {
        open(2026, 3, 11);
        // Four weeks, weekends shown.
        QCOMPARE(frame(1)->width(), 129);
        QCOMPARE(dayHeader(1)->width(), 129);
        QCOMPARE(number(1)->x(), 108);
        QCOMPARE(partOf<QFrame>("Panel5")->height(), partOf<QFrame>("Panel24")->height());
        QCOMPARE(partOf<QFrame>("Panel12")->height(), 126);
        QCOMPARE(partOf<QFrame>("Panel24")->height(), 123);
        QVERIFY(partOf<QFrame>("Panel12")->isVisible() && partOf<QFrame>("Panel18")->isVisible() &&
                partOf<QFrame>("Panel24")->isVisible());
        const QFrame* weekend = weekendPanel(1);
        QVERIFY(weekend->isVisible());
        QCOMPARE(frame(6)->height(), (weekend->height() - 3) / 2);
        QCOMPARE(frame(7)->height(), (weekend->height() - 3) / 2);
        QVERIFY(frame(6)->y() < frame(7)->y());  // Saturday over Sunday
        QCOMPARE(frame(6)->parentWidget(), weekend);
        QCOMPARE(frame(13)->parentWidget(), weekendPanel(2));

        // Weekends hidden: the dates and title stay.
        const QString shownTitle = title()->text();
        const double start = desk->page().PageStart;
        press("WEndBtn");
        QVERIFY(!program().settings.ShowWeekends);
        QCOMPARE(frame(1)->width(), 156);
        QCOMPARE(dayHeader(5)->width(), 156);
        QCOMPARE(number(3)->x(), 135);
        QVERIFY(!partOf<QLabel>("bp0")->isVisible());
        for (int r = 1; r <= 4; ++r) QVERIFY(!weekendPanel(r)->isVisible());
        QCOMPARE(title()->text(), shownTitle);
        QCOMPARE(desk->page().PageStart, start);
        press("WEndBtn");
        QVERIFY(program().settings.ShowWeekends && partOf<QLabel>("bp0")->isVisible());

        // One week: rows 2..4 hidden, row 1 fills the page.
        const int rowsHeight = partOf<QFrame>("Panel24")->geometry().bottom() - partOf<QFrame>("Panel5")->y() + 1;
        fourWeeks()->setChecked(false);
        QVERIFY(!partOf<QFrame>("Panel12")->isVisible() && !partOf<QFrame>("Panel18")->isVisible() &&
                !partOf<QFrame>("Panel24")->isVisible());
        QCOMPARE(partOf<QFrame>("Panel5")->height(), rowsHeight);
        QCOMPARE(frame(1)->height(), rowsHeight);
        QCOMPARE(frame(6)->height(), (rowsHeight - 3) / 2);
        QCOMPARE(title()->text(), fromText(" " + systemDateNames().longMonths[2] + " 2026"));
        fourWeeks()->setChecked(true);
        QCOMPARE(title()->text(), QStringLiteral(" March/April 2026"));
    }

    void openingDaysTitleNumbersAndFocus() {
        program().settings.ShowWeekends = false;
        test::putDay(store(), d(2026, 3, 9), "Dentist 10am\r\nBring card");
        test::putDay(store(), d(2026, 2, 27), "too early");
        open(2026, 3, 7);  // a Saturday with weekends hidden: the page starts on Monday 9 March
        QCOMPARE(desk->page().PageStart, double(d(2026, 3, 9)));
        QCOMPARE(title()->text(), QStringLiteral(" March/April 2026"));
        QCOMPARE(cell(1)->toPlainText(), QStringLiteral("Dentist 10am\nBring card"));
        QCOMPARE(number(1)->text(), QStringLiteral("9"));
        QCOMPARE(number(23)->text(), QStringLiteral("31"));
        QCOMPARE(textColourOf(number(23)), QColor(Qt::black));
        QCOMPARE(number(24)->text(), QStringLiteral("1"));
        QCOMPARE(textColourOf(number(24)), QColor(128, 128, 128));
        QCOMPARE(focusedCell(), 1);
        QCOMPARE(cell(1)->baseColour(), QColor(Qt::white));
        QVERIFY(highlightFollows(2));
        // Screen readers name the cells by their days.
        const QLocale loc = QLocale::system();
        for (const auto& [i, date] :
             {std::pair{1, QDate(2026, 3, 9)}, {23, QDate(2026, 3, 31)}, {24, QDate(2026, 4, 1)}})
            QCOMPARE(cell(i)->accessibleName(), QStringLiteral("%1 %2 %3 2026")
                                                    .arg(loc.dayName(date.dayOfWeek()))
                                                    .arg(date.day())
                                                    .arg(loc.monthName(date.month())));
    }

    void highlightIsYellowOnWhiteCells() {
        program().settings.Foreground = wincolor::White;
        open(2026, 3, 11);
        QCOMPARE(focusedCell(), 3);
        QCOMPARE(cell(3)->baseColour(), QColor(255, 255, 0));
        QCOMPARE(cell(4)->baseColour(), QColor(Qt::white));
        // Entering another cell moves the highlight.
        QApplication::setActiveWindow(desk.get());
        cell(5)->setFocus();
        QCoreApplication::processEvents();
        if (!cell(5)->hasFocus()) QSKIP("the platform gives no focus to this window");
        QCOMPARE(focusedCell(), 5);
        QCOMPARE(cell(5)->baseColour(), QColor(255, 255, 0));
        QCOMPARE(cell(3)->baseColour(), QColor(Qt::white));
    }

    void noCellQualifiesLeavesTheFocusOnNone() {
        program().settings.ShowWeekends = false;
        open(2026, 5, 31);  // a Sunday: the page shows June only
        QCOMPARE(desk->page().PageStart, double(d(2026, 6, 1)));
        QCOMPARE(focusedCell(), 1);
        for (int i = 1; i <= kPageCells; ++i) {
            QVERIFY(!cell(i)->hasFocus());
            QCOMPARE(cell(i)->baseColour(), toQColor(program().settings.Foreground));
        }
    }

    void stepsSaveTypedTextAndKeepTheFocusedEditor() {
        open(2025, 12, 15);
        QCOMPARE(focusedCell(), 1);
        type(1, QStringLiteral("Party"));
        type(10, QStringLiteral("Shop"));
        press("WeekBtnBottom");
        QCOMPARE(test::storedDay(store(), d(2025, 12, 15)), std::optional<std::string>("Party"));
        QCOMPARE(test::storedDay(store(), d(2025, 12, 24)), std::optional<std::string>("Shop"));
        QCOMPARE(desk->page().PageStart, double(d(2025, 12, 22)));
        QCOMPARE(desk->page().PageMonth, 1);
        QCOMPARE(title()->text(), QStringLiteral(" December/January 2026"));
        QCOMPARE(cell(3)->toPlainText(), QStringLiteral("Shop"));
        QCOMPARE(focusedCell(), 1);
        QCOMPARE(textColourOf(number(1)), QColor(128, 128, 128));  // 22 December on a January page

        trigger("MnthDn1");  // February 2026 starts on a Sunday
        QCOMPARE(desk->page().PageStart, double(d(2026, 2, 2)));
        trigger("MnthUp1");
        trigger("MnthUp1");
        QCOMPARE(desk->page().PageStart, double(d(2025, 12, 1)));
        QCOMPARE(cell(15)->toPlainText(), QStringLiteral("Party"));
        press("WeekBtnTop");
        QCOMPARE(desk->page().PageStart, double(d(2025, 11, 24)));
        QCOMPARE(desk->page().PageMonth, 12);
        QCOMPARE(desk->page().SelectedDay, 15);
    }

    // Typing reaches the file after a pause or as its cell is left, not only at a step or the closing.
    void typingIsSavedAfterAPauseAndWhenItsCellIsLeft_data() {
        QTest::addColumn<bool>("leave");
        QTest::newRow("pause") << false;
        QTest::newRow("cell left") << true;
    }
    void typingIsSavedAfterAPauseAndWhenItsCellIsLeft() {
        QFETCH(bool, leave);
        test::putDay(store(), d(2025, 12, 16), "Gym");
        open(2025, 12, 15);
        auto* pause = partOf<QTimer>("tSave");
        QVERIFY(!pause->isActive());  // the page's own loading waits for nothing
        type(1, QStringLiteral("Party"));
        QVERIFY(pause->isActive());
        QCOMPARE(test::storedDay(store(), d(2025, 12, 15)), std::nullopt);
        // Well before the pause ends.
        if (leave) {
            emit cell(1)->left(Qt::TabFocusReason);
            QTest::qWait(100);
        } else {
            QMetaObject::invokeMethod(pause, "timeout");
        }
        QCOMPARE(test::storedDay(store(), d(2025, 12, 15)), std::optional<std::string>("Party"));
        QCOMPARE(test::storedDay(store(), d(2025, 12, 16)), std::optional<std::string>("Gym"));
        QVERIFY(!cell(1)->isChanged());
        QCOMPARE(seams->messages.size(), size_t(0));
    }

    void typingAndPastingPastTheLimit() {
        open(2026, 3, 11);
        cell(3)->setPlainText(QString(1000, u'a'));
        QCOMPARE(seams->beeps, 0);
        type(3, QStringLiteral("b"));
        QCOMPARE(seams->beeps, 1);
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Warning);
        QCOMPARE(seams->messages[0].text, QStringLiteral("Reminders are limited to 1000 chars and your entry\r"
                                                         "will be truncated to that length."));
        QCOMPARE(cell(3)->toPlainText(), QString(1000, u'a'));

        cell(4)->clear();
        QApplication::clipboard()->setText(QString(1500, u'x'));
        if (QApplication::clipboard()->text().size() != 1500) QSKIP("no clipboard on this platform");
        cell(4)->paste();
        QCOMPARE(seams->beeps, 2);
        QCOMPARE(cell(4)->toPlainText(), QString(1000, u'x'));

        // A line break counts two and is never split.
        cell(5)->setPlainText(QString(499, u'c') + u'\n' + QString(499, u'c'));
        QCOMPARE(cell(5)->storedLength(), 1000);
        QCOMPARE(seams->beeps, 2);
        cell(5)->moveCursor(QTextCursor::End);
        QTest::keyClick(cell(5), Qt::Key_Return);
        QCOMPARE(seams->beeps, 3);
        QCOMPARE(cell(5)->storedText(), std::string(499, 'c') + "\r\n" + std::string(499, 'c'));

        press("WeekBtnBottom");
        QCOMPARE(test::storedDay(store(), d(2026, 3, 11))->size(), size_t(1000));
    }

    void everyScriptLandsWholeWithinTheByteLimit() {
        open(2026, 3, 11);
        type(3, QStringLiteral("Zażółć gęślą jaźń"));
        type(4, QStringLiteral("Καλημέρα 你好 \U0001F600"));
        QVERIFY(seams->messages.empty());
        // 509 two-byte letters are 1018 bytes of UTF-8: one more passes the record's 1019.
        cell(5)->setPlainText(QString(509, u'ż'));
        type(5, QStringLiteral("ż"));
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].text, ReminderEditor::byteLimitWarning());
        QCOMPARE(cell(5)->toPlainText(), QString(509, u'ż'));
        closePage();
        QCOMPARE(test::storedDay(store(), d(2026, 3, 11)), std::optional<std::string>("Zażółć gęślą jaźń"));
        QCOMPARE(test::storedDay(store(), d(2026, 3, 12)), std::optional<std::string>("Καλημέρα 你好 \U0001F600"));
        QCOMPARE(test::storedDay(store(), d(2026, 3, 13))->size(), size_t(1018));
    }

    void overlongStoredTextIsCutWithTheWarningAndSavedCut() {
        const std::string longText = std::string(600, 'a') + "\r\n" + std::string(417, 'b');  // 1019 characters
        test::putDay(store(), d(2026, 3, 10), longText);
        test::putDay(store(), d(2026, 3, 1), std::string(1019, 'z'));  // not on the page
        test::putDay(store(), d(2026, 3, 12), "short");
        const std::string fileBefore = dir->read("Ann.DBX");
        open(2026, 3, 11);
        QCOMPARE(seams->beeps, 1);
        QCOMPARE(cell(2)->storedLength(), 1000);
        closePage();
        QCOMPARE(test::storedDay(store(), d(2026, 3, 10)), std::optional<std::string>(longText.substr(0, 1000)));
        QCOMPARE(test::storedDay(store(), d(2026, 3, 1)), std::optional<std::string>(std::string(1019, 'z')));
        const std::string fileAfter = dir->read("Ann.DBX");
        QCOMPARE(fileAfter.size(), fileBefore.size());
        // Only the cut day's record differs.
        QCOMPARE(fileAfter.substr(kRecordSize), fileBefore.substr(kRecordSize));
    }

    void emptiedCellIsRemovedAfterTheFlush() {
        test::putDay(store(), d(2026, 3, 11), "Gym");
        test::putDay(store(), d(2026, 3, 12), "Swim");
        open(2026, 3, 11);
        cell(3)->clear();
        press("WeekBtnBottom");
        QVERIFY(!store().FindDay(d(2026, 3, 11)));
        QCOMPARE(dir->read("Ann.DBX").size(), size_t(2 * kRecordSize));  // marked only, until the flush
        closePage();
        QVERIFY(!desk->isVisible());
        QCOMPARE(dir->read("Ann.DBX").size(), size_t(kRecordSize));
        QCOMPARE(test::storedDay(store(), d(2026, 3, 12)), std::optional<std::string>("Swim"));
    }

    void daysNobodyChangedKeepTheirBytes() {
        // Days as another tool may write them: lone line breaks, no final one.
        test::putDay(store(), d(2026, 3, 10), "lone\nLF");
        test::putDay(store(), d(2026, 3, 12), "lone\rCR");
        test::putDay(store(), d(2026, 3, 13), "Gym\nSwim");
        const std::string before = dir->read("Ann.DBX");
        open(2026, 3, 11);
        press("WeekBtnBottom");
        press("WeekBtnTop");
        reactivate();
        closePage();
        QCOMPARE(dir->read("Ann.DBX"), before);

        open(2026, 3, 11);
        type(cellOf(d(2026, 3, 13)), QStringLiteral(" 7pm"));
        closePage();
        QCOMPARE(test::storedDay(store(), d(2026, 3, 13)), std::optional<std::string>("Gym\r\nSwim 7pm"));
        const std::string after = dir->read("Ann.DBX");
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.substr(0, 2 * kRecordSize), before.substr(0, 2 * kRecordSize));
    }

    void removalQuestionShowsTheMarkerAsTyped_data() {
        QTest::addColumn<QString>("marker");
        QTest::newRow("words in angle brackets") << QStringLiteral("<Big day>");
        QTest::newRow("a list item") << QStringLiteral("<Li Wei Birthday>");
        QTest::newRow("bold") << QStringLiteral("<b>");
    }

    void removalQuestionShowsTheMarkerAsTyped() {
        QFETCH(QString, marker);
        test::putDay(store(), d(2026, 3, 11), marker.toStdString() + "\r\nDentist");
        open(2026, 3, 11);
        QTextCursor c = cell(3)->textCursor();
        c.setPosition(0);
        c.setPosition(static_cast<int>(marker.size()), QTextCursor::KeepAnchor);
        cell(3)->setTextCursor(c);
        seams->realBoxes = true;
        seams->answers.push_back(mrNo);
        press("DelBtn");
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].shown, QStringLiteral("Remove ") + marker + QStringLiteral(" from calendar ?"));
        QCOMPARE(test::storedDay(store(), d(2026, 3, 11)),
                 std::optional<std::string>(marker.toStdString() + "\r\nDentist"));
    }

    // The page's focus and keys around message boxes and windows over it, with a window manager (the
    // activation comes back when they close) and without one (it does not). Steps, separated by "/":
    // "pgdn", "pgup", "ctrl+pgdn", "ctrl+pgup" pressed where the typing goes; "click D" on the cell of
    // D December 2026; "type TEXT"; "paste" 1500 characters (the length warning); "lines" 12 lines, more
    // than a cell shows; "users ok", "users cancel"; "repeat"; "remove" the whole text of the cell (a marker
    // is asked about and removed, anything else explained). After them exactly one cell is highlighted, the
    // one the typing goes to, and it alone shows a caret; the days are checked once the page has closed
    // ("*N": N times "x").
    void focusAndKeys_data() {
        QTest::addColumn<bool>("windowManager");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QDate>("pageStart");
        QTest::addColumn<QDate>("focused");
        QTest::addColumn<QString>("days");
        const QDate dec7(2026, 12, 7), dec14(2026, 12, 14);
        for (const bool wm : {true, false}) {
            const char* const tag = wm ? "window manager: " : "no window manager: ";
            const auto row = [&](const char* name) { return &QTest::newRow((tag + std::string(name)).c_str()); };
            *row("the length warning leaves page and click") << wm << "pgdn/click 17/paste/click 18/type QQ" << dec14
                                                             << QDate(2026, 12, 18) << "9=Dentist 10am|17=*1000|18=QQ";
            *row("a Greek letter lands whole, then page and click")
                << wm << "pgdn/click 17/type \u03a9a/click 18/type QQ" << dec14 << QDate(2026, 12, 18)
                << "17=\u03a9a|18=QQ";
            *row("after the warning the highlight stays")
                << wm << "click 17/paste/type b" << dec7 << QDate(2026, 12, 17) << "17=*1000";
            *row("page down in a full cell")
                << wm << "click 16/lines/pgdn" << dec14 << QDate(2026, 12, 23)
                << "16=line\nline\nline\nline\nline\nline\nline\nline\nline\nline\nline\nline";
            *row("page up in a full cell")
                << wm << "click 16/lines/pgup" << QDate(2026, 11, 30) << QDate(2026, 12, 9)
                << "9=Dentist 10am|16=line\nline\nline\nline\nline\nline\nline\nline\nline\nline\nline\nline";
            *row("month forward in a full cell")
                << wm << "click 16/paste/ctrl+pgdn" << QDate(2026, 12, 28) << QDate(2027, 1, 6) << "16=*1000";
            *row("month back after the warning")
                << wm << "click 16/paste/ctrl+pgup" << QDate(2026, 11, 2) << QDate(2026, 11, 11) << "16=*1000";
            *row("the Users window cancelled")
                << wm << "click 11/users cancel/type u" << dec7 << QDate(2026, 12, 11) << "11=u";
            *row("a calendar activated in the Users window")
                << wm << "click 11/users ok/type u" << dec7 << QDate(2026, 12, 9) << "9=uDentist 10am|11=";
            *row("the repetition window") << wm << "click 11/repeat/type r" << dec7 << QDate(2026, 12, 11) << "11=r";
            *row("a removal asked and done")
                << wm << "click 11/type <Gym>/remove/type r" << dec7 << QDate(2026, 12, 11) << "11=r";
            *row("a removal explained") << wm << "click 11/type Gym/remove/type r" << dec7 << QDate(2026, 12, 11)
                                        << "11=r";
            *row("a click after a step") << wm << "click 16/pgdn/click 22/type z" << dec14 << QDate(2026, 12, 22)
                                         << "22=z";
        }
    }

    void focusAndKeys() {
        QFETCH(bool, windowManager);
        QFETCH(QString, steps);
        QFETCH(QDate, pageStart);
        QFETCH(QDate, focused);
        QFETCH(QString, days);
        const auto dayOf = [](const QDate& date) { return d(date.year(), date.month(), date.day()); };
        test::putDay(store(), d(2026, 12, 9), "Dentist 10am");
        TEditUserDlg users(run->context);
        makePage();
        desk->setUsersWindow(&users);
        QDialog repetition;
        QObject::connect(desk.get(), &TDeskDlg1::repeatRequested, desk.get(),
                         [&] { run->context.ui().execModal(&repetition); });
        QGuiApplication::styleHints()->setCursorFlashTime(0);  // a caret that is on stays on
        open(2026, 12, 9);
        QApplication::setActiveWindow(desk.get());
        QCoreApplication::processEvents();
        seams->activation = windowManager ? test::FakeSeams::Activation::Returned : test::FakeSeams::Activation::Lost;

        // Where the keyboard goes: the page's focused widget, whether or not the page is the active window.
        const auto typingGoesTo = [this] { return desk->focusWidget(); };
        const auto typeInto = [](QWidget* target, const QString& text) {
            for (const QChar ch : text) {
                if (ch == u'\n') QTest::keyClick(target, Qt::Key_Return);
                else QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
            }
        };
        for (const QString& step : steps.split(u'/')) {
            const QString arg = step.section(u' ', 1);
            if (step.endsWith(QStringLiteral("pgdn")) || step.endsWith(QStringLiteral("pgup"))) {
                const auto mods = step.startsWith(QStringLiteral("ctrl+")) ? Qt::ControlModifier : Qt::NoModifier;
                QTest::keyClick(typingGoesTo(),
                                step.endsWith(QStringLiteral("pgdn")) ? Qt::Key_PageDown : Qt::Key_PageUp, mods);
            } else if (step.startsWith(QStringLiteral("click"))) {
                const int i = cellOf(d(2026, 12, arg.toInt()));
                QVERIFY(i > 0);
                QTest::mouseClick(cell(i)->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
            } else if (step.startsWith(QStringLiteral("type"))) {
                typeInto(typingGoesTo(), arg);
            } else if (step == QStringLiteral("paste")) {
                qobject_cast<QPlainTextEdit*>(typingGoesTo())->insertPlainText(QString(1500, u'x'));
            } else if (step == QStringLiteral("lines")) {
                for (int k = 0; k < 12; ++k)
                    typeInto(typingGoesTo(), k ? QStringLiteral("\nline") : QStringLiteral("line"));
            } else if (step.startsWith(QStringLiteral("users"))) {
                const bool ok = arg == QStringLiteral("ok");
                seams->scripts.push_back([ok](QDialog* dlg) {
                    if (ok) part<QPushButton>(dlg, "OKBtn")->click();
                    return ok ? dlg->result() : int(mrCancel);
                });
                press("RxSpeedButton1");
            } else if (step == QStringLiteral("repeat")) {
                press("RepeatBtn");
            } else if (step == QStringLiteral("remove")) {
                auto* editor = qobject_cast<QPlainTextEdit*>(typingGoesTo());
                QVERIFY(editor);
                editor->selectAll();
                press("DelBtn");
            } else {
                QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
            }
            QCoreApplication::processEvents();
        }

        QCOMPARE(desk->page().PageStart, double(dayOf(pageStart)));
        QList<int> highlighted;
        for (int i = 1; i <= kPageCells; ++i)
            if (cell(i)->baseColour() == desk->highlightColour()) highlighted << i;
        const int expected = cellOf(dayOf(focused));
        QCOMPARE(highlighted, QList<int>{expected});
        QCOMPARE(typingGoesTo(), static_cast<QWidget*>(cell(expected)));
        QCOMPARE(focusedCell(), expected);
        // Without a window manager the page may still wait for the click that makes it active.
        QCOMPARE(carets(), QList<int>{expected});

        closePage();
        for (const QString& entry : days.split(u'|')) {
            const int day = entry.section(u'=', 0, 0).toInt();
            QString text = entry.section(u'=', 1);
            if (text.startsWith(u'*')) text = QString(text.mid(1).toInt(), u'x');
            text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
            const std::optional<std::string> want =
                text.isEmpty() ? std::nullopt : std::optional<std::string>(text.toStdString());
            QCOMPARE(test::storedDay(store(), d(2026, 12, day)), want);
        }
    }

    void removalOfARepeatingEntryFromTheFocusedDayOn() {
        const int focused = d(2026, 3, 11);
        test::putDay(store(), focused - 7, "<Gym>\r\n");
        test::putDay(store(), focused, "Doctor 10am\r\n<Gym>\r\nCall Bob\r\n");
        test::putDay(store(), focused + 7, "<Gym>\r\n");
        test::putDay(store(), focused + 70, "<Gym>\r\n<Gym>\r\nX");
        open(2026, 3, 11);
        QCOMPARE(focusedCell(), 3);
        // "<Gym>" selected with the line break and part of the next line.
        QTextCursor c = cell(3)->textCursor();
        c.setPosition(12);
        c.setPosition(21, QTextCursor::KeepAnchor);
        cell(3)->setTextCursor(c);
        QCOMPARE(cell(3)->selectedStoredText(), std::string("<Gym>\r\nCal"));
        press("DelBtn");

        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Confirmation);
        QCOMPARE(seams->messages[0].buttons, MsgButtons::YesNo);
        QCOMPARE(seams->messages[0].text, QStringLiteral("Remove <Gym> from calendar ?"));
        QCOMPARE(test::storedDay(store(), focused - 7), std::optional<std::string>("<Gym>\r\n"));
        QCOMPARE(test::storedDay(store(), focused), std::optional<std::string>("Doctor 10am\r\nCall Bob\r\n"));
        QCOMPARE(test::storedDay(store(), focused + 7), std::nullopt);
        QCOMPARE(test::storedDay(store(), focused + 70), std::optional<std::string>("<Gym>\r\nX"));
        QCOMPARE(dir->read("Ann.DBX").size(), size_t(3 * kRecordSize));  // flushed
        QCOMPARE(cell(3)->toPlainText(), QStringLiteral("Doctor 10am\nCall Bob\n"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void repeatButtonOpensTheRepetitionPageForTheFocusedDay() {
        open(2026, 3, 11);
        type(3, QStringLiteral("typed first"));
        std::vector<int> asked;
        QObject::connect(desk.get(), &TDeskDlg1::repeatRequested, desk.get(), [&](int start) {
            asked.push_back(start);
            // The cells were saved before.
            QCOMPARE(test::storedDay(store(), d(2026, 3, 11)), std::optional<std::string>("typed first"));
            test::putDay(store(), d(2026, 3, 12), "<Gym>\r\n");  // what stamping leaves in the store
        });
        press("RepeatBtn");
        QCOMPARE(asked, std::vector<int>{d(2026, 3, 11)});
        QCOMPARE(test::storedDay(store(), d(2026, 3, 11)), std::optional<std::string>("typed first"));  // saved before
        QCOMPARE(cell(4)->toPlainText(), QStringLiteral("<Gym>\n"));  // refilled after
    }

    void removalWithoutAProperSelectionExplains_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("nothing selected") << 5 << 5;
        QTest::newRow("not starting with <") << 1 << 5;
        QTest::newRow("no >") << 0 << 3;
    }

    void removalWithoutAProperSelectionExplains() {
        QFETCH(int, from);
        QFETCH(int, to);
        test::putDay(store(), d(2026, 3, 11), "<Gym>\r\n");
        const std::string before = dir->read("Ann.DBX");
        open(2026, 3, 11);
        QTextCursor c = cell(3)->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        cell(3)->setTextCursor(c);
        press("DelBtn");
        QCOMPARE(seams->modalClasses, QStringList{QStringLiteral("orv::TExplainDlg")});
        QVERIFY(seams->messages.empty());
        QCOMPARE(dir->read("Ann.DBX"), before);
    }

    void removalAnsweredNoChangesNothing() {
        test::putDay(store(), d(2026, 3, 11), "<Gym>\r\n");
        test::putDay(store(), d(2026, 3, 12), "<Gym>\r\n");
        open(2026, 3, 11);
        QTextCursor c = cell(3)->textCursor();
        c.setPosition(0);
        c.setPosition(5, QTextCursor::KeepAnchor);
        cell(3)->setTextCursor(c);
        seams->answers.push_back(mrNo);
        press("DelBtn");
        QCOMPARE(test::storedDay(store(), d(2026, 3, 12)), std::optional<std::string>("<Gym>\r\n"));
        QCOMPARE(test::storedDay(store(), d(2026, 3, 11)), std::optional<std::string>("<Gym>\r\n"));
    }

    void switchingCalendarsFromThePage() {
        test::putDay(store(), d(2026, 3, 12), "Ann's day");
        store().FlushCurrentCalendar();
        program().calendars.CurrentCalendarIndex = 1;
        store().OpenCurrentCalendar();
        test::putDay(store(), d(2026, 3, 12), "Bob's day");
        program().calendars.CurrentCalendarIndex = 0;
        store().OpenCurrentCalendar();

        TEditUserDlg users(run->context);
        makePage();
        desk->setUsersWindow(&users);
        open(2026, 3, 11);
        type(3, QStringLiteral("typed for Ann"));
        seams->scripts.push_back([](QDialog* dlg) {
            part<QListWidget>(dlg, "lbUsers")->setCurrentRow(1);
            part<QPushButton>(dlg, "OKBtn")->click();
            return dlg->result();
        });
        press("RxSpeedButton1");
        QCOMPARE(seams->modalClasses, QStringList{QStringLiteral("orv::TEditUserDlg")});
        QCOMPARE(program().calendars.CurrentCalendarIndex, 1);
        QCOMPARE(userBox()->text(), QStringLiteral("Bob"));
        QCOMPARE(cell(4)->toPlainText(), QStringLiteral("Bob's day"));
        QCOMPARE(cell(3)->toPlainText(), QString());
        QCOMPARE(focusedCell(), 3);
        closePage();

        program().calendars.CurrentCalendarIndex = 0;
        store().OpenCurrentCalendar();
        QCOMPARE(test::storedDay(store(), d(2026, 3, 11)), std::optional<std::string>("typed for Ann"));
    }

    void renamingTheCurrentCalendarAndCancellingKeepsWritingToItsNewFile() {
        test::putDay(store(), d(2026, 3, 12), "Ann's day");
        TEditUserDlg users(run->context);
        TChgUserDlg chg(run->context);
        users.setNameWindows(nullptr, &chg);
        makePage();
        desk->setUsersWindow(&users);
        open(2026, 3, 11);
        seams->scripts.push_back([](QDialog* dlg) {
            part<QListWidget>(dlg, "lbUsers")->setCurrentRow(0);
            part<QPushButton>(dlg, "EditBtn")->click();
            return int(mrCancel);
        });
        seams->scripts.push_back([](QDialog* dlg) {
            part<QLineEdit>(dlg, "eName")->setText(QStringLiteral("Ann Smith"));
            part<QPushButton>(dlg, "BitBtn2")->click();
            return dlg->result();
        });
        press("RxSpeedButton1");
        QVERIFY(!dir->exists("Ann.DBX"));
        QVERIFY(dir->exists("Ann Smith.DBX"));
        QCOMPARE(userBox()->text(), QStringLiteral("Ann Smith"));
        QCOMPARE(cell(4)->toPlainText(), QStringLiteral("Ann's day"));
        type(5, QStringLiteral("after the rename"));
        closePage();
        QVERIFY(!dir->exists("Ann.DBX"));
        QCOMPARE(store().CurrentFileName, calendarFile("Ann Smith"));
        QCOMPARE(test::storedDay(store(), d(2026, 3, 13)), std::optional<std::string>("after the rename"));
    }

    void storeFailureWhileSteppingShowsWhatTheStoreHolds() {
        test::putDay(store(), d(2026, 3, 9), "kept");
        open(2026, 3, 11);
        type(1, QStringLiteral(" and changed"));
        type(2, QStringLiteral("new day"));
        {
            FileSizeLimit full(kRecordSize);  // a new record no longer fits
            press("WeekBtnBottom");
        }
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Error);
        QCOMPARE(desk->page().PageStart, double(d(2026, 3, 9)));
        QCOMPARE(cell(1)->toPlainText(), QStringLiteral("kept and changed"));
        QCOMPARE(cell(2)->toPlainText(), QString());
        QCOMPARE(test::storedDay(store(), d(2026, 3, 10)), std::nullopt);
        QVERIFY(highlightFollows(2));
        // The page goes on working once there is room again.
        press("WeekBtnBottom");
        QCOMPARE(desk->page().PageStart, double(d(2026, 3, 16)));
    }

    void storeFailureWhileClosingStillCloses() {
        test::putDay(store(), d(2026, 3, 11), "Gym");
        open(2026, 3, 11);
        cell(3)->clear();
        type(4, QStringLiteral("not kept"));
        setFileCallHook([](FileCall, const std::string&) { return EIO; });
        {
            FileSizeLimit full(dir->read("Ann.DBX").size());
            press("ExitBtn");
        }
        setFileCallHook(nullptr);
        QVERIFY(!desk->isVisible());
        QCOMPARE(desk->result(), int(mrOk));
        QVERIFY(seams->messages.empty());
        store().OpenCurrentCalendar();
        QCOMPARE(test::storedDay(store(), d(2026, 3, 11)),
                 std::optional<std::string>("Gym"));  // the flush failed: nothing lost
    }
};

QTEST_MAIN(DeskDlgTest)
#include "desk_dlg1_test.moc"
