#include <QComboBox>
#include <QCryptographicHash>
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
#include "support/parts.h"
#include "support/temp_dir.h"
#include "support/test_context.h"

using namespace orv;
using test::part;
using B = BirthdayList;

namespace {

const QString kBlanks(21, QChar(' '));

int d(int y, int m, int day) { return dayNumber(y, m, day); }

// Presses OK in the check window and answers as it then does.
int pressOk(QDialog* dialog) {
    if (!qobject_cast<TCheckDlg*>(dialog)) return mrAbort;
    part<QPushButton>(dialog, "BitBtn1")->click();
    return dialog->isVisible() ? int(mrCancel) : dialog->result();
}

}  // namespace

class AnnualDlgTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::TestContext> run;
    test::FakeSeams* seams = nullptr;
    std::unique_ptr<TCheckDlg> check;
    std::unique_ptr<TDSDlg> ds;
    std::unique_ptr<TAnnualDlg> dlg;

    std::string eventsFile() const { return dir->file("Events.dat"); }
    CalDb& store() const { return run->program.store; }
    // The window over the program folder (the test folder unless told otherwise), with its check and date
    // windows.
    void makeWindow(const std::string& folder = {}) {
        if (!folder.empty()) run->program.setProgramFolder(folder);
        dlg = std::make_unique<TAnnualDlg>(run->context);
        dlg->setCheckWindow(check.get());
        dlg->setDateWindow(ds.get());
    }
    void open(int page, int startDate = d(2025, 6, 1)) {
        dlg->setStart(page, startDate);
        dlg->show();
        QCoreApplication::processEvents();
    }
    template <class Part = QWidget>
    Part* the(const char* name) const {
        return part<Part>(dlg.get(), name);
    }
    QTableView* grid() const { return the<QTableView>("sg1"); }
    QRadioButton* option(int i) const { return the<QRadioButton>(qPrintable(QStringLiteral("rb%1").arg(i))); }
    QSpinBox* spin(int i) const { return the<QSpinBox>(qPrintable(QStringLiteral("s%1").arg(i))); }
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
        QTest::keyClick(grid(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    QPoint cellCentre(int row, int column) const {
        return grid()->visualRect(dlg->gridModel()->index(row, column)).center();
    }
    void clickHeader(int column) {
        QHeaderView* h = grid()->horizontalHeader();
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
    // What a person or a screen reader finds in the window: each part's place, state, text and name, and the
    // window's picture.
    static QStringList describe(QWidget* window) {
        const QImage picture = window->grab().toImage();
        QStringList lines{
            QString::fromLatin1(QCryptographicHash::hash(QByteArrayView(picture.constBits(), picture.sizeInBytes()),
                                                         QCryptographicHash::Md5)
                                    .toHex())};
        for (QWidget* w : window->findChildren<QWidget*>()) {
            QString text;
            if (auto* l = qobject_cast<QLabel*>(w)) text = l->text();
            else if (auto* b = qobject_cast<QAbstractButton*>(w)) text = b->text() + (b->isChecked() ? "[x]" : "");
            else if (auto* e = qobject_cast<QLineEdit*>(w)) text = e->text() + "|" + e->selectedText();
            else if (auto* c = qobject_cast<QComboBox*>(w)) text = c->currentText();
            else if (auto* v = qobject_cast<QAbstractItemView*>(w))
                text = QStringLiteral("%1,%2").arg(v->currentIndex().row()).arg(v->currentIndex().column());
            else if (auto* h = qobject_cast<QHeaderView*>(w))
                for (int c = 0; c < h->count(); ++c) text += QString::number(h->sectionSize(c)) + " ";
            const QRect r = w->geometry();
            lines << QStringLiteral("%1 %2 %3,%4 %5x%6 visible %7 focus %8 %9 '%10' %11")
                         .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName())
                         .arg(r.x())
                         .arg(r.y())
                         .arg(r.width())
                         .arg(r.height())
                         .arg(w->isVisible())
                         .arg(w->hasFocus())
                         .arg(w->palette().color(QPalette::WindowText).name(), text, w->accessibleName());
        }
        return lines;
    }
    // What the entry point gives on the window (made before), and what it leaves.
    QStringList answerOf(const QString& entry) {
        QStringList seen;
        if (entry.startsWith(QStringLiteral("Show"))) {
            seams->scripts.push_back([&seen](QDialog* dialog) {
                seen = describe(dialog);
                return int(mrCancel);
            });
            const int result = entry == QStringLiteral("ShowBirthdays") ? dlg->ShowBirthdays(d(2025, 3, 3))
                                                                        : dlg->ShowRepeating(d(2024, 1, 31));
            seen << QString::number(result);
        } else if (entry == QStringLiteral("repeatSettings")) {
            dlg->setStart(TAnnualDlg::kPageRepeating, d(2024, 1, 31));
            const RepeatSettings r = dlg->repeatSettings();
            for (const int value : {r.StartDate, r.RepeatKind, r.Interval, r.NthOccurrence, r.Weekday, r.YearsToRepeat,
                                    r.UntilDate, int(r.missingDay)})
                seen << QString::number(value);
        } else if (entry == QStringLiteral("entryLine")) {
            seen << QString::fromStdString(dlg->entryLine());
        } else if (entry == QStringLiteral("done")) {
            static_cast<QDialog*>(dlg.get())->done(mrOk);
            seen << QString::number(dlg->result()) << QString::fromStdString(dir->read("Events.dat"));
            dir->write("Events.dat", kTwoRowsFile);
        }
        for (int r = 0; r < dlg->gridModel()->rowCount(); ++r)
            for (int c = 0; c < B::kColumnCount; ++c) seen << dlg->gridModel()->index(r, c).data().toString();
        seen << QString::number(seams->messages.size());
        return seen;
    }
    static constexpr const char* kTwoRowsFile =
        "6,1\r\ncw 1,180\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,8\r\n4,1,14\r\n5,1,Y\r\n1,2,Bob\r\n3,2,2\r\n4,2,29\r\n";

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        run = std::make_unique<test::TestContext>(dir->path(), d(2025, 6, 1));
        seams = &run->seams;
        store().LoadStore(dir->file("Cal.DBX"));
        check = std::make_unique<TCheckDlg>(run->context);
        ds = std::make_unique<TDSDlg>(run->context.ui());
    }
    void cleanup() {
        if (dlg) dlg->hide();
        dlg.reset();
        ds.reset();
        check.reset();
        run.reset();
        dir.reset();
    }

    void createdLoadsTheList() {
        dir->write("Events.dat",
                   "6,1\r\ncw 0,35\r\ncw 1,180\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,8\r\n4,1,14\r\n5,1,Y\r\n");
        makeWindow();
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Repeating Events"));
        QVERIFY(seams->messages.empty());
        QCOMPARE(dlg->birthdayList().rowCount(), 2);  // the row and the blank one
        open(TAnnualDlg::kPageBirthdays);
        QCOMPARE(grid()->horizontalHeader()->sectionSize(1), 180);
        QCOMPARE(grid()->horizontalHeader()->sectionSize(2), 153);
        QCOMPARE(dlg->lookAheadDays(), 7);
    }

    void corruptFileIsReportedAtCreation() {
        dir->write("Events.dat", "6,123456789012\r\n1,1,Ann\r\n");
        makeWindow();
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Error);
        QVERIFY(seams->messages[0].text.startsWith(QStringLiteral("File contains no data or corrupt file ") +
                                                   QString::fromStdString(eventsFile()) + QStringLiteral("\r")));
        QCOMPARE(dlg->birthdayList().cell(B::colName, 1), std::string("Ann"));
    }

    // The pages are built when first needed: each way in answers alike on a window whose pages are built by
    // it and on one whose pages were built before.
    void freshAndBuiltWindowsAnswerAlike_data() {
        QTest::addColumn<QString>("entry");
        for (const char* entry : {"ShowBirthdays", "ShowRepeating", "repeatSettings", "entryLine", "done"})
            QTest::newRow(entry) << QString::fromLatin1(entry);
    }

    void freshAndBuiltWindowsAnswerAlike() {
        QFETCH(QString, entry);
        dir->write("Events.dat", kTwoRowsFile);
        makeWindow();
        QVERIFY(!dlg->findChild<QStackedWidget*>(QStringLiteral("Notebook")));
        const QStringList fresh = answerOf(entry);
        makeWindow();
        dlg->repeatSettings();  // builds the pages
        QVERIFY(dlg->findChild<QStackedWidget*>(QStringLiteral("Notebook")));
        const QStringList built = answerOf(entry);
        QCOMPARE(fresh, built);
        QVERIFY(fresh.size() > B::kColumnCount + 1);
    }

    void birthdaysPageLooksAsItShould() {
        makeWindow();
        open(TAnnualDlg::kPageBirthdays);
        QCOMPARE(the<QStackedWidget>("Notebook")->currentIndex(), 0);
        QCOMPARE(the<QLabel>("lHeading")->text(), QStringLiteral("Adding Birthdays and Anniversaries"));
        QVERIFY(the<QLabel>("lInstructions")
                    ->text()
                    .endsWith(QStringLiteral(
                        "Please enter the month and day as numbers. Eg August 14th is entered as 8 then 14.")));
        const QStringList headers{"No", "Name", "Event", "Month", "Day", "Card", "Gift"};
        const int widths[] = {35, 156, 153, 42, 34, 32, 40};
        for (int c = 0; c < 7; ++c) {
            QCOMPARE(dlg->gridModel()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headers[c]);
            QCOMPARE(grid()->horizontalHeader()->sectionSize(c), widths[c]);
        }
        QCOMPARE(grid()->rowHeight(0), 20);
        QCOMPARE(grid()->horizontalHeader()->height(), 20);
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
        QCOMPARE(grid()->currentIndex(), dlg->gridModel()->index(0, 1));
        QVERIFY(editor());
        QCOMPARE(the<QPushButton>("BitBtn9")->toolTip(),
                 QStringLiteral("Add these items to the currently selected user's calendar"));
    }

    void enterWalksTheRowAndAppendsAtTheEnd() {
        makeWindow();
        open(TAnnualDlg::kPageBirthdays);
        type(QStringLiteral("Ann"));
        QCOMPARE(grid()->currentIndex().column(), 2);
        QCOMPARE(cell(0, 2), QStringLiteral("Birthday"));  // set on entering the empty Event cell
        type(QStringLiteral("Birthday"));
        type(QStringLiteral("8a"));
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].text, QStringLiteral("This entry must be a whole number."));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Warning);
        QCOMPARE(grid()->currentIndex().column(), 3);  // the cursor stays
        QCOMPARE(cell(0, 3), QString());
        QCOMPARE(qobject_cast<QLineEdit*>(editor())->text(), QString());  // the old text is back
        type(QStringLiteral("8"));
        type(QStringLiteral("14"));
        QCOMPARE(grid()->currentIndex().column(), 5);
        enterOnGrid();
        QCOMPARE(grid()->currentIndex().column(), 6);
        enterOnGrid();  // last cell of the last row: a new row
        QCOMPARE(dlg->birthdayList().rowCount(), 2);
        QCOMPARE(grid()->currentIndex(), dlg->gridModel()->index(1, 1));
        QCOMPARE(cell(1, 0), QStringLiteral("2"));
        QCOMPARE(dlg->birthdayList().cell(B::colMonth, 1), std::string("8"));
        QCOMPARE(dlg->birthdayList().cell(B::colDay, 1), std::string("14"));
    }

    void typingIntoTheFilledEventCellReplacesIt_data() {
        QTest::addColumn<QString>("way");
        QTest::newRow("Enter") << QStringLiteral("enter");
        QTest::newRow("Tab") << QStringLiteral("tab");
        QTest::newRow("click") << QStringLiteral("click");
    }

    void typingIntoTheFilledEventCellReplacesIt() {
        QFETCH(QString, way);
        makeWindow();
        open(TAnnualDlg::kPageBirthdays);
        QTest::keyClicks(editor(), QStringLiteral("Li Wei"));
        if (way == "enter") QTest::keyClick(editor(), Qt::Key_Return);
        else if (way == "tab") QTest::keyClick(editor(), Qt::Key_Tab);
        else QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(0, 2));
        QCoreApplication::processEvents();
        QCOMPARE(grid()->currentIndex(), dlg->gridModel()->index(0, 2));
        QVERIFY(editor());
        QTest::keyClicks(editor(), QStringLiteral("Wedding"));  // no selecting first
        QTest::keyClick(editor(), Qt::Key_Return);
        QCOMPARE(dlg->birthdayList().cell(B::colName, 1), std::string("Li Wei"));
        QCOMPARE(dlg->birthdayList().cell(B::colEvent, 1), std::string("Wedding"));
    }

    void clearingAMonthIsRefusedAndUnchangedTextIsNotChecked() {
        dir->write("Events.dat", "6,1\r\n1,1,Ann\r\n3,1,8\r\n4,1,14\r\n");
        makeWindow();
        const_cast<B&>(dlg->birthdayList()).setCell(B::colDay, 1, "x");  // as if read from a file
        dlg->gridModel()->reset();
        open(TAnnualDlg::kPageBirthdays);
        grid()->setCurrentIndex(dlg->gridModel()->index(0, 3));
        type(QString());
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(cell(0, 3), QStringLiteral("8"));
        type(QStringLiteral("8"));  // back to the month, unchanged: moves on
        QCOMPARE(grid()->currentIndex().column(), 4);
        type(QStringLiteral("x"));  // the day "x" left as it was: no check either
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(grid()->currentIndex().column(), 5);
    }

    void refusedEditByClickingElsewhereReturnsTheCursor() {
        makeWindow();
        open(TAnnualDlg::kPageBirthdays);
        grid()->setCurrentIndex(dlg->gridModel()->index(0, 4));
        QTest::keyClicks(editor(), QStringLiteral("1x"));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(0, 1));
        QTest::qWait(20);
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(grid()->currentIndex(), dlg->gridModel()->index(0, 4));
        QCOMPARE(cell(0, 4), QString());
    }

    void checkBoxesToggleByClickAndSpace() {
        makeWindow();
        open(TAnnualDlg::kPageBirthdays);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(0, 5));
        QCOMPARE(dlg->birthdayList().cell(B::colCard, 1), std::string("Y"));
        QCOMPARE(dlg->gridModel()->index(0, 5).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(0, 5));
        QCOMPARE(dlg->birthdayList().cell(B::colCard, 1), std::string("N"));
        grid()->setCurrentIndex(dlg->gridModel()->index(0, 6));
        QTest::keyClick(grid(), Qt::Key_Space);
        QCOMPARE(dlg->birthdayList().cell(B::colGift, 1), std::string("Y"));
        the<QAction>("miClearChecks")->trigger();
        QCOMPARE(dlg->birthdayList().cell(B::colGift, 1), std::string("N"));
    }

    void headerClicksSortAndReverse() {
        makeWindow();
        open(TAnnualDlg::kPageBirthdays);
        fillRows({{"bob", "Birthday", "10", "2"}, {"Ann", "Wedding", "2", "10"}, {"", "", "", ""}});
        clickHeader(5);  // not sortable
        QCOMPARE(cell(0, 1), QStringLiteral("bob"));
        clickHeader(3);
        QCOMPARE(dlg->birthdayList().rowCount(), 2);  // the incomplete row purged first
        QCOMPARE(cell(0, 1), QStringLiteral("Ann"));
        QVERIFY(grid()->horizontalHeader()->isSortIndicatorShown());
        QCOMPARE(grid()->horizontalHeader()->sortIndicatorSection(), 3);
        QCOMPARE(grid()->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
        clickHeader(3);
        QCOMPARE(cell(0, 1), QStringLiteral("bob"));
        QCOMPARE(grid()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(cell(0, 0), QStringLiteral("1"));  // the numbers stay in place
        clickHeader(1);
        QCOMPARE(cell(0, 1), QStringLiteral("Ann"));
    }

    void theSortArrowLeavesTheCaptionFree() {
        makeWindow();
        open(TAnnualDlg::kPageBirthdays);
        fillRows({{"bob", "Birthday", "10", "2"}, {"Ann", "Wedding", "2", "10"}});
        QHeaderView* h = grid()->horizontalHeader();
        const auto sectionImage = [h](int column) {
            return h->grab().toImage().copy(h->sectionViewportPosition(column), 0, h->sectionSize(column), h->height());
        };
        // Where the caption's letters are: what differs from the section's own colour, inside its borders.
        const auto inkOf = [](const QImage& image) {
            const QRgb background = image.pixel(image.width() / 2, 0);
            QRect ink;
            for (int y = 0; y < image.height() - 1; ++y)
                for (int x = 0; x < image.width() - 1; ++x)
                    if (image.pixel(x, y) != background) ink |= QRect(x, y, 1, 1);
            return ink;
        };
        for (int column = B::colName; column <= B::colDay; ++column) {
            const QImage plain = sectionImage(column);
            const QRect caption = inkOf(plain);
            QVERIFY(!caption.isEmpty());
            for (int click = 0; click < 2; ++click) {  // ascending, then descending
                clickHeader(column);
                const QImage sorted = sectionImage(column);
                QRect arrow;
                for (int y = 0; y < plain.height(); ++y)
                    for (int x = 0; x < plain.width(); ++x)
                        if (sorted.pixel(x, y) != plain.pixel(x, y)) arrow |= QRect(x, y, 1, 1);
                QVERIFY2(!arrow.isEmpty(), qPrintable(QStringLiteral("column %1: no arrow").arg(column)));
                QVERIFY2(!arrow.intersects(caption),
                         qPrintable(QStringLiteral("column %1, click %2").arg(column).arg(click)));
            }
        }
    }

    void rowButtonsAndMenu() {
        makeWindow();
        open(TAnnualDlg::kPageBirthdays);
        the<QPushButton>("BitBtn8")->click();  // the only row: a beep, no question
        QCOMPARE(seams->beeps, 1);
        QVERIFY(seams->messages.empty());
        the<QPushButton>("BitBtn3")->click();
        QCOMPARE(dlg->birthdayList().rowCount(), 2);
        QCOMPARE(grid()->currentIndex(), dlg->gridModel()->index(1, 1));
        type(QStringLiteral("second"));
        seams->answers.push_back(mrNo);
        grid()->setCurrentIndex(dlg->gridModel()->index(0, 1));
        the<QPushButton>("BitBtn8")->click();
        QCOMPARE(seams->messages.back().text, QStringLiteral("Delete selected row ?"));
        QCOMPARE(seams->messages.back().buttons, MsgButtons::YesNo);
        QCOMPARE(dlg->birthdayList().rowCount(), 2);
        the<QPushButton>("BitBtn8")->click();  // Yes
        QCOMPARE(dlg->birthdayList().rowCount(), 1);
        QCOMPARE(cell(0, 1), QStringLiteral("second"));
        the<QAction>("miInsertRow")->trigger();
        QCOMPARE(dlg->birthdayList().rowCount(), 2);
        QCOMPARE(cell(1, 1), QStringLiteral("second"));
        QCOMPARE(cell(1, 0), QStringLiteral("2"));
        QCOMPARE(grid()->currentIndex(), dlg->gridModel()->index(0, 1));
        the<QAction>("miDeleteRow")->trigger();
        QCOMPARE(dlg->birthdayList().rowCount(), 1);
    }

    void closingSavesOrDeletesTheFile() {
        makeWindow();
        open(TAnnualDlg::kPageBirthdays);
        fillRows({{"Ann", "Birthday", "8", "14"}});
        the<QPushButton>("BitBtn2")->click();
        QVERIFY(!dlg->isVisible());
        QVERIFY(dir->read("Events.dat").find("1,1,Ann\r\n") != std::string::npos);
        open(TAnnualDlg::kPageBirthdays);
        fillRows({{"Ann", "Birthday", "", "14"}});
        dlg->close();  // the window's close box
        QVERIFY(!dir->exists("Events.dat"));
    }

    void closingAfterAFailedLoad_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("changeTheList");
        QTest::addColumn<QByteArray>("written");  // what Events.dat holds after closing twice
        const QByteArray nameOnly = "6,123456789012\r\n1,1,Ann\r\n";
        const QByteArray oneRow = "6,123456789012\r\n1,1,Ann\r\n3,1,8\r\n4,1,14\r\n9,9,beyond\r\n";
        QTest::newRow("no complete row read, untouched") << nameOnly << false << nameOnly;
        QTest::newRow("a row read, untouched") << oneRow << false << oneRow;
        QTest::newRow("a row read, the list changed") << oneRow << true << QByteArray("1,2,Bob\r\n");
        QTest::newRow("no complete row read, the list changed") << nameOnly << true << QByteArray("1,1,Bob\r\n");
    }

    void closingAfterAFailedLoad() {
        QFETCH(QByteArray, file);
        QFETCH(bool, changeTheList);
        QFETCH(QByteArray, written);
        dir->write("Events.dat", file.toStdString());
        makeWindow();
        QCOMPARE(seams->messages.size(), size_t(1));
        QVERIFY(seams->messages[0].text.contains(QStringLiteral("\"Events.dat.damaged\"")));
        for (int closing = 0; closing < 2; ++closing) {
            open(TAnnualDlg::kPageBirthdays);
            if (changeTheList && closing == 0) {
                B& list = const_cast<B&>(dlg->birthdayList());
                const int row = list.isComplete(1) ? 2 : 1;
                if (row > list.rowCount()) list.appendRow();
                list.setCell(B::colName, row, "Bob");
                list.setCell(B::colMonth, row, "3");
                list.setCell(B::colDay, row, "4");
                dlg->gridModel()->reset();
            }
            the<QPushButton>("BitBtn2")->click();
            QVERIFY(!dlg->isVisible());
        }
        QCOMPARE(seams->messages.size(), size_t(1));
        QVERIFY(dir->exists("Events.dat"));
        QVERIFY(dir->read("Events.dat").find(written.toStdString()) != std::string::npos);
        if (changeTheList) QCOMPARE(QByteArray::fromStdString(dir->read("Events.dat.damaged")), file);
        else QVERIFY(!dir->exists("Events.dat.damaged"));
    }

    void saveFailureIsReportedAndTheWindowStillCloses() {
        makeWindow(dir->file("missing"));
        open(TAnnualDlg::kPageBirthdays);
        fillRows({{"Ann", "Birthday", "8", "14"}});
        the<QPushButton>("BitBtn2")->click();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Error);
    }

    void birthdaysStampedForTheSelectedYear() {
        makeWindow();
        open(TAnnualDlg::kPageBirthdays, d(2025, 3, 3));
        fillRows({{"Ann", "Birthday", "8", "14"}, {"Leap", "Day", "2", "29"}});
        seams->answers.push_back(mrNo);
        the<QPushButton>("BitBtn9")->click();
        QCOMPARE(seams->messages.back().text, QStringLiteral("Add birthdays to calendar for 2025 ?"));
        QVERIFY(dlg->isVisible());
        QVERIFY(!store().FindDay(d(2025, 8, 14)));
        the<QPushButton>("BitBtn9")->click();
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(mrOk));
        QCOMPARE(store().readDay(d(2025, 8, 14)), std::optional<std::string>("<Ann Birthday>\r\n"));
        QCOMPARE(store().keyList.size(), 1);
        QVERIFY(dir->exists("Events.dat"));  // closing saved the list
    }

    void repeatingPageOpensAsDescribed() {
        makeWindow();
        dlg->repeatSettings();  // builds the pages
        the<QComboBox>("cb1")->setCurrentIndex(2);
        the<QDateEdit>("cDate")->setDate(QDate(2030, 1, 1));
        option(2)->setChecked(true);
        open(TAnnualDlg::kPageRepeating, d(2025, 1, 15));
        QCOMPARE(the<QStackedWidget>("Notebook")->currentIndex(), 2);
        QCOMPARE(the<QComboBox>("cb1")->currentIndex(), 0);
        QCOMPARE(the<QDateEdit>("cDate")->date(), QDate(2025, 6, 1));
        QVERIFY(option(2)->isChecked());  // the option keeps its value
        QCOMPARE(the<QLabel>("lStartDate")->text(),
                 fromText(formatDate("ddd d mmmm yyyy", d(2025, 1, 15), systemDateNames())));
        QCOMPARE(the<QLineEdit>("eEvent")->text(), QStringLiteral("[Event]"));
        QCOMPARE(the<QLineEdit>("eEvent")->selectedText(), QStringLiteral("[Event]"));
        QCOMPARE(the<QLineEdit>("eEvent")->toolTip(), QStringLiteral("Description of event to repeat."));
        QCOMPARE(option(1)->text(), QStringLiteral("Repeat every") + kBlanks + QStringLiteral("day"));
        QCOMPARE(option(4)->text(), QStringLiteral("Repeat every") + kBlanks + QStringLiteral("year"));
        QCOMPARE(the<QLabel>("lYear")->text(), QStringLiteral("year,"));
        QCOMPARE(textColour(option(2)), QColor(0, 0, 255));
        QCOMPARE(textColour(option(1)), QColor(128, 128, 128));
        QCOMPARE(the<QComboBox>("cb2")->palette().color(QPalette::Text), QColor(128, 128, 128));
    }

    void pageReactions() {
        makeWindow();
        open(TAnnualDlg::kPageRepeating);
        spin(3)->setValue(3);
        QVERIFY(option(3)->isChecked());
        QCOMPARE(option(3)->text(), QStringLiteral("Repeat every") + kBlanks + QStringLiteral("months"));
        QCOMPARE(textColour(option(3)), QColor(0, 0, 255));
        QCOMPARE(spin(3)->palette().color(QPalette::Text), QColor(0, 0, 255));
        QCOMPARE(spin(1)->palette().color(QPalette::Text), QColor(128, 128, 128));
        QTest::mouseClick(spin(1), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(option(1)->isChecked());
        the<QComboBox>("cb1")->setCurrentIndex(1);
        QVERIFY(option(5)->isChecked());
        QCOMPARE(the<QComboBox>("cb3")->palette().color(QPalette::Text), QColor(0, 0, 255));
        the<QDateEdit>("cDate")->setDate(QDate(2027, 1, 1));
        spin(5)->setValue(2);
        QCOMPARE(the<QLabel>("lYear")->text(), QStringLiteral("years,"));
        QCOMPARE(the<QDateEdit>("cDate")->date(), QDate(2025, 6, 1));  // back to today
        const RepeatSettings r = dlg->repeatSettings();
        QCOMPARE(r.RepeatKind, int(rkNthWeekday));
        QCOMPARE(r.NthOccurrence, 2);
        QCOMPARE(r.YearsToRepeat, 2);
        QCOMPARE(r.UntilDate, 0);  // today: ignored
        the<QComboBox>("cb3")->setCurrentIndex(4);
        the<QDateEdit>("cDate")->setDate(QDate(2026, 2, 1));
        QCOMPARE(dlg->repeatSettings().Interval, 6);
        QCOMPARE(dlg->repeatSettings().UntilDate, d(2026, 2, 1));
        the<QDateEdit>("cDate")->setDate(QDate(2025, 5, 1));
        QCOMPARE(dlg->repeatSettings().UntilDate, 0);
    }

    void doneRefusesThePlaceholderInAnyCase() {
        makeWindow();
        open(TAnnualDlg::kPageRepeating);
        for (const QString& text : {QStringLiteral("[event]"), QString()}) {
            the<QLineEdit>("eEvent")->setText(text);
            the<QPushButton>("bRepDone")->click();
            QCOMPARE(seams->messages.back().text, QStringLiteral("Please enter some text in the \"Event\" box."));
            QCOMPARE(seams->messages.back().icon, MsgIcon::Information);
        }
        QVERIFY(seams->modalClasses.isEmpty());
        QVERIFY(dlg->isVisible());
    }

    void doneShowsTheDatesAndOkStampsThem() {
        makeWindow();
        open(TAnnualDlg::kPageRepeating, d(2024, 1, 15));
        the<QLineEdit>("eEvent")->setText(QStringLiteral("Gym"));
        the<QComboBox>("cb1")->setCurrentIndex(1);
        the<QComboBox>("cb2")->setCurrentIndex(2);
        the<QComboBox>("cb3")->setCurrentIndex(2);
        QStringList shown;
        seams->scripts.push_back([&shown](QDialog* dialog) {
            QAbstractItemModel* m = part<QListView>(dialog, "lbDates")->model();
            for (int i = 0; i < m->rowCount(); ++i) shown << m->index(i, 0).data().toString();
            return pressOk(dialog);
        });
        the<QPushButton>("bRepDone")->click();
        QCOMPARE(seams->modalClasses, QStringList{"orv::TCheckDlg"});
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown[0], fromText(formatDate("dddd, d mmmm yyyy", d(2024, 4, 9), systemDateNames())));
        QVERIFY(!dlg->isVisible());
        QCOMPARE(dlg->result(), int(mrOk));
        QCOMPARE(store().readDay(d(2025, 1, 14)), std::optional<std::string>("<Gym>\r\n"));
        QCOMPARE(store().keyList.size(), 4);
    }

    void cancelInTheCheckWindowKeepsThePageOpen() {
        makeWindow();
        open(TAnnualDlg::kPageRepeating, d(2024, 1, 1));
        the<QLineEdit>("eEvent")->setText(QStringLiteral("Gym"));
        option(1)->click();
        the<QPushButton>("bRepDone")->click();  // no script: the check window answers Cancel
        QVERIFY(dlg->isVisible());
        QCOMPARE(store().keyList.size(), 0);
    }

    void monthlyFromThe31stAsksAboutMissingDays() {
        makeWindow();
        open(TAnnualDlg::kPageRepeating, d(2023, 1, 31));
        the<QLineEdit>("eEvent")->setText(QStringLiteral("Rent"));
        spin(3)->setValue(1);
        option(3)->click();
        int page = -1;
        int count = -1;
        QString title;
        seams->scripts.push_back([&page, &title](QDialog* dialog) {
            page = part<QStackedWidget>(dialog, "Notebook1")->currentIndex();
            title = dialog->windowTitle();
            part<QPushButton>(dialog, "BitBtn2")->click();  // only existing dates
            return dialog->result();
        });
        seams->scripts.push_back([&count](QDialog* dialog) {
            count = qobject_cast<TCheckDlg*>(dialog)->datesModel()->rowCount();
            return int(mrCancel);
        });
        the<QPushButton>("bRepDone")->click();
        QCOMPARE(seams->modalClasses, (QStringList{"orv::TDSDlg", "orv::TCheckDlg"}));
        QCOMPARE(page, 2);
        QCOMPARE(title, QStringLiteral("Warning - Date sensitivity..."));
        QCOMPARE(count, 7);

        seams->scripts.push_back([](QDialog*) { return int(mrCancel); });
        the<QPushButton>("bRepDone")->click();  // cancel: nothing computed
        QCOMPARE(seams->modalClasses.size(), 3);
        seams->scripts.push_back([](QDialog*) { return int(mrYes); });
        seams->scripts.push_back([&count](QDialog* dialog) {
            count = qobject_cast<TCheckDlg*>(dialog)->datesModel()->rowCount();
            return int(mrCancel);
        });
        the<QPushButton>("bRepDone")->click();
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
        store().LoadStore(dir->file("Cal.DBX"));
        bool stayedOpen = false;
        seams->scripts.push_back([&](QDialog* dialog) {
            const int answer = pressOk(dialog);
            stayedOpen = dialog->isVisible();
            return answer;
        });
        QCOMPARE(check->checkAndStamp({d(2040, 1, 1)}, "<Gym>\r\n"), int(mrCancel));
        QVERIFY(stayedOpen);
        QCOMPARE(seams->messages.size(), size_t(1));
        QVERIFY(seams->messages[0].text.startsWith(
            QStringLiteral("Nothing has been added: these entries need 1 new day in")));
        QCOMPARE(dir->read("Cal.DBX").size(), bytes.size());
    }

    void checkWindowReportsSkippedDays() {
        QCOMPARE(check->windowTitle(), QStringLiteral("Check Results..."));
        QCOMPARE(part<QLabel>(check.get(), "Label1")->text(), QStringLiteral("Check Accuracy Of Repeating Events"));
        QVERIFY(part<QPushButton>(check.get(), "BitBtn1")->isDefault());
        store().writeDay(d(2025, 1, 2), std::string(995, 'a'));
        seams->scripts.push_back(pressOk);
        QCOMPARE(check->checkAndStamp({d(2025, 1, 1), d(2025, 1, 2)}, "<Gym>\r\n"), int(mrOk));
        QVERIFY(!check->isVisible());
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].icon, MsgIcon::Warning);
        QVERIFY(seams->messages[0].text.contains(
            fromText(formatDate("dddd, d mmmm yyyy", d(2025, 1, 2), systemDateNames()))));
        QCOMPARE(store().readDay(d(2025, 1, 2)).value_or("").size(), size_t(995));
    }

    void dateSensitivityPages() {
        const QStringList texts = {
            "The day of the month you have selected [29th] may not be found if a February is encountered.",
            "The day of the month you have selected [30th] will not be found if a February is encountered.",
            "The day of the month you have selected [31st] will not be found when months with only 30 days are "
            "encountered."};
        const auto button = [this](const char* name) { return part<QPushButton>(ds.get(), name); };
        for (int day = 29; day <= 31; ++day) {
            seams->scripts.push_back([&](QDialog* dialog) {
                const auto* pages = part<QStackedWidget>(dialog, "Notebook1");
                [&] {
                    QCOMPARE(pages->currentIndex(), day - 29);
                    QCOMPARE(qobject_cast<QLabel*>(pages->currentWidget())->text(), texts[day - 29]);
                }();
                button(day == 29 ? "BitBtn1" : day == 30 ? "BitBtn2" : "BitBtn3")->click();
                return dialog->result();
            });
            QCOMPARE(ds->askFor(day), day == 29 ? int(mrYes) : day == 30 ? int(mrNo) : int(mrCancel));
        }
        QCOMPARE(button("BitBtn1")->text(), QStringLiteral("Use the &nearest date"));
        QCOMPARE(button("BitBtn2")->text(), QStringLiteral("&Only make entries if date exists"));
        QCOMPARE(button("BitBtn3")->text(), QStringLiteral("&Cancel and choose a new date"));
    }
};

QTEST_MAIN(AnnualDlgTest)
#include "annual_dlg_test.moc"
