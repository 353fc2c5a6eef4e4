// The month view of the main window: moving through months and years, day dots, hints and the windows
// it opens.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

#include "app/about_dlg.h"
#include "app/agent_dlg.h"
#include "app/main_form.h"
#include "app/rx_calendar_ex.h"
#include "app/startup.h"
#include "common/contact_addresses.h"
#include "common/day_number.h"
#include "common/hint_router.h"
#include "store/cal_db.h"
#include "support/parts.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"
#include "support/test_context.h"

using namespace orv;
using test::part;

namespace {

int date(int y, int m, int d) { return dayNumber(y, m, d); }
const int kToday = date(2023, 6, 15);

TRxCalendarEx* grid(const TCalMainForm& f) { return part<TRxCalendarEx>(&f, "Cal"); }
Ymd shown(const TCalMainForm& f) { return {grid(f)->Year(), grid(f)->Month(), grid(f)->Day()}; }

}  // namespace

class MonthViewTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::TestContext> run;
    test::FakeSeams* seams = nullptr;

    // A program folder with settings and one calendar "Ann" holding the given days.
    void prepareFolder(const test::Days& days = {}) {
        test::writeProgramFolder(*dir, "[Calendar]\r\nLast Accepted Date=" + std::to_string(kToday) + "\r\n", days);
    }

    std::unique_ptr<TCalMainForm> activeForm(const test::Days& days = {}) {
        prepareFolder(days);
        auto form = std::unique_ptr<TCalMainForm>(createWindows(run->context));
        form->FormActivate();
        return form;
    }

    std::unique_ptr<TCalMainForm> shownForm() {
        auto form = activeForm();
        form->show();
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get())) return nullptr;
        QCoreApplication::processEvents();
        return form;
    }

    // Types into the year field one character at a time, recording the grid's year after each.
    static QList<int> typeYear(TCalMainForm& form, const QString& text) {
        auto* year = part<QSpinBox>(&form, "seYear");
        year->setFocus();
        year->findChild<QLineEdit*>()->selectAll();
        QList<int> years;
        for (const QChar c : text) {
            QTest::keyClicks(year, QString(c));
            years << grid(form)->Year();
        }
        return years;
    }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        run = std::make_unique<test::TestContext>(dir->path(), kToday);
        seams = &run->seams;
    }

    void cleanup() {
        run.reset();
        dir.reset();
    }

    void controlsCarryTheirCaptionsHintsAndPlaces() {
        auto form = activeForm();
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->geometry(), QRect(92, 10, 282, 127));
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->StartOfWeek(), 0);
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->Weekends(), kSaturdayAndSunday);
        QCOMPARE(part<QComboBox>(form.get(), "cbMonth")->geometry(), QRect(7, 9, 54, 21));
        QCOMPARE(part<QComboBox>(form.get(), "cbMonth")->count(), 12);
        QCOMPARE(part<QComboBox>(form.get(), "cbMonth")->itemText(0), QStringLiteral("Jan"));
        QCOMPARE(part<QComboBox>(form.get(), "cbMonth")->itemText(11), QStringLiteral("Dec"));
        QCOMPARE(part<QFrame>(form.get(), "sMonth")->geometry(), QRect(64, 9, 21, 21));
        QCOMPARE(part<QSpinBox>(form.get(), "seYear")->geometry().topLeft(), QPoint(383, 9));
        QCOMPARE(part<QSpinBox>(form.get(), "seYear")->width(), 78);
        QCOMPARE(part<QSpinBox>(form.get(), "seYear")->minimum(), 1800);
        QCOMPARE(part<QSpinBox>(form.get(), "seYear")->maximum(), 9999);
        QCOMPARE(part<QComboBox>(form.get(), "cbMonth")->palette().color(QPalette::ButtonText), QColor(0, 0, 255));
        QVERIFY(part<QSpinBox>(form.get(), "seYear")->font().bold());
        QCOMPARE(part<QComboBox>(form.get(), "cbMonth")->statusTip(),
                 QStringLiteral("Drop down list to select month (PgUp or PgDn)."));
        QCOMPARE(part<QToolButton>(form.get(), "sMonthTop")->statusTip(),
                 QStringLiteral("Click buttons to change month (PgUp or PgDn)."));
        QCOMPARE(part<QSpinBox>(form.get(), "seYear")->statusTip(),
                 QStringLiteral("Click buttons to change year (Ctrl+PgUp or Ctrl+PgDn)."));
        QCOMPARE(part<QAction>(form.get(), "MnthDn1")->shortcut(), QKeySequence(Qt::Key_PageDown));
        QCOMPARE(part<QAction>(form.get(), "YearUp1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_PageUp));
        QCOMPARE(part<QAction>(form.get(), "YearUp1")->text(), QStringLiteral("YearUp"));
        // The view follows the grid, which starts on today.
        QCOMPARE(shown(*form), (Ymd{2023, 6, 15}));
        QCOMPARE(part<QComboBox>(form.get(), "cbMonth")->currentIndex(), 5);
        QCOMPARE(part<QSpinBox>(form.get(), "seYear")->value(), 2023);
        QCOMPARE(form->runState().LastShownMonth, 6);
        QCOMPARE(form->runState().LastShownYear, 2023);
    }

    void yearTypedOneCharacterAtATime() {
        auto form = activeForm();
        QSignalSpy loads(form.get(), &TCalMainForm::monthShown);
        QCOMPARE(typeYear(*form, QStringLiteral("2005")), (QList<int>{2023, 2023, 2023, 2005}));
        QCOMPARE(shown(*form), (Ymd{2005, 6, 15}));
        QCOMPARE(form->runState().LastShownYear, 2005);
        QCOMPARE(loads.count(), 1);
    }

    void yearBelow1800EndsAt1800() {
        auto form = activeForm();
        // Record each year the grid takes before the view reacts to it.
        QList<int> passed;
        TCalMainForm* f = form.get();
        disconnect(grid(*f), &TRxCalendarEx::OnChange, f, nullptr);
        connect(grid(*f), &TRxCalendarEx::OnChange, this, [&] { passed << grid(*f)->Year(); });
        connect(grid(*f), &TRxCalendarEx::OnChange, f, [f] { f->CalChange(); });
        typeYear(*form, QStringLiteral("1750"));
        QCOMPARE(passed, (QList<int>{1750, 1800}));
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->Year(), 1800);
        QCOMPARE(part<QSpinBox>(form.get(), "seYear")->value(), 1800);
        QCOMPARE(part<QSpinBox>(form.get(), "seYear")->text(), QStringLiteral("1800"));
        QCOMPARE(form->runState().LastShownYear, 1800);

        // Again from 1800 itself, where putting the bound back into the field changes nothing in it.
        passed.clear();
        typeYear(*form, QStringLiteral("1799"));
        QCOMPARE(passed, (QList<int>{1799, 1800}));
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->Year(), 1800);
        QCOMPARE(part<QSpinBox>(form.get(), "seYear")->text(), QStringLiteral("1800"));
    }

    void yearFieldRepairs29February() {
        auto form = activeForm();
        part<TRxCalendarEx>(form.get(), "Cal")->SetCalendarDate(date(2000, 2, 29));
        typeYear(*form, QStringLiteral("2001"));
        QCOMPARE(shown(*form), (Ymd{2001, 2, 28}));
        typeYear(*form, QStringLiteral("2004"));
        QCOMPARE(shown(*form), (Ymd{2004, 2, 28}));  // the day stays 28
    }

    void yearFieldArrowsStepBackwards() {
        auto form = activeForm();
        part<QSpinBox>(form.get(), "seYear")->setFocus();
        QTest::keyClick(part<QSpinBox>(form.get(), "seYear"), Qt::Key_Up);
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->Year(), 2022);
        QTest::keyClick(part<QSpinBox>(form.get(), "seYear"), Qt::Key_Down);
        QTest::keyClick(part<QSpinBox>(form.get(), "seYear"), Qt::Key_Down);
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->Year(), 2024);
        // At the lower bound the upper arrow is the one that gives out.
        part<QSpinBox>(form.get(), "seYear")->setValue(1800);
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->Year(), 1800);
        QTest::keyClick(part<QSpinBox>(form.get(), "seYear"), Qt::Key_Up);
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->Year(), 1800);
        QTest::keyClick(part<QSpinBox>(form.get(), "seYear"), Qt::Key_Down);
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->Year(), 1801);
    }

    void pictureReloadsOnlyWhenMonthOrYearChanges() {
        auto form = activeForm();
        QList<int> loads;
        QObject::connect(form.get(), &TCalMainForm::monthShown, form.get(), [&](int month) { loads << month; });
        part<TRxCalendarEx>(form.get(), "Cal")->SetDatePart(kPartDay, 3);  // as a click on another day does
        part<TRxCalendarEx>(form.get(), "Cal")->SetCalendarDate(date(2023, 6, 30));
        QVERIFY(loads.isEmpty());
        part<QComboBox>(form.get(), "cbMonth")->setCurrentIndex(1);  // February: the 30th becomes the 28th
        QCOMPARE(shown(*form), (Ymd{2023, 2, 28}));
        QCOMPARE(loads, (QList<int>{2}));
        part<TRxCalendarEx>(form.get(), "Cal")->NextYear();
        QCOMPARE(loads, (QList<int>{2, 2}));
        QCOMPARE(form->runState().LastShownYear, 2024);
        part<QToolButton>(form.get(), "sMonthBottom")->click();
        part<QToolButton>(form.get(), "sMonthTop")->click();
        QCOMPARE(loads, (QList<int>{2, 2, 3, 2}));
        QCOMPARE(form->runState().LastShownMonth, 2);
    }

    void dotsFollowTheCalendar() {
        auto form = activeForm({{date(2023, 6, 3), "Lunch with Eve"},
                                {date(2023, 6, 9), "Pay \xAB rent"},
                                {date(2023, 6, 20), "<Yearly check>\r\n"},
                                {date(2023, 7, 1), "Holiday"}});
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->GetMark(3), 2);
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->GetMark(9), 1);
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->GetMark(20), 2);
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->GetMark(4), 0);
        // 31 June is 1 July: its mark is kept but never drawn, since June has no 31st.
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->DaysThisMonth(), 30);

        // A green dot turns lime in the current cell; the red one stays red.
        part<TRxCalendarEx>(form.get(), "Cal")->SetDatePart(kPartDay, 3);
        QImage img = part<TRxCalendarEx>(form.get(), "Cal")->grab().toImage();
        auto dot = [&](int day) {
            const GridCell c = cellOfDay(day, part<TRxCalendarEx>(form.get(), "Cal")->FirstDayOffset());
            const QRect d = TRxCalendarEx::dotRect(part<TRxCalendarEx>(form.get(), "Cal")->cellRect(c.row, c.column));
            return QColor(img.pixel(d.left() + 1, d.top() + 1));
        };
        QCOMPARE(dot(3), QColor(0, 255, 0));
        QCOMPARE(dot(9), QColor(255, 0, 0));
        QCOMPARE(dot(20), QColor(0, 128, 0));

        part<TRxCalendarEx>(form.get(), "Cal")->NextMonth();
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->GetMark(1), 2);
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->GetMark(3), 0);

        // "Show dots in main calendar" off: no dot anywhere.
        run->program.settings.ShowUsage = false;
        form->RefreshDayMarks();
        for (int d = 0; d <= 31; ++d) QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->GetMark(d), 0);
        part<TRxCalendarEx>(form.get(), "Cal")->PrevMonth();
        for (int d = 0; d <= 31; ++d) QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->GetMark(d), 0);
        img = part<TRxCalendarEx>(form.get(), "Cal")->grab().toImage();
        QVERIFY(dot(9) != QColor(255, 0, 0));
    }

    void lastMonthsOfTheCalendarHaveNoDaysBeyond() {
        auto form = activeForm();
        part<TRxCalendarEx>(form.get(), "Cal")->SetCalendarDate(date(9999, 12, 20));
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->GetMark(31), 0);  // marks stop at the last representable day
        part<QAction>(form.get(), "MnthDn1")->trigger();
        QCOMPARE(shown(*form), (Ymd{9999, 12, 20}));
        QCOMPARE(part<QLabel>(form.get(), "StatusLine")->text(), QStringLiteral(" ") + TCalMainForm::lastDateNote());
        part<QLabel>(form.get(), "StatusLine")->clear();
        part<QAction>(form.get(), "YearDn1")->trigger();
        QCOMPARE(shown(*form), (Ymd{9999, 12, 20}));
        QCOMPARE(part<QLabel>(form.get(), "StatusLine")->text(), QStringLiteral(" ") + TCalMainForm::lastDateNote());
        part<QLabel>(form.get(), "StatusLine")->clear();
        part<QToolButton>(form.get(), "sMonthBottom")->click();
        QCOMPARE(part<QLabel>(form.get(), "StatusLine")->text(), QStringLiteral(" ") + TCalMainForm::lastDateNote());
        part<QAction>(form.get(), "MnthUp1")->trigger();
        QCOMPARE(shown(*form), (Ymd{9999, 11, 20}));
    }

    void hintInStatusLineWithLeadingBlank() {
        auto form = activeForm();
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(part<QPushButton>(form.get(), "TodayBtn"), &enter);
        QCOMPARE(part<QLabel>(form.get(), "StatusLine")->text(), QStringLiteral(" Reset calendar to today's date."));
        QCoreApplication::sendEvent(part<QSpinBox>(form.get(), "seYear"), &enter);
        QCOMPARE(part<QLabel>(form.get(), "StatusLine")->text(),
                 QStringLiteral(" Click buttons to change year (Ctrl+PgUp or Ctrl+PgDn)."));
        // A control without a hint shows the default status text.
        QCoreApplication::sendEvent(part<TRxCalendarEx>(form.get(), "Cal"), &enter);
        QCOMPARE(part<QLabel>(form.get(), "StatusLine")->text(),
                 QStringLiteral(" ") + part<QLineEdit>(form.get(), "eMessage")->text());
        QVERIFY(!part<QLineEdit>(form.get(), "eMessage")->text().isEmpty());
        QCoreApplication::sendEvent(part<QPushButton>(form.get(), "AboutBtn"), &enter);
        QCOMPARE(part<QLabel>(form.get(), "StatusLine")->text(), QStringLiteral(" ...Corvin"));
    }

    void hintsGiveWayOverBarePanels_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("bare");  // a panel, and a point of it where no control lies
        QTest::addColumn<QPoint>("point");
        QTest::newRow("button, then the month view panel") << "TodayBtn"
                                                           << "Panel2" << QPoint(40, 69);
        QTest::newRow("year field, then the month view panel") << "seYear"
                                                               << "Panel2" << QPoint(420, 2);
        QTest::newRow("exit button, then the top strip") << "ExitBtn"
                                                         << "Panel5" << QPoint(50, 20);
        QTest::newRow("picture, then its frame") << "PicMain"
                                                 << "ImgPanel" << QPoint(0, 50);
        QTest::newRow("picture, then the client panel") << "PicMain"
                                                        << "Panel1" << QPoint(6, 100);
    }
    void hintsGiveWayOverBarePanels() {
        QFETCH(QString, control);
        QFETCH(QString, bare);
        QFETCH(QPoint, point);
        auto form = shownForm();
        QVERIFY(form);
        auto* target = part<QWidget>(form.get(), qPrintable(control));
        auto* panel = part<QWidget>(form.get(), qPrintable(bare));
        QVERIFY(!panel->childAt(point));
        const QString defaultText = QStringLiteral(" ") + part<QLineEdit>(form.get(), "eMessage")->text();
        QTest::mouseMove(target, target->rect().center());
        QCOMPARE(part<QLabel>(form.get(), "StatusLine")->text(), QStringLiteral(" ") + target->statusTip());
        QTest::mouseMove(panel, point);
        QCOMPARE(part<QLabel>(form.get(), "StatusLine")->text(), defaultText);
        // And out of the window from the control.
        QTest::mouseMove(target, target->rect().center());
        QTest::mouseMove(form.get(), QPoint(-40, form->height() / 2));
        QCOMPARE(part<QLabel>(form.get(), "StatusLine")->text(), defaultText);
    }

    void pageKeys_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("focus");
        const int plain = 0;
        const int ctrl = int(Qt::ControlModifier);
        for (const QString& focus : {QStringLiteral("grid"), QStringLiteral("year"), QStringLiteral("month")}) {
            const QByteArray f = focus.toLatin1();
            QTest::newRow("31 Jan PgDn " + f)
                << date(2001, 1, 31) << int(Qt::Key_PageDown) << plain << date(2001, 2, 28) << focus;
            QTest::newRow("31 Jan leap PgDn " + f)
                << date(2004, 1, 31) << int(Qt::Key_PageDown) << plain << date(2004, 2, 29) << focus;
            QTest::newRow("31 Mar PgUp " + f)
                << date(2001, 3, 31) << int(Qt::Key_PageUp) << plain << date(2001, 2, 28) << focus;
            QTest::newRow("29 Feb 2000 Ctrl+PgDn " + f)
                << date(2000, 2, 29) << int(Qt::Key_PageDown) << ctrl << date(2001, 2, 28) << focus;
            QTest::newRow("29 Feb 2000 Ctrl+PgUp " + f)
                << date(2000, 2, 29) << int(Qt::Key_PageUp) << ctrl << date(1999, 2, 28) << focus;
        }
    }
    void pageKeys() {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, to);
        QFETCH(QString, focus);
        auto form = shownForm();
        QVERIFY(form);
        part<TRxCalendarEx>(form.get(), "Cal")->SetCalendarDate(from);
        QWidget* target = focus == "grid"   ? static_cast<QWidget*>(part<TRxCalendarEx>(form.get(), "Cal"))
                          : focus == "year" ? static_cast<QWidget*>(part<QSpinBox>(form.get(), "seYear"))
                                            : static_cast<QWidget*>(part<QComboBox>(form.get(), "cbMonth"));
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->CalendarDate(), to);
        QCOMPARE(part<QSpinBox>(form.get(), "seYear")->value(), toYmd(to).year);
        QCOMPARE(part<QComboBox>(form.get(), "cbMonth")->currentIndex(), toYmd(to).month - 1);
    }

    void todayReturnsToToday() {
        auto form = activeForm();
        part<TRxCalendarEx>(form.get(), "Cal")->SetCalendarDate(date(1999, 3, 4));
        part<QPushButton>(form.get(), "TodayBtn")->click();
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->CalendarDate(), kToday);
        QCOMPARE(part<QSpinBox>(form.get(), "seYear")->value(), 2023);
    }

    void buttonsOpenTheirWindows() {
        auto form = activeForm();
        int toDoOpened = 0;
        QObject::connect(form.get(), &TCalMainForm::toDoRequested, form.get(), [&](int day) {
            ++toDoOpened;
            QCOMPARE(day, date(2023, 6, 6));
        });
        part<TRxCalendarEx>(form.get(), "Cal")->SetDatePart(kPartDay, 6);
        emit part<TRxCalendarEx>(form.get(), "Cal")->doubleClicked();
        part<QPushButton>(form.get(), "ToDoBtn")->click();
        QCOMPARE(toDoOpened, 2);
        QCOMPARE(seams->modalClasses.count(QStringLiteral("orv::TToDoDlg")), 2);
        seams->modalClasses.clear();

        part<QPushButton>(form.get(), "AboutBtn")->click();
        QTest::mouseClick(part<QLabel>(form.get(), "Image3"), Qt::LeftButton);
        part<QPushButton>(form.get(), "InfoBtn")->click();
        QCOMPARE(seams->modalClasses, (QStringList{QStringLiteral("orv::TfrmAbout1"), QStringLiteral("orv::TfrmAbout1"),
                                                   QStringLiteral("orv::TAgentDlg")}));
        // Each window is made once and kept.
        QCOMPARE(form->findChildren<TfrmAbout1*>().size(), 1);
        QCOMPARE(form->findChildren<TAgentDlg*>().size(), 1);
    }

    void contactLinksGoToTheDesktop() {
        TfrmAbout1 about(*seams);
        TAgentDlg agent(*seams);
        emit part<QLabel>(&about, "lWeb")->linkActivated(projectWebAddress().toString());
        emit part<QLabel>(&agent, "lMail")->linkActivated(projectMailAddress().toString());
        QCOMPARE(seams->openedUrls, (QStringList{"https://orvella.example.org", "mailto:orvella@example.org"}));
        QVERIFY(seams->messages.empty());
        seams->urlsOpen = false;
        emit part<QLabel>(&about, "lMail")->linkActivated(projectMailAddress().toString());
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Warning);
        QVERIFY(seams->messages[0].text.contains(QStringLiteral("mailto:orvella@example.org")));
    }
};

QTEST_MAIN(MonthViewTest)
#include "month_view_test.moc"
