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
#include "app/app_state.h"
#include "app/forms.h"
#include "app/main_form.h"
#include "app/rx_calendar_ex.h"
#include "common/clock.h"
#include "common/day_number.h"
#include "common/hint_router.h"
#include "store/cal_db.h"
#include "support/fake_seams.h"
#include "support/program_folder.h"
#include "support/temp_dir.h"

using namespace orv;

namespace {

int date(int y, int m, int d) { return dayNumber(y, m, d); }
const int kToday = date(2023, 6, 15);

Ymd shown(const TCalMainForm& f) { return {f.Cal->Year(), f.Cal->Month(), f.Cal->Day()}; }


}  // namespace

class MonthViewTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::FakeSeams> seams;

    // A program folder with settings and one calendar "Ann" holding the given days.
    void prepareFolder(const test::Days& days = {}) {
        test::writeProgramFolder(*dir, "[Calendar]\r\nLast Accepted Date=" + std::to_string(kToday) + "\r\n", days);
    }

    std::unique_ptr<TCalMainForm> activeForm(const test::Days& days = {}) {
        prepareFolder(days);
        auto form = std::make_unique<TCalMainForm>(dir->path());
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
        form.seYear->setFocus();
        form.seYear->findChild<QLineEdit*>()->selectAll();
        QList<int> years;
        for (const QChar c : text) {
            QTest::keyClicks(form.seYear, QString(c));
            years << form.Cal->Year();
        }
        return years;
    }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        seams = std::make_unique<test::FakeSeams>();
        test::resetProgramState(kToday);
    }

    void cleanup() {
        test::clearProgramState();
        seams.reset();
        dir.reset();
    }

    void controlsCarryTheirCaptionsHintsAndPlaces() {
        auto form = activeForm();
        QCOMPARE(form->Cal->geometry(), QRect(92, 10, 282, 127));
        QCOMPARE(form->Cal->StartOfWeek(), 0);
        QCOMPARE(form->Cal->Weekends(), kSaturdayAndSunday);
        QCOMPARE(form->cbMonth->geometry(), QRect(7, 9, 54, 21));
        QCOMPARE(form->cbMonth->count(), 12);
        QCOMPARE(form->cbMonth->itemText(0), QStringLiteral("Jan"));
        QCOMPARE(form->cbMonth->itemText(11), QStringLiteral("Dec"));
        QCOMPARE(form->sMonth->geometry(), QRect(64, 9, 21, 21));
        QCOMPARE(form->seYear->geometry().topLeft(), QPoint(383, 9));
        QCOMPARE(form->seYear->width(), 78);
        QCOMPARE(form->seYear->minimum(), 1800);
        QCOMPARE(form->seYear->maximum(), 9999);
        QCOMPARE(form->cbMonth->palette().color(QPalette::ButtonText), QColor(0, 0, 255));
        QVERIFY(form->seYear->font().bold());
        QCOMPARE(form->cbMonth->statusTip(), QStringLiteral("Drop down list to select month (PgUp or PgDn)."));
        QCOMPARE(form->sMonthTop->statusTip(), QStringLiteral("Click buttons to change month (PgUp or PgDn)."));
        QCOMPARE(form->seYear->statusTip(), QStringLiteral("Click buttons to change year (Ctrl+PgUp or Ctrl+PgDn)."));
        QCOMPARE(form->MnthDn1->shortcut(), QKeySequence(Qt::Key_PageDown));
        QCOMPARE(form->YearUp1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_PageUp));
        QCOMPARE(form->YearUp1->text(), QStringLiteral("YearUp"));
        // The view follows the grid, which starts on today.
        QCOMPARE(shown(*form), (Ymd{2023, 6, 15}));
        QCOMPARE(form->cbMonth->currentIndex(), 5);
        QCOMPARE(form->seYear->value(), 2023);
        QCOMPARE(form->LastShownMonth, 6);
        QCOMPARE(form->LastShownYear, 2023);
    }

    void yearTypedOneCharacterAtATime() {
        auto form = activeForm();
        int loads = 0;
        form->loadMonthPicture = [&](int) { ++loads; };
        QCOMPARE(typeYear(*form, QStringLiteral("2005")), (QList<int>{2023, 2023, 2023, 2005}));
        QCOMPARE(shown(*form), (Ymd{2005, 6, 15}));
        QCOMPARE(form->LastShownYear, 2005);
        QCOMPARE(loads, 1);
    }

    void yearBelow1800EndsAt1800() {
        auto form = activeForm();
        // Record each year the grid takes before the view reacts to it.
        QList<int> passed;
        TCalMainForm* f = form.get();
        disconnect(f->Cal, &TRxCalendarEx::OnChange, f, nullptr);
        connect(f->Cal, &TRxCalendarEx::OnChange, this, [&] { passed << f->Cal->Year(); });
        connect(f->Cal, &TRxCalendarEx::OnChange, f, [f] { f->CalChange(); });
        typeYear(*form, QStringLiteral("1750"));
        QCOMPARE(passed, (QList<int>{1750, 1800}));
        QCOMPARE(form->Cal->Year(), 1800);
        QCOMPARE(form->seYear->value(), 1800);
        QCOMPARE(form->seYear->text(), QStringLiteral("1800"));
        QCOMPARE(form->LastShownYear, 1800);

        // Again from 1800 itself, where putting the bound back into the field changes nothing in it.
        passed.clear();
        typeYear(*form, QStringLiteral("1799"));
        QCOMPARE(passed, (QList<int>{1799, 1800}));
        QCOMPARE(form->Cal->Year(), 1800);
        QCOMPARE(form->seYear->text(), QStringLiteral("1800"));
    }

    void yearFieldRepairs29February() {
        auto form = activeForm();
        form->Cal->SetCalendarDate(date(2000, 2, 29));
        typeYear(*form, QStringLiteral("2001"));
        QCOMPARE(shown(*form), (Ymd{2001, 2, 28}));
        typeYear(*form, QStringLiteral("2004"));
        QCOMPARE(shown(*form), (Ymd{2004, 2, 28}));  // the day stays 28
    }

    void yearFieldArrowsStepBackwards() {
        auto form = activeForm();
        form->seYear->setFocus();
        QTest::keyClick(form->seYear, Qt::Key_Up);
        QCOMPARE(form->Cal->Year(), 2022);
        QTest::keyClick(form->seYear, Qt::Key_Down);
        QTest::keyClick(form->seYear, Qt::Key_Down);
        QCOMPARE(form->Cal->Year(), 2024);
        // At the lower bound the upper arrow is the one that gives out.
        form->seYear->setValue(1800);
        QCOMPARE(form->Cal->Year(), 1800);
        QTest::keyClick(form->seYear, Qt::Key_Up);
        QCOMPARE(form->Cal->Year(), 1800);
        QTest::keyClick(form->seYear, Qt::Key_Down);
        QCOMPARE(form->Cal->Year(), 1801);
    }

    void pictureReloadsOnlyWhenMonthOrYearChanges() {
        auto form = activeForm();
        QList<int> loads;
        form->loadMonthPicture = [&](int month) { loads << month; };
        form->Cal->SetDatePart(kPartDay, 3);  // as a click on another day does
        form->Cal->SetCalendarDate(date(2023, 6, 30));
        QVERIFY(loads.isEmpty());
        form->cbMonth->setCurrentIndex(1);  // February: the 30th becomes the 28th
        QCOMPARE(shown(*form), (Ymd{2023, 2, 28}));
        QCOMPARE(loads, (QList<int>{2}));
        form->Cal->NextYear();
        QCOMPARE(loads, (QList<int>{2, 2}));
        QCOMPARE(form->LastShownYear, 2024);
        form->sMonthBottom->click();
        form->sMonthTop->click();
        QCOMPARE(loads, (QList<int>{2, 2, 3, 2}));
        QCOMPARE(form->LastShownMonth, 2);
    }

    void dotsFollowTheCalendar() {
        auto form = activeForm({{date(2023, 6, 3), "Lunch with Eve"},
                                {date(2023, 6, 9), "Pay \xAB rent"},
                                {date(2023, 6, 20), "<Yearly check>\r\n"},
                                {date(2023, 7, 1), "Holiday"}});
        QCOMPARE(form->Cal->GetMark(3), 2);
        QCOMPARE(form->Cal->GetMark(9), 1);
        QCOMPARE(form->Cal->GetMark(20), 2);
        QCOMPARE(form->Cal->GetMark(4), 0);
        // 31 June is 1 July: its mark is kept but never drawn, since June has no 31st.
        QCOMPARE(form->Cal->DaysThisMonth(), 30);

        // A green dot turns lime in the current cell; the red one stays red.
        form->Cal->SetDatePart(kPartDay, 3);
        QImage img = form->Cal->grab().toImage();
        auto dot = [&](int day) {
            const GridCell c = cellOfDay(day, form->Cal->FirstDayOffset());
            const QRect d = TRxCalendarEx::dotRect(form->Cal->cellRect(c.row, c.column));
            return QColor(img.pixel(d.left() + 1, d.top() + 1));
        };
        QCOMPARE(dot(3), QColor(0, 255, 0));
        QCOMPARE(dot(9), QColor(255, 0, 0));
        QCOMPARE(dot(20), QColor(0, 128, 0));

        form->Cal->NextMonth();
        QCOMPARE(form->Cal->GetMark(1), 2);
        QCOMPARE(form->Cal->GetMark(3), 0);

        // "Show dots in main calendar" off: no dot anywhere.
        appState().settings.ShowUsage = false;
        form->RefreshDayMarks();
        for (int d = 0; d <= 31; ++d) QCOMPARE(form->Cal->GetMark(d), 0);
        form->Cal->PrevMonth();
        for (int d = 0; d <= 31; ++d) QCOMPARE(form->Cal->GetMark(d), 0);
        img = form->Cal->grab().toImage();
        QVERIFY(dot(9) != QColor(255, 0, 0));
    }

    void lastMonthsOfTheCalendarHaveNoDaysBeyond() {
        auto form = activeForm();
        form->Cal->SetCalendarDate(date(9999, 12, 20));
        QCOMPARE(form->Cal->GetMark(31), 0);  // marks stop at the last representable day
        form->MnthDn1->trigger();
        QCOMPARE(shown(*form), (Ymd{9999, 12, 20}));
        QCOMPARE(form->StatusLine->text(), QStringLiteral(" ") + TCalMainForm::lastDateNote());
        form->StatusLine->clear();
        form->YearDn1->trigger();
        QCOMPARE(shown(*form), (Ymd{9999, 12, 20}));
        QCOMPARE(form->StatusLine->text(), QStringLiteral(" ") + TCalMainForm::lastDateNote());
        form->StatusLine->clear();
        form->sMonthBottom->click();
        QCOMPARE(form->StatusLine->text(), QStringLiteral(" ") + TCalMainForm::lastDateNote());
        form->MnthUp1->trigger();
        QCOMPARE(shown(*form), (Ymd{9999, 11, 20}));
    }

    void hintInStatusLineWithLeadingBlank() {
        auto form = activeForm();
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(form->TodayBtn, &enter);
        QCOMPARE(form->StatusLine->text(), QStringLiteral(" Reset calendar to today's date."));
        QCoreApplication::sendEvent(form->seYear, &enter);
        QCOMPARE(form->StatusLine->text(), QStringLiteral(" Click buttons to change year (Ctrl+PgUp or Ctrl+PgDn)."));
        // A control without a hint shows the default status text.
        QCoreApplication::sendEvent(form->Cal, &enter);
        QCOMPARE(form->StatusLine->text(), QStringLiteral(" ") + form->eMessage->text());
        QVERIFY(!form->eMessage->text().isEmpty());
        QCoreApplication::sendEvent(form->AboutBtn, &enter);
        QCOMPARE(form->StatusLine->text(), QStringLiteral(" ...Corvin"));
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
            QTest::newRow("31 Jan PgDn " + f) << date(2001, 1, 31) << int(Qt::Key_PageDown) << plain << date(2001, 2, 28)
                                              << focus;
            QTest::newRow("31 Jan leap PgDn " + f)
                << date(2004, 1, 31) << int(Qt::Key_PageDown) << plain << date(2004, 2, 29) << focus;
            QTest::newRow("31 Mar PgUp " + f) << date(2001, 3, 31) << int(Qt::Key_PageUp) << plain << date(2001, 2, 28)
                                              << focus;
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
        form->Cal->SetCalendarDate(from);
        QWidget* target = focus == "grid" ? static_cast<QWidget*>(form->Cal)
                          : focus == "year" ? static_cast<QWidget*>(form->seYear)
                                            : static_cast<QWidget*>(form->cbMonth);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(form->Cal->CalendarDate(), to);
        QCOMPARE(form->seYear->value(), toYmd(to).year);
        QCOMPARE(form->cbMonth->currentIndex(), toYmd(to).month - 1);
    }

    void todayReturnsToToday() {
        auto form = activeForm();
        form->Cal->SetCalendarDate(date(1999, 3, 4));
        form->TodayBtn->click();
        QCOMPARE(form->Cal->CalendarDate(), kToday);
        QCOMPARE(form->seYear->value(), 2023);
    }

    void buttonsOpenTheirWindows() {
        auto form = activeForm();
        int toDoOpened = 0;
        form->openToDoWindow = [&] {
            ++toDoOpened;
            QCOMPARE(form->Cal->CalendarDate(), date(2023, 6, 6));
        };
        form->Cal->SetDatePart(kPartDay, 6);
        emit form->Cal->doubleClicked();
        form->ToDoBtn->click();
        QCOMPARE(toDoOpened, 2);

        form->AboutBtn->click();
        QTest::mouseClick(form->Image3, Qt::LeftButton);
        form->InfoBtn->click();
        QCOMPARE(seams->modalClasses, (QStringList{QStringLiteral("orv::TfrmAbout1"), QStringLiteral("orv::TfrmAbout1"),
                                                   QStringLiteral("orv::TAgentDlg")}));
        // Each window is made once and kept.
        QVERIFY(forms().frmAbout1 && forms().AgentDlg);
        QCOMPARE(form->findChildren<TfrmAbout1*>().size(), 1);
    }

    void contactLinksGoToTheDesktop() {
        TfrmAbout1 about;
        TAgentDlg agent;
        QList<QUrl> opened;
        bool works = true;
        about.openUrl = [&](const QUrl& u) {
            opened << u;
            return works;
        };
        agent.openUrl = about.openUrl;
        emit about.lWeb->linkActivated(TfrmAbout1::webAddress().toString());
        emit agent.lMail->linkActivated(TfrmAbout1::mailAddress().toString());
        QCOMPARE(opened, (QList<QUrl>{QUrl("https://orvella.example.org"), QUrl("mailto:orvella@example.org")}));
        QVERIFY(seams->messages.empty());
        works = false;
        emit about.lMail->linkActivated(TfrmAbout1::mailAddress().toString());
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Warning);
        QVERIFY(seams->messages[0].text.contains(QStringLiteral("mailto:orvella@example.org")));
    }
};

QTEST_MAIN(MonthViewTest)
#include "month_view_test.moc"
