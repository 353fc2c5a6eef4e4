#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "app/app_state.h"
#include "app/forms.h"
#include "common/clock.h"
#include "common/date_format.h"
#include "common/day_number.h"
#include "common/qt_text.h"
#include "events/annual_dlg.h"
#include "events/birthday_grid_delegate.h"
#include "events/birthday_table_model.h"
#include "events/check_dlg.h"
#include "events/ds_dlg.h"
#include "events/occurrence_list_model.h"
#include "store/cal_db.h"
#include "support/fake_seams.h"
#include "support/temp_dir.h"

using namespace orv;
using B = BirthdayList;

namespace {

const QString kBlanks(21, QChar(' '));

int d(int y, int m, int day) { return dayNumber(y, m, day); }

// Presses OK in the check window and answers as it then does.
int pressOk(QDialog* dialog) {
    auto* check = qobject_cast<TCheckDlg*>(dialog);
    if (!check) return mrAbort;
    check->BitBtn1Click();
    return check->isVisible() ? int(mrCancel) : check->result();
}

}  // namespace

class AnnualDlgTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::FakeSeams> seams;
    std::unique_ptr<TAnnualDlg> dlg;

    std::string eventsFile() const { return dir->file("Events.dat"); }
    void open(int page, int startDate = d(2025, 6, 1)) {
        dlg->StartDate = startDate;
        dlg->Page = page;
        dlg->show();
        QCoreApplication::processEvents();
    }
    QString cell(int row, int column) const { return dlg->gridModel()->index(row, column).data().toString(); }
    QWidget* editor() const { return dlg->gridDelegate()->openEditor(); }
    void type(const QString& text) {
        QWidget* e = editor();
        QVERIFY(e);
        qobject_cast<QLineEdit*>(e)->selectAll();
        if (text.isEmpty()) QTest::keyClick(e, Qt::Key_Backspace);
        else QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    void enterOnGrid() {
        QTest::keyClick(dlg->sg1, Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    QPoint cellCentre(int row, int column) const { return dlg->sg1->visualRect(dlg->gridModel()->index(row, column)).center(); }
    void clickHeader(int column) {
        QHeaderView* h = dlg->sg1->horizontalHeader();
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(column) + 5, 8));
        QCoreApplication::processEvents();
    }
    void fillRows(const std::vector<std::array<const char*, 4>>& rows) {
        B& list = const_cast<B&>(dlg->birthdayList());
        while (list.rowCount() < static_cast<int>(rows.size())) list.appendRow();
        for (size_t r = 0; r < rows.size(); ++r)
            for (int c = 0; c < 4; ++c) list.setCell(c + 1, static_cast<int>(r) + 1, rows[r][static_cast<size_t>(c)]);
        dlg->gridModel()->reset();
    }
    QColor textColour(QWidget* w) const { return w->palette().color(QPalette::WindowText); }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        seams = std::make_unique<test::FakeSeams>();
        appState().clock = Clock(d(2025, 6, 1));
        appState().store.LoadStore(dir->file("Cal.DBX"));
    }
    void cleanup() {
        if (dlg) dlg->hide();
        dlg.reset();
        seams.reset();
        dir.reset();
        appState().clock = Clock();
    }

    void createdOnceRegistersAndLoadsTheList() {
        dir->write("Events.dat", "6,1\r\ncw 0,35\r\ncw 1,180\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,8\r\n4,1,14\r\n5,1,Y\r\n");
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        QCOMPARE(forms().AnnualDlg, dlg.get());
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Repeating Events"));
        QVERIFY(seams->messages.empty());
        QCOMPARE(dlg->birthdayList().rowCount(), 2);  // the row and the blank one
        QCOMPARE(dlg->sg1->horizontalHeader()->sectionSize(1), 180);
        QCOMPARE(dlg->sg1->horizontalHeader()->sectionSize(2), 153);
        QCOMPARE(dlg->LookAheadDays, 7);
    }

    void corruptFileIsReportedAtCreation() {
        dir->write("Events.dat", "6,123456789012\r\n1,1,Ann\r\n");
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Error);
        QCOMPARE(seams->messages[0].text,
                 QStringLiteral("File contains no data or corrupt file ") + QString::fromStdString(eventsFile()));
        QCOMPARE(dlg->birthdayList().cell(B::colName, 1), std::string("Ann"));
    }

    void birthdaysPageLooksAsItShould() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        open(TAnnualDlg::kPageBirthdays);
        QCOMPARE(dlg->Notebook->currentIndex(), 0);
        QCOMPARE(dlg->lHeading->text(), QStringLiteral("Adding Birthdays and Anniversaries"));
        QVERIFY(dlg->lInstructions->text().endsWith(
            QStringLiteral("Please enter the month and day as numbers. Eg August 14th is entered as 8 then 14.")));
        const QStringList headers{"No", "Name", "Event", "Month", "Day", "Card", "Gift"};
        const int widths[] = {35, 156, 153, 42, 34, 32, 40};
        for (int c = 0; c < 7; ++c) {
            QCOMPARE(dlg->gridModel()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers[c]);
            QCOMPARE(dlg->sg1->horizontalHeader()->sectionSize(c), widths[c]);
        }
        QCOMPARE(dlg->sg1->rowHeight(0), 20);
        QCOMPARE(dlg->sg1->horizontalHeader()->height(), 20);
        const auto role = [this](int column, int r) { return dlg->gridModel()->index(0, column).data(r); };
        QCOMPARE(role(0, Qt::BackgroundRole).value<QBrush>().color(), QColor(192, 220, 192));
        QCOMPARE(role(1, Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 255, 191));
        QCOMPARE(role(1, Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::blue));
        QCOMPARE(role(1, Qt::FontRole).value<QFont>().pixelSize(), 11);
        const int right = Qt::AlignRight | Qt::AlignVCenter;
        const int left = Qt::AlignLeft | Qt::AlignVCenter;
        const int alignments[] = {right, left, left, right, right, Qt::AlignCenter, Qt::AlignCenter};
        for (int c = 0; c < 7; ++c) QCOMPARE(role(c, Qt::TextAlignmentRole).toInt(), alignments[c]);
        QCOMPARE(cell(0, 0), QStringLiteral("1"));
        // The cursor sits in the first Name cell with its editor open.
        QCOMPARE(dlg->sg1->currentIndex(), dlg->gridModel()->index(0, 1));
        QVERIFY(editor());
        QCOMPARE(dlg->BitBtn9->toolTip(), QStringLiteral("Add these items to the currently selected user's calendar"));
    }

    void enterWalksTheRowAndAppendsAtTheEnd() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        open(TAnnualDlg::kPageBirthdays);
        type(QStringLiteral("Ann"));
        QCOMPARE(dlg->sg1->currentIndex().column(), 2);
        QCOMPARE(cell(0, 2), QStringLiteral("Birthday"));  // set on entering the empty Event cell
        type(QStringLiteral("Birthday"));
        type(QStringLiteral("8a"));
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].text, QStringLiteral("This entry must be a whole number."));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Warning);
        QCOMPARE(dlg->sg1->currentIndex().column(), 3);  // the cursor stays
        QCOMPARE(cell(0, 3), QString());
        QCOMPARE(qobject_cast<QLineEdit*>(editor())->text(), QString());  // the old text is back
        type(QStringLiteral("8"));
        type(QStringLiteral("14"));
        QCOMPARE(dlg->sg1->currentIndex().column(), 5);
        enterOnGrid();
        QCOMPARE(dlg->sg1->currentIndex().column(), 6);
        enterOnGrid();  // last cell of the last row: a new row
        QCOMPARE(dlg->birthdayList().rowCount(), 2);
        QCOMPARE(dlg->sg1->currentIndex(), dlg->gridModel()->index(1, 1));
        QCOMPARE(cell(1, 0), QStringLiteral("2"));
        QCOMPARE(dlg->birthdayList().cell(B::colMonth, 1), std::string("8"));
        QCOMPARE(dlg->birthdayList().cell(B::colDay, 1), std::string("14"));
    }

    void clearingAMonthIsRefusedAndUnchangedTextIsNotChecked() {
        dir->write("Events.dat", "6,1\r\n1,1,Ann\r\n3,1,8\r\n4,1,14\r\n");
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        const_cast<B&>(dlg->birthdayList()).setCell(B::colDay, 1, "x");  // as if read from a file
        dlg->gridModel()->reset();
        open(TAnnualDlg::kPageBirthdays);
        dlg->sg1->setCurrentIndex(dlg->gridModel()->index(0, 3));
        type(QString());
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(cell(0, 3), QStringLiteral("8"));
        type(QStringLiteral("8"));  // back to the month, unchanged: moves on
        QCOMPARE(dlg->sg1->currentIndex().column(), 4);
        type(QStringLiteral("x"));  // the day "x" left as it was: no check either
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(dlg->sg1->currentIndex().column(), 5);
    }

    void refusedEditByClickingElsewhereReturnsTheCursor() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        open(TAnnualDlg::kPageBirthdays);
        dlg->sg1->setCurrentIndex(dlg->gridModel()->index(0, 4));
        QTest::keyClicks(editor(), QStringLiteral("1x"));
        QTest::mouseClick(dlg->sg1->viewport(), Qt::LeftButton, {}, cellCentre(0, 1));
        QTest::qWait(20);
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(dlg->sg1->currentIndex(), dlg->gridModel()->index(0, 4));
        QCOMPARE(cell(0, 4), QString());
    }

    void checkBoxesToggleByClickAndSpace() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        open(TAnnualDlg::kPageBirthdays);
        QTest::mouseClick(dlg->sg1->viewport(), Qt::LeftButton, {}, cellCentre(0, 5));
        QCOMPARE(dlg->birthdayList().cell(B::colCard, 1), std::string("Y"));
        QCOMPARE(dlg->gridModel()->index(0, 5).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QTest::mouseClick(dlg->sg1->viewport(), Qt::LeftButton, {}, cellCentre(0, 5));
        QCOMPARE(dlg->birthdayList().cell(B::colCard, 1), std::string("N"));
        dlg->sg1->setCurrentIndex(dlg->gridModel()->index(0, 6));
        QTest::keyClick(dlg->sg1, Qt::Key_Space);
        QCOMPARE(dlg->birthdayList().cell(B::colGift, 1), std::string("Y"));
        dlg->miClearChecks->trigger();
        QCOMPARE(dlg->birthdayList().cell(B::colGift, 1), std::string("N"));
    }

    void headerClicksSortAndReverse() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        open(TAnnualDlg::kPageBirthdays);
        fillRows({{"bob", "Birthday", "10", "2"}, {"Ann", "Wedding", "2", "10"}, {"", "", "", ""}});
        clickHeader(5);  // not sortable
        QCOMPARE(cell(0, 1), QStringLiteral("bob"));
        clickHeader(3);
        QCOMPARE(dlg->birthdayList().rowCount(), 2);  // the incomplete row purged first
        QCOMPARE(cell(0, 1), QStringLiteral("Ann"));
        QVERIFY(dlg->sg1->horizontalHeader()->isSortIndicatorShown());
        QCOMPARE(dlg->sg1->horizontalHeader()->sortIndicatorSection(), 3);
        QCOMPARE(dlg->sg1->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
        clickHeader(3);
        QCOMPARE(cell(0, 1), QStringLiteral("bob"));
        QCOMPARE(dlg->sg1->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(cell(0, 0), QStringLiteral("1"));  // the numbers stay in place
        clickHeader(1);
        QCOMPARE(cell(0, 1), QStringLiteral("Ann"));
    }

    void rowButtonsAndMenu() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        open(TAnnualDlg::kPageBirthdays);
        dlg->BitBtn8->click();  // the only row: a beep, no question
        QCOMPARE(seams->beeps, 1);
        QVERIFY(seams->messages.empty());
        dlg->BitBtn3->click();
        QCOMPARE(dlg->birthdayList().rowCount(), 2);
        QCOMPARE(dlg->sg1->currentIndex(), dlg->gridModel()->index(1, 1));
        type(QStringLiteral("second"));
        seams->answers.push_back(mrNo);
        dlg->sg1->setCurrentIndex(dlg->gridModel()->index(0, 1));
        dlg->BitBtn8->click();
        QCOMPARE(seams->messages.back().text, QStringLiteral("Delete selected row ?"));
        QCOMPARE(seams->messages.back().buttons, MsgButtons::YesNo);
        QCOMPARE(dlg->birthdayList().rowCount(), 2);
        dlg->BitBtn8->click();  // Yes
        QCOMPARE(dlg->birthdayList().rowCount(), 1);
        QCOMPARE(cell(0, 1), QStringLiteral("second"));
        dlg->miInsertRow->trigger();
        QCOMPARE(dlg->birthdayList().rowCount(), 2);
        QCOMPARE(cell(1, 1), QStringLiteral("second"));
        QCOMPARE(cell(1, 0), QStringLiteral("2"));
        QCOMPARE(dlg->sg1->currentIndex(), dlg->gridModel()->index(0, 1));
        dlg->miDeleteRow->trigger();
        QCOMPARE(dlg->birthdayList().rowCount(), 1);
    }

    void closingSavesOrDeletesTheFile() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        open(TAnnualDlg::kPageBirthdays);
        fillRows({{"Ann", "Birthday", "8", "14"}});
        dlg->BitBtn2->click();
        QVERIFY(!dlg->isVisible());
        QVERIFY(dir->read("Events.dat").find("1,1,Ann\r\n") != std::string::npos);
        open(TAnnualDlg::kPageBirthdays);
        fillRows({{"Ann", "Birthday", "", "14"}});
        dlg->close();  // the window's close box
        QVERIFY(!dir->exists("Events.dat"));
    }

    void saveFailureIsReportedAndTheWindowStillCloses() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, dir->file("missing/Events.dat"));
        open(TAnnualDlg::kPageBirthdays);
        fillRows({{"Ann", "Birthday", "8", "14"}});
        dlg->BitBtn2->click();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Error);
    }

    void birthdaysStampedForTheSelectedYear() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        open(TAnnualDlg::kPageBirthdays, d(2025, 3, 3));
        fillRows({{"Ann", "Birthday", "8", "14"}, {"Leap", "Day", "2", "29"}});
        seams->answers.push_back(mrNo);
        dlg->BitBtn9->click();
        QCOMPARE(seams->messages.back().text, QStringLiteral("Add birthdays to calendar for 2025 ?"));
        QVERIFY(dlg->isVisible());
        QVERIFY(!appState().store.FindDay(d(2025, 8, 14)));
        dlg->BitBtn9->click();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(mrOk));
        QVERIFY(appState().store.FetchDay(d(2025, 8, 14)));
        QCOMPARE(appState().store.CurrentRecord.text(), std::string("<Ann Birthday>\r\n"));
        QCOMPARE(appState().store.keyList.size(), 1);
        QVERIFY(dir->exists("Events.dat"));  // closing saved the list
    }

    void repeatingPageOpensAsDescribed() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        dlg->cb1->setCurrentIndex(2);
        dlg->cDate->setDate(QDate(2030, 1, 1));
        dlg->rb[1]->setChecked(true);
        open(TAnnualDlg::kPageRepeating, d(2025, 1, 15));
        QCOMPARE(dlg->Notebook->currentIndex(), 2);
        QCOMPARE(dlg->cb1->currentIndex(), 0);
        QCOMPARE(dlg->cDate->date(), QDate(2025, 6, 1));
        QVERIFY(dlg->rb[1]->isChecked());  // the option keeps its value
        QCOMPARE(dlg->lStartDate->text(),
                 fromCp1252(formatDate("ddd d mmmm yyyy", d(2025, 1, 15), systemDateNames())));
        QCOMPARE(dlg->eEvent->text(), QStringLiteral("[Event]"));
        QCOMPARE(dlg->eEvent->selectedText(), QStringLiteral("[Event]"));
        QCOMPARE(dlg->eEvent->toolTip(), QStringLiteral("Description of event to repeat."));
        QCOMPARE(dlg->rb[0]->text(), QStringLiteral("Repeat every") + kBlanks + QStringLiteral("day"));
        QCOMPARE(dlg->rb[3]->text(), QStringLiteral("Repeat every") + kBlanks + QStringLiteral("year"));
        QCOMPARE(dlg->lYear->text(), QStringLiteral("year,"));
        QCOMPARE(textColour(dlg->rb[1]), QColor(0, 0, 255));
        QCOMPARE(textColour(dlg->rb[0]), QColor(128, 128, 128));
        QCOMPARE(dlg->cb2->palette().color(QPalette::Text), QColor(128, 128, 128));
    }

    void pageReactions() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        open(TAnnualDlg::kPageRepeating);
        dlg->s[2]->setValue(3);
        QVERIFY(dlg->rb[2]->isChecked());
        QCOMPARE(dlg->rb[2]->text(), QStringLiteral("Repeat every") + kBlanks + QStringLiteral("months"));
        QCOMPARE(textColour(dlg->rb[2]), QColor(0, 0, 255));
        QCOMPARE(dlg->s[2]->palette().color(QPalette::Text), QColor(0, 0, 255));
        QCOMPARE(dlg->s[0]->palette().color(QPalette::Text), QColor(128, 128, 128));
        QTest::mouseClick(dlg->s[0], Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(dlg->rb[0]->isChecked());
        dlg->cb1->setCurrentIndex(1);
        QVERIFY(dlg->rb[4]->isChecked());
        QCOMPARE(dlg->cb3->palette().color(QPalette::Text), QColor(0, 0, 255));
        dlg->cDate->setDate(QDate(2027, 1, 1));
        dlg->s[4]->setValue(2);
        QCOMPARE(dlg->lYear->text(), QStringLiteral("years,"));
        QCOMPARE(dlg->cDate->date(), QDate(2025, 6, 1));  // back to today
        const RepeatSettings r = dlg->repeatSettings();
        QCOMPARE(r.RepeatKind, int(rkNthWeekday));
        QCOMPARE(r.NthOccurrence, 2);
        QCOMPARE(r.YearsToRepeat, 2);
        QCOMPARE(r.UntilDate, 0);  // today: ignored
        dlg->cb3->setCurrentIndex(4);
        dlg->cDate->setDate(QDate(2026, 2, 1));
        QCOMPARE(dlg->repeatSettings().Interval, 6);
        QCOMPARE(dlg->repeatSettings().UntilDate, d(2026, 2, 1));
        dlg->cDate->setDate(QDate(2025, 5, 1));
        QCOMPARE(dlg->repeatSettings().UntilDate, 0);
    }

    void doneRefusesThePlaceholderInAnyCase() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        open(TAnnualDlg::kPageRepeating);
        for (const QString& text : {QStringLiteral("[event]"), QString()}) {
            dlg->eEvent->setText(text);
            dlg->bRepDone->click();
            QCOMPARE(seams->messages.back().text, QStringLiteral("Please enter some text in the \"Event\" box."));
            QCOMPARE(seams->messages.back().icon, MsgIcon::Information);
        }
        QVERIFY(seams->modalClasses.isEmpty());
        QVERIFY(dlg->isVisible());
    }

    void doneShowsTheDatesAndOkStampsThem() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        open(TAnnualDlg::kPageRepeating, d(2024, 1, 15));
        dlg->eEvent->setText(QStringLiteral("Gym"));
        dlg->cb1->setCurrentIndex(1);
        dlg->cb2->setCurrentIndex(2);
        dlg->cb3->setCurrentIndex(2);
        QStringList shown;
        seams->scripts.push_back([&shown](QDialog* dialog) {
            auto* check = qobject_cast<TCheckDlg*>(dialog);
            QAbstractItemModel* m = check->lbDates->model();
            for (int i = 0; i < m->rowCount(); ++i) shown << m->index(i, 0).data().toString();
            return pressOk(dialog);
        });
        dlg->bRepDone->click();
        QCOMPARE(seams->modalClasses, QStringList{"orv::TCheckDlg"});
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown[0], fromCp1252(formatDate("dddd, d mmmm yyyy", d(2024, 4, 9), systemDateNames())));
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(mrOk));
        QVERIFY(appState().store.FetchDay(d(2025, 1, 14)));
        QCOMPARE(appState().store.CurrentRecord.text(), std::string("<Gym>\r\n"));
        QCOMPARE(appState().store.keyList.size(), 4);
    }

    void cancelInTheCheckWindowKeepsThePageOpen() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        open(TAnnualDlg::kPageRepeating, d(2024, 1, 1));
        dlg->eEvent->setText(QStringLiteral("Gym"));
        dlg->rb[0]->click();
        dlg->bRepDone->click();  // no script: the check window answers Cancel
        QVERIFY(dlg->isVisible());
        QCOMPARE(appState().store.keyList.size(), 0);
    }

    void monthlyFromThe31stAsksAboutMissingDays() {
        dlg = std::make_unique<TAnnualDlg>(nullptr, eventsFile());
        open(TAnnualDlg::kPageRepeating, d(2023, 1, 31));
        dlg->eEvent->setText(QStringLiteral("Rent"));
        dlg->s[2]->setValue(1);
        dlg->rb[2]->click();
        int page = -1;
        int count = -1;
        QString title;
        seams->scripts.push_back([&page, &title](QDialog* dialog) {
            auto* ds = qobject_cast<TDSDlg*>(dialog);
            page = ds->Notebook1->currentIndex();
            title = ds->windowTitle();
            ds->BitBtn2->click();  // only existing dates
            return ds->result();
        });
        seams->scripts.push_back([&count](QDialog* dialog) {
            count = qobject_cast<TCheckDlg*>(dialog)->datesModel()->rowCount();
            return int(mrCancel);
        });
        dlg->bRepDone->click();
        QCOMPARE(seams->modalClasses, (QStringList{"orv::TDSDlg", "orv::TCheckDlg"}));
        QCOMPARE(page, 2);
        QCOMPARE(title, QStringLiteral("Warning - Date sensitivity..."));
        QCOMPARE(count, 7);

        seams->scripts.push_back([](QDialog*) { return int(mrCancel); });
        dlg->bRepDone->click();  // cancel: nothing computed
        QCOMPARE(seams->modalClasses.size(), 3);
        seams->scripts.push_back([](QDialog*) { return int(mrYes); });
        seams->scripts.push_back([&count](QDialog* dialog) {
            count = qobject_cast<TCheckDlg*>(dialog)->datesModel()->rowCount();
            return int(mrCancel);
        });
        dlg->bRepDone->click();
        QCOMPARE(count, 12);
    }

    void checkWindowRefusesWhenTheCalendarWouldOverflow() {
        std::string bytes;
        for (int i = 0; i < 9999; ++i) {
            ReminderRecord r;
            r.Date = d(2000, 1, 1) + i;
            r.setText("x");
            const auto b = r.toBytes();
            bytes.append(b.data(), b.size());
        }
        dir->write("Cal.DBX", bytes);
        appState().store.LoadStore(dir->file("Cal.DBX"));
        TCheckDlg check;
        check.Dates = {d(2040, 1, 1)};
        check.EntryLine = "<Gym>\r\n";
        check.show();
        check.BitBtn1Click();
        QVERIFY(check.isVisible());
        QCOMPARE(seams->messages.size(), size_t(1));
        QVERIFY(seams->messages[0].text.startsWith(QStringLiteral("Nothing has been added: these entries need 1 new day in")));
        QCOMPARE(dir->read("Cal.DBX").size(), bytes.size());
    }

    void checkWindowReportsSkippedDays() {
        TCheckDlg check;
        QCOMPARE(check.windowTitle(), QStringLiteral("Check Results..."));
        QCOMPARE(check.Label1->text(), QStringLiteral("Check Accuracy Of Repeating Events"));
        QVERIFY(check.BitBtn1->isDefault());
        appState().store.CurrentRecord.clear();
        appState().store.CurrentRecord.Date = d(2025, 1, 2);
        appState().store.CurrentRecord.setText(std::string(995, 'a'));
        appState().store.AppendDay();
        check.Dates = {d(2025, 1, 1), d(2025, 1, 2)};
        check.EntryLine = "<Gym>\r\n";
        check.show();
        check.BitBtn1Click();
        QVERIFY(!check.isVisible());
        QCOMPARE(check.result(), int(mrOk));
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Warning);
        QVERIFY(seams->messages[0].text.contains(
            fromCp1252(formatDate("dddd, d mmmm yyyy", d(2025, 1, 2), systemDateNames()))));
        QVERIFY(appState().store.FetchDay(d(2025, 1, 2)));
        QCOMPARE(appState().store.CurrentRecord.text().size(), size_t(995));
    }

    void dateSensitivityPages() {
        TDSDlg ds;
        const QStringList texts = {
            "The day of the month you have selected [29th] may not be found if a February is encountered.",
            "The day of the month you have selected [30th] will not be found if a February is encountered.",
            "The day of the month you have selected [31st] will not be found when months with only 30 days are "
            "encountered."};
        for (int day = 29; day <= 31; ++day) {
            ds.Day = day;
            ds.show();
            QCOMPARE(ds.Notebook1->currentIndex(), day - 29);
            QCOMPARE(qobject_cast<QLabel*>(ds.Notebook1->currentWidget())->text(), texts[day - 29]);
            ds.hide();
        }
        QCOMPARE(ds.BitBtn1->text(), QStringLiteral("Use the &nearest date"));
        QCOMPARE(ds.BitBtn2->text(), QStringLiteral("&Only make entries if date exists"));
        QCOMPARE(ds.BitBtn3->text(), QStringLiteral("&Cancel and choose a new date"));
        ds.show();
        ds.BitBtn3->click();
        QCOMPARE(ds.result(), int(mrCancel));
    }
};

QTEST_MAIN(AnnualDlgTest)
#include "annual_dlg_test.moc"
