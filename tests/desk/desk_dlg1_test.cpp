// The week page: layout, opening, cells, steps, editing rules, removal of repeating entries, calendars
// and closing, driven on the offscreen platform through the fake seams.

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTextCursor>
#include <QToolButton>
#include <QtTest>
#include <cerrno>
#include <csignal>
#include <sys/resource.h>

#include "app/app_state.h"
#include "common/colours.h"
#include "common/day_number.h"
#include "common/hint_router.h"
#include "common/qt_colours.h"
#include "common/qt_text.h"
#include "desk/desk_dlg1.h"
#include "desk/reminder_editor.h"
#include "events/annual_dlg.h"
#include "common/sys_file.h"
#include "store/cal_db.h"
#include "store/chg_user_dlg.h"
#include "store/edit_user_dlg.h"
#include "support/fake_seams.h"
#include "support/store_days.h"
#include "support/temp_dir.h"

using namespace orv;

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
    std::unique_ptr<test::FakeSeams> seams;
    std::unique_ptr<TDeskDlg1> desk;

    std::string calendarFile(const std::string& name) const { return dir->path() + "/" + name + ".DBX"; }

    // Opens the page for a date as the main window does and lets the activation build it.
    TDeskDlg1* open(int y, int m, int day) {
        if (!desk) desk = std::make_unique<TDeskDlg1>();
        desk->page.PageYear = y;
        desk->page.PageMonth = m;
        desk->page.SelectedDay = day;
        desk->show();
        QCoreApplication::processEvents();
        desk->FormActivate();
        QCoreApplication::processEvents();
        return desk.get();
    }
    ReminderEditor* cell(int i) const { return desk->m[static_cast<size_t>(i)]; }
    int cellOf(int day) const {
        for (int i = 1; i <= kPageCells; ++i)
            if (desk->page.CellDates[static_cast<size_t>(i)] == day) return i;
        return 0;
    }
    // Key presses at the end of a cell, one character each (any character, not only ASCII).
    void type(int i, const QString& text) {
        cell(i)->moveCursor(QTextCursor::End);
        for (const QChar ch : text)
            QTest::sendKeyEvent(QTest::Click, cell(i), Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    void closePage() {
        desk->ExitBtnClick();
        QCoreApplication::processEvents();
    }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        seams = std::make_unique<test::FakeSeams>();
        resetAppState();
        Program& s = appState();
        s.calendars.DataFolder = dir->path();
        s.calendars.Names = {"Ann", "Bob"};
        s.calendars.CurrentCalendarIndex = 0;
        appState().store.setCalendars(&s.calendars);
        appState().store.OpenCurrentCalendar();
        TDeskDlg1::Busy = true;
    }

    void cleanup() {
        desk.reset();
        setFileCallHook(nullptr);
        appState().store.FreeStore();
        seams.reset();
        dir.reset();
    }

    void windowControlsCaptionsAndHints() {
        open(2026, 3, 11);
        QCOMPARE(desk->windowTitle(), QStringLiteral("Reminder Calendar"));
        QCOMPARE(desk->width(), 800);
        QCOMPARE(desk->BackPanel->height(), 50);
        QCOMPARE(desk->BtnPanel->width(), 421);
        QCOMPARE(desk->RxSpinButton1->size(), QSize(32, 32));
        QCOMPARE(desk->ceUser->size(), QSize(225, 23));
        QVERIFY(desk->ceUser->isReadOnly());
        QCOMPARE(desk->ceUser->text(), QStringLiteral("Ann"));
        for (QToolButton* b : {desk->RxSpeedButton1, desk->PrintBtn, desk->WEndBtn, desk->RepeatBtn, desk->DelBtn})
            QCOMPARE(b->size(), QSize(25, 25));
        QCOMPARE(desk->ExitBtn->size(), QSize(38, 40));
        QCOMPARE(desk->HintPanel->size(), QSize(292, 17));
        QCOMPARE(desk->cb4week->text(), QStringLiteral("4 weeks"));
        QVERIFY(desk->cb4week->isChecked());
        QCOMPARE(desk->cb4week->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QVERIFY(desk->cb4week->font().bold());

        const std::pair<QWidget*, QString> hints[] = {
            {desk->WeekBtnTop, QStringLiteral("Forward/backward by one week (PgDn/PgUp).")},
            {desk->WeekBtnBottom, QStringLiteral("Forward/backward by one week (PgDn/PgUp).")},
            {desk->WEndBtn, QStringLiteral("Hide/show weekends.")},
            {desk->cb4week, QStringLiteral("Shows 4 weeks when checked, 1 week unchecked")},
            {desk->ExitBtn, QStringLiteral("Close full size calendar.")},
            {desk->PrintBtn, QStringLiteral("Print calendar.")},
            {desk->RepeatBtn, QStringLiteral("Set up a repeating event.")},
            {desk->DelBtn, QStringLiteral("Delete a repeating event.")},
            {desk->RxSpeedButton1, QStringLiteral("Add, remove, change or edit User.")},
            {desk->ceUser, QStringLiteral("Current User. To change click the \"User\" button.")},
        };
        for (const auto& [w, hint] : hints) QCOMPARE(longHint(w), hint);
        QCOMPARE(desk->RxSpeedButton1->toolTip(), QStringLiteral("User"));

        const QStringList days{QString(), "Monday", "Tuesday", "Wednesday", "Thursday", "Friday"};
        for (int c = 1; c <= 5; ++c) QCOMPARE(desk->dp[static_cast<size_t>(c)]->text(), days[c]);
        QCOMPARE(desk->bp0->text(), QStringLiteral("Sat/Sun"));
        QVERIFY(desk->bp0->font().bold());
        QCOMPARE(desk->p[1]->font().pixelSize(), 11);

        // The hint line shows the long hint after a blank while the page is open.
        HintRouter::instance().hintFor(desk->RxSpeedButton1);
        QCOMPARE(desk->HintPanel->text(), QStringLiteral(" Add, remove, change or edit User."));
        closePage();
        desk->HintPanel->clear();
        HintRouter::instance().hintFor(desk->DelBtn);
        QCOMPARE(desk->HintPanel->text(), QString());
    }

    void layoutWithAndWithoutWeekendsInOneAndFourWeeks() {
        open(2026, 3, 11);
        // Four weeks, weekends shown.
        QCOMPARE(desk->b[1]->width(), 129);
        QCOMPARE(desk->dp[1]->width(), 129);
        QCOMPARE(desk->p[1]->x(), 108);
        QCOMPARE(desk->Panel5->height(), desk->Panel24->height());
        QCOMPARE(desk->Panel12->height(), 126);
        QCOMPARE(desk->Panel24->height(), 123);
        QVERIFY(desk->Panel12->isVisible() && desk->Panel18->isVisible() && desk->Panel24->isVisible());
        const QFrame* weekend = desk->bp[1];
        QVERIFY(weekend->isVisible());
        QCOMPARE(desk->b[6]->height(), (weekend->height() - 3) / 2);
        QCOMPARE(desk->b[7]->height(), (weekend->height() - 3) / 2);
        QVERIFY(desk->b[6]->y() < desk->b[7]->y());  // Saturday over Sunday
        QCOMPARE(desk->b[6]->parentWidget(), weekend);
        QCOMPARE(desk->b[13]->parentWidget(), desk->bp[2]);

        // Weekends hidden: the dates and title stay.
        const QString title = desk->Panel3->text();
        const double start = desk->page.PageStart;
        desk->WEndBtnClick();
        QVERIFY(!appState().settings.ShowWeekends);
        QCOMPARE(desk->b[1]->width(), 156);
        QCOMPARE(desk->dp[5]->width(), 156);
        QCOMPARE(desk->p[3]->x(), 135);
        QVERIFY(!desk->bp0->isVisible());
        for (int r = 1; r <= 4; ++r) QVERIFY(!desk->bp[static_cast<size_t>(r)]->isVisible());
        QCOMPARE(desk->Panel3->text(), title);
        QCOMPARE(desk->page.PageStart, start);
        desk->WEndBtnClick();
        QVERIFY(appState().settings.ShowWeekends && desk->bp0->isVisible());

        // One week: rows 2..4 hidden, row 1 fills the page.
        const int rowsHeight = desk->Panel24->geometry().bottom() - desk->Panel5->y() + 1;
        desk->cb4week->setChecked(false);
        QVERIFY(!desk->Panel12->isVisible() && !desk->Panel18->isVisible() && !desk->Panel24->isVisible());
        QCOMPARE(desk->Panel5->height(), rowsHeight);
        QCOMPARE(desk->b[1]->height(), rowsHeight);
        QCOMPARE(desk->b[6]->height(), (rowsHeight - 3) / 2);
        QCOMPARE(desk->Panel3->text(), fromCp1252(" " + systemDateNames().longMonths[2] + " 2026"));
        desk->cb4week->setChecked(true);
        QCOMPARE(desk->Panel3->text(), QStringLiteral(" March/April 2026"));
    }

    void openingDaysTitleNumbersAndFocus() {
        appState().settings.ShowWeekends = false;
        test::putDay(d(2026, 3, 9), "Dentist 10am\r\nBring card");
        test::putDay(d(2026, 2, 27), "too early");
        open(2026, 3, 7);  // a Saturday with weekends hidden: the page starts on Monday 9 March
        QCOMPARE(desk->page.PageStart, double(d(2026, 3, 9)));
        QCOMPARE(desk->Panel3->text(), QStringLiteral(" March/April 2026"));
        QCOMPARE(cell(1)->toPlainText(), QStringLiteral("Dentist 10am\nBring card"));
        QCOMPARE(desk->p[1]->text(), QStringLiteral("9"));
        QCOMPARE(desk->p[23]->text(), QStringLiteral("31"));
        QCOMPARE(textColourOf(desk->p[23]), QColor(Qt::black));
        QCOMPARE(desk->p[24]->text(), QStringLiteral("1"));
        QCOMPARE(textColourOf(desk->p[24]), QColor(128, 128, 128));
        QCOMPARE(desk->FocusedCell, cell(1));
        QCOMPARE(cell(1)->baseColour(), QColor(Qt::white));
        QVERIFY(!TDeskDlg1::Busy);
    }

    void highlightIsYellowOnWhiteCells() {
        appState().settings.Foreground = wincolor::White;
        open(2026, 3, 11);
        QCOMPARE(desk->FocusedCell, cell(3));
        QCOMPARE(cell(3)->baseColour(), QColor(255, 255, 0));
        QCOMPARE(cell(4)->baseColour(), QColor(Qt::white));
        // Entering another cell moves the highlight.
        QApplication::setActiveWindow(desk.get());
        cell(5)->setFocus();
        QCoreApplication::processEvents();
        if (!cell(5)->hasFocus()) QSKIP("the platform gives no focus to this window");
        QCOMPARE(desk->FocusedCell, cell(5));
        QCOMPARE(cell(5)->baseColour(), QColor(255, 255, 0));
        QCOMPARE(cell(3)->baseColour(), QColor(Qt::white));
    }

    void noCellQualifiesLeavesTheFocusOnNone() {
        appState().settings.ShowWeekends = false;
        open(2026, 5, 31);  // a Sunday: the page shows June only
        QCOMPARE(desk->page.PageStart, double(d(2026, 6, 1)));
        QCOMPARE(desk->FocusedCell, cell(1));
        for (int i = 1; i <= kPageCells; ++i) {
            QVERIFY(!cell(i)->hasFocus());
            QCOMPARE(cell(i)->baseColour(), toQColor(appState().settings.Foreground));
        }
    }

    void stepsSaveTypedTextAndKeepTheFocusedEditor() {
        open(2025, 12, 15);
        QCOMPARE(desk->FocusedCell, cell(1));
        type(1, QStringLiteral("Party"));
        type(10, QStringLiteral("Shop"));
        desk->WeekBtnBottomClick();
        QCOMPARE(test::storedDay(d(2025, 12, 15)), std::optional<std::string>("Party"));
        QCOMPARE(test::storedDay(d(2025, 12, 24)), std::optional<std::string>("Shop"));
        QCOMPARE(desk->page.PageStart, double(d(2025, 12, 22)));
        QCOMPARE(desk->page.PageMonth, 1);
        QCOMPARE(desk->Panel3->text(), QStringLiteral(" December/January 2026"));
        QCOMPARE(cell(3)->toPlainText(), QStringLiteral("Shop"));
        QCOMPARE(desk->FocusedCell, cell(1));
        QCOMPARE(textColourOf(desk->p[1]), QColor(128, 128, 128));  // 22 December on a January page

        desk->MonthBtnBottomClick();  // February 2026 starts on a Sunday
        QCOMPARE(desk->page.PageStart, double(d(2026, 2, 2)));
        desk->MonthBtnTopClick();
        desk->MonthBtnTopClick();
        QCOMPARE(desk->page.PageStart, double(d(2025, 12, 1)));
        QCOMPARE(cell(15)->toPlainText(), QStringLiteral("Party"));
        desk->WeekBtnTopClick();
        QCOMPARE(desk->page.PageStart, double(d(2025, 11, 24)));
        QCOMPARE(desk->page.PageMonth, 12);
        QCOMPARE(desk->page.SelectedDay, 15);
    }

    void pageKeysStepThePageFromACell() {
        open(2026, 3, 11);
        QApplication::setActiveWindow(desk.get());
        cell(3)->setFocus();
        QCoreApplication::processEvents();
        if (QApplication::activeWindow() != desk.get()) QSKIP("the platform activates no window");
        QTest::keyClick(cell(3), Qt::Key_PageDown);
        QCOMPARE(desk->page.PageStart, double(d(2026, 3, 16)));
        QTest::keyClick(cell(3), Qt::Key_PageUp);
        QTest::keyClick(cell(3), Qt::Key_PageUp);
        QCOMPARE(desk->page.PageStart, double(d(2026, 3, 2)));
        QTest::keyClick(cell(3), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(desk->page.PageStart, double(d(2026, 3, 30)));  // April 2026 starts on a Wednesday
        QTest::keyClick(cell(3), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(desk->page.PageStart, double(d(2026, 3, 2)));
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

        desk->WeekBtnBottomClick();
        QCOMPARE(test::storedDay(d(2026, 3, 11))->size(), size_t(1000));
    }

    void charactersWindows1252CannotHoldAreRefused() {
        open(2026, 3, 11);
        type(3, QStringLiteral("Caf\u00e9 \u20ac5 "));
        QVERIFY(seams->messages.empty());
        type(3, QStringLiteral("\u03a9x"));
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].text, unrepresentableMessage(QStringLiteral("\u03a9")));
        QCOMPARE(cell(3)->toPlainText(), QStringLiteral("Caf\u00e9 \u20ac5 x"));
        closePage();
        QCOMPARE(test::storedDay(d(2026, 3, 11)), std::optional<std::string>("Caf\xE9 \x80" "5 x"));
    }

    void overlongStoredTextIsCutWithTheWarningAndSavedCut() {
        const std::string longText = std::string(600, 'a') + "\r\n" + std::string(417, 'b');  // 1019 characters
        test::putDay(d(2026, 3, 10), longText);
        test::putDay(d(2026, 3, 1), std::string(1019, 'z'));  // not on the page
        test::putDay(d(2026, 3, 12), "short");
        const std::string fileBefore = dir->read("Ann.DBX");
        open(2026, 3, 11);
        QCOMPARE(seams->beeps, 1);
        QCOMPARE(cell(2)->storedLength(), 1000);
        closePage();
        QCOMPARE(test::storedDay(d(2026, 3, 10)), std::optional<std::string>(longText.substr(0, 1000)));
        QCOMPARE(test::storedDay(d(2026, 3, 1)), std::optional<std::string>(std::string(1019, 'z')));
        const std::string fileAfter = dir->read("Ann.DBX");
        QCOMPARE(fileAfter.size(), fileBefore.size());
        // Only the cut day's record differs.
        QCOMPARE(fileAfter.substr(kRecordSize), fileBefore.substr(kRecordSize));
    }

    void emptiedCellIsRemovedAfterTheFlush() {
        test::putDay(d(2026, 3, 11), "Gym");
        test::putDay(d(2026, 3, 12), "Swim");
        open(2026, 3, 11);
        cell(3)->clear();
        desk->WeekBtnBottomClick();
        QVERIFY(!appState().store.FindDay(d(2026, 3, 11)));
        QCOMPARE(dir->read("Ann.DBX").size(), size_t(2 * kRecordSize));  // marked only, until the flush
        closePage();
        QVERIFY(!desk->isVisible());
        QCOMPARE(dir->read("Ann.DBX").size(), size_t(kRecordSize));
        QCOMPARE(test::storedDay(d(2026, 3, 12)), std::optional<std::string>("Swim"));
    }

    void rebuildOnReactivationKeepsTypedTextOnItsDay() {
        open(2026, 3, 11);
        desk->WeekBtnBottomClick();
        QCOMPARE(desk->page.PageStart, double(d(2026, 3, 16)));
        type(1, QStringLiteral("typed after the step"));
        desk->FormActivate();  // a window over the page has closed
        QCOMPARE(test::storedDay(d(2026, 3, 16)), std::optional<std::string>("typed after the step"));
        QCOMPARE(desk->page.PageStart, double(d(2026, 3, 9)));  // rebuilt for the selected day
        QCOMPARE(cell(8)->toPlainText(), QStringLiteral("typed after the step"));
        QCOMPARE(cell(1)->toPlainText(), QString());
        QCOMPARE(desk->FocusedCell, cell(3));
    }

    void removalOfARepeatingEntryFromTheFocusedDayOn() {
        const int focused = d(2026, 3, 11);
        test::putDay(focused - 7, "<Gym>\r\n");
        test::putDay(focused, "Doctor 10am\r\n<Gym>\r\nCall Bob\r\n");
        test::putDay(focused + 7, "<Gym>\r\n");
        test::putDay(focused + 70, "<Gym>\r\n<Gym>\r\nX");
        open(2026, 3, 11);
        QCOMPARE(desk->FocusedCell, cell(3));
        // "<Gym>" selected with the line break and part of the next line.
        QTextCursor c = cell(3)->textCursor();
        c.setPosition(12);
        c.setPosition(21, QTextCursor::KeepAnchor);
        cell(3)->setTextCursor(c);
        QCOMPARE(cell(3)->selectedStoredText(), std::string("<Gym>\r\nCal"));
        desk->DelBtnClick();

        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Confirmation);
        QCOMPARE(seams->messages[0].buttons, MsgButtons::YesNo);
        QCOMPARE(seams->messages[0].text, QStringLiteral("Remove <Gym> from calendar ?"));
        QCOMPARE(test::storedDay(focused - 7), std::optional<std::string>("<Gym>\r\n"));
        QCOMPARE(test::storedDay(focused), std::optional<std::string>("Doctor 10am\r\nCall Bob\r\n"));
        QCOMPARE(test::storedDay(focused + 7), std::nullopt);
        QCOMPARE(test::storedDay(focused + 70), std::optional<std::string>("<Gym>\r\nX"));
        QCOMPARE(dir->read("Ann.DBX").size(), size_t(3 * kRecordSize));  // flushed
        QCOMPARE(cell(3)->toPlainText(), QStringLiteral("Doctor 10am\nCall Bob\n"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void repeatButtonOpensTheRepetitionPageForTheFocusedDay() {
        open(2026, 3, 11);
        type(3, QStringLiteral("typed first"));
        int shownStart = 0, shownPage = -1;
        seams->scripts.push_back([&](QDialog* dlg) {
            auto* annual = qobject_cast<TAnnualDlg*>(dlg);
            if (!annual) return int(mrCancel);
            shownStart = annual->StartDate;
            shownPage = annual->Page;
            test::putDay(d(2026, 3, 12), "<Gym>\r\n");  // what stamping leaves in the store
            return int(mrOk);
        });
        desk->RepeatBtnClick();
        QCOMPARE(seams->modalClasses, QStringList{QStringLiteral("orv::TAnnualDlg")});
        QCOMPARE(shownStart, d(2026, 3, 11));
        QCOMPARE(shownPage, 2);
        QCOMPARE(test::storedDay(d(2026, 3, 11)), std::optional<std::string>("typed first"));  // saved before
        QCOMPARE(cell(4)->toPlainText(), QStringLiteral("<Gym>\n"));                   // refilled after
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
        test::putDay(d(2026, 3, 11), "<Gym>\r\n");
        const std::string before = dir->read("Ann.DBX");
        open(2026, 3, 11);
        QTextCursor c = cell(3)->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        cell(3)->setTextCursor(c);
        desk->DelBtnClick();
        QCOMPARE(seams->modalClasses, QStringList{QStringLiteral("orv::TExplainDlg")});
        QVERIFY(seams->messages.empty());
        QCOMPARE(dir->read("Ann.DBX"), before);
    }

    void removalAnsweredNoChangesNothing() {
        test::putDay(d(2026, 3, 11), "<Gym>\r\n");
        test::putDay(d(2026, 3, 12), "<Gym>\r\n");
        open(2026, 3, 11);
        QTextCursor c = cell(3)->textCursor();
        c.setPosition(0);
        c.setPosition(5, QTextCursor::KeepAnchor);
        cell(3)->setTextCursor(c);
        seams->answers.push_back(mrNo);
        desk->DelBtnClick();
        QCOMPARE(test::storedDay(d(2026, 3, 12)), std::optional<std::string>("<Gym>\r\n"));
        QCOMPARE(test::storedDay(d(2026, 3, 11)), std::optional<std::string>("<Gym>\r\n"));
    }

    void switchingCalendarsFromThePage() {
        test::putDay(d(2026, 3, 12), "Ann's day");
        appState().store.FlushCurrentCalendar();
        appState().calendars.CurrentCalendarIndex = 1;
        appState().store.OpenCurrentCalendar();
        test::putDay(d(2026, 3, 12), "Bob's day");
        appState().calendars.CurrentCalendarIndex = 0;
        appState().store.OpenCurrentCalendar();

        TEditUserDlg users;
        desk = std::make_unique<TDeskDlg1>();
        desk->setEditUserDlg(&users);
        open(2026, 3, 11);
        type(3, QStringLiteral("typed for Ann"));
        seams->scripts.push_back([](QDialog* dlg) {
            auto* u = qobject_cast<TEditUserDlg*>(dlg);
            u->lbUsers->setCurrentRow(1);
            u->OKBtnClick();
            return u->result();
        });
        desk->ceUserButtonClick();
        QCOMPARE(seams->modalClasses, QStringList{QStringLiteral("orv::TEditUserDlg")});
        QCOMPARE(appState().calendars.CurrentCalendarIndex, 1);
        QCOMPARE(desk->ceUser->text(), QStringLiteral("Bob"));
        QCOMPARE(cell(4)->toPlainText(), QStringLiteral("Bob's day"));
        QCOMPARE(cell(3)->toPlainText(), QString());
        QCOMPARE(desk->FocusedCell, cell(3));
        closePage();

        appState().calendars.CurrentCalendarIndex = 0;
        appState().store.OpenCurrentCalendar();
        QCOMPARE(test::storedDay(d(2026, 3, 11)), std::optional<std::string>("typed for Ann"));
    }

    void renamingTheCurrentCalendarAndCancellingKeepsWritingToItsNewFile() {
        test::putDay(d(2026, 3, 12), "Ann's day");
        TEditUserDlg users;
        TChgUserDlg chg;
        users.setChgUserDlg(&chg);
        desk = std::make_unique<TDeskDlg1>();
        desk->setEditUserDlg(&users);
        open(2026, 3, 11);
        seams->scripts.push_back([](QDialog* dlg) {
            auto* u = qobject_cast<TEditUserDlg*>(dlg);
            u->lbUsers->setCurrentRow(0);
            u->EditBtnClick();
            return int(mrCancel);
        });
        seams->scripts.push_back([](QDialog* dlg) {
            auto* c = qobject_cast<TChgUserDlg*>(dlg);
            c->eName->setText(QStringLiteral("Ann Smith"));
            c->BitBtn2Click();
            return c->result();
        });
        desk->ceUserButtonClick();
        QVERIFY(!dir->exists("Ann.DBX"));
        QVERIFY(dir->exists("Ann Smith.DBX"));
        QCOMPARE(desk->ceUser->text(), QStringLiteral("Ann Smith"));
        QCOMPARE(cell(4)->toPlainText(), QStringLiteral("Ann's day"));
        type(5, QStringLiteral("after the rename"));
        closePage();
        QVERIFY(!dir->exists("Ann.DBX"));
        QCOMPARE(appState().store.CurrentFileName, calendarFile("Ann Smith"));
        QCOMPARE(test::storedDay(d(2026, 3, 13)), std::optional<std::string>("after the rename"));
    }

    void storeFailureWhileSteppingShowsWhatTheStoreHolds() {
        test::putDay(d(2026, 3, 9), "kept");
        open(2026, 3, 11);
        type(1, QStringLiteral(" and changed"));
        type(2, QStringLiteral("new day"));
        {
            FileSizeLimit full(kRecordSize);  // a new record no longer fits
            desk->WeekBtnBottomClick();
        }
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Error);
        QCOMPARE(desk->page.PageStart, double(d(2026, 3, 9)));
        QCOMPARE(cell(1)->toPlainText(), QStringLiteral("kept and changed"));
        QCOMPARE(cell(2)->toPlainText(), QString());
        QCOMPARE(test::storedDay(d(2026, 3, 10)), std::nullopt);
        QVERIFY(!TDeskDlg1::Busy);
        // The page goes on working once there is room again.
        desk->WeekBtnBottomClick();
        QCOMPARE(desk->page.PageStart, double(d(2026, 3, 16)));
    }

    void storeFailureWhileClosingStillCloses() {
        test::putDay(d(2026, 3, 11), "Gym");
        open(2026, 3, 11);
        cell(3)->clear();
        type(4, QStringLiteral("not kept"));
        setFileCallHook([](FileCall, const std::string&) { return EIO; });
        {
            FileSizeLimit full(dir->read("Ann.DBX").size());
            desk->ExitBtnClick();
        }
        setFileCallHook(nullptr);
        QVERIFY(!desk->isVisible());
        QCOMPARE(desk->result(), int(mrOk));
        QVERIFY(seams->messages.empty());
        appState().store.OpenCurrentCalendar();
        QCOMPARE(test::storedDay(d(2026, 3, 11)), std::optional<std::string>("Gym"));  // the flush failed: nothing lost
    }
};

QTEST_MAIN(DeskDlgTest)
#include "desk_dlg1_test.moc"
