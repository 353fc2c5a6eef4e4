#include <QImage>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include "app/rx_calendar_ex.h"
#include "common/day_number.h"

using namespace orv;

namespace {

int date(int y, int m, int d) { return dayNumber(y, m, d); }
const int kToday = date(2023, 1, 15);

QPoint centreOf(const TRxCalendarEx& cal, int row, int column) { return cal.cellRect(row, column).center(); }

// Text ink of a strong red against a light background.
bool isReddish(QRgb px) { return qRed(px) - std::max(qGreen(px), qBlue(px)) > 100; }

int reddishPixels(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += isReddish(img.pixel(x, y));
    return n;
}

QColor pixel(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)); }
// A palette colour in the form pixel() gives.
QColor role(const QWidget& w, QPalette::ColorRole r) { return QColor(w.palette().color(r).rgb()); }

}  // namespace

class RxCalendarExTest : public QObject {
    Q_OBJECT
private slots:

    void startsOnTodayWithDefaults() {
        TRxCalendarEx cal(kToday);
        QCOMPARE(cal.CalendarDate(), date(2023, 1, 15));
        QCOMPARE(cal.StartOfWeek(), 1);
        QCOMPARE(cal.Weekends(), kSundayOnly);
        QCOMPARE(cal.WeekendColor(), QColor(255, 0, 0));
        QVERIFY(cal.UseCurrentDate());
        QVERIFY(!cal.ReadOnly());
        QVERIFY(!cal.Updating());
        for (int d = 0; d <= 31; ++d) QCOMPARE(cal.GetMark(d), 0);
    }

    void cellTextsAndHeaderFollowWeekStart_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("firstColumn");
        QTest::addColumn<int>("lastRow");
        QTest::addColumn<int>("lastColumn");
        // January 2023 starts on a Sunday.
        QTest::newRow("sunday first") << 0 << 0 << 5 << 2;
        QTest::newRow("monday first") << 1 << 6 << 6 << 1;
    }
    void cellTextsAndHeaderFollowWeekStart() {
        QFETCH(int, start);
        QFETCH(int, firstColumn);
        QFETCH(int, lastRow);
        QFETCH(int, lastColumn);
        TRxCalendarEx cal(kToday);
        QSignalSpy changes(&cal, &TRxCalendarEx::OnChange);
        cal.SetStartOfWeek(start);
        QCOMPARE(changes.count(), 0);  // the date stayed
        QCOMPARE(cal.FirstDayOffset(), 1 - firstColumn);
        QCOMPARE(cal.cellText(1, firstColumn), QStringLiteral("1"));
        QCOMPARE(cal.cellText(lastRow, lastColumn), QStringLiteral("31"));
        if (firstColumn > 0) QCOMPARE(cal.cellText(1, firstColumn - 1), QString());
        for (int c = 0; c < 7; ++c) {
            const int weekday = (c + start) % 7;  // 0 = Sunday
            QCOMPARE(cal.cellText(0, c), QLocale::system().dayName(weekday == 0 ? 7 : weekday, QLocale::ShortFormat));
        }
        // The current cell follows the week start: 15 January is a Sunday.
        QCOMPARE(cal.currentCell().column, start == 0 ? 0 : 6);
    }

    void cellSizesFollowTheControlSize() {
        TRxCalendarEx cal(kToday);
        cal.resize(282, 127);
        QCOMPARE(cal.columnWidth(), 39);  // (280 - 6) / 7
        QCOMPARE(cal.rowHeight(), 17);    // (125 - 6) / 7
        cal.resize(150, 80);
        QCOMPARE(cal.columnWidth(), 20);  // (148 - 6) / 7
        QCOMPARE(cal.rowHeight(), 10);    // (78 - 6) / 7
        QCOMPARE(cal.cellRect(1, 1), QRect(1 + 21, 1 + 11, 20, 10));
    }

    void monthStepsFromThe31st_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<int>("to");
        QTest::newRow("Jan 31 common") << date(2001, 1, 31) << true << date(2001, 2, 28);
        QTest::newRow("Jan 31 leap") << date(2004, 1, 31) << true << date(2004, 2, 29);
        QTest::newRow("Mar 31 common") << date(2001, 3, 31) << false << date(2001, 2, 28);
        QTest::newRow("Mar 31 leap") << date(2000, 3, 31) << false << date(2000, 2, 29);
        QTest::newRow("Dec 31 to Jan") << date(2001, 12, 31) << true << date(2002, 1, 31);
    }
    void monthStepsFromThe31st() {
        QFETCH(int, from);
        QFETCH(bool, forward);
        QFETCH(int, to);
        TRxCalendarEx cal(kToday);
        cal.SetCalendarDate(from);
        QSignalSpy changes(&cal, &TRxCalendarEx::OnChange);
        QCOMPARE(forward ? cal.NextMonth() : cal.PrevMonth(), DateMove::Changed);
        QCOMPARE(cal.CalendarDate(), to);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(cal.cellText(cal.currentCell().row, cal.currentCell().column), QString::number(cal.Day()));
    }

    void yearStepFrom29FebruaryRaisesTwoChanges() {
        TRxCalendarEx cal(kToday);
        cal.SetCalendarDate(date(2004, 2, 29));
        QSignalSpy changes(&cal, &TRxCalendarEx::OnChange);
        QList<int> seen;
        connect(&cal, &TRxCalendarEx::OnChange, this, [&] { seen << cal.CalendarDate(); });
        QCOMPARE(cal.NextYear(), DateMove::Changed);
        QCOMPARE(cal.CalendarDate(), date(2005, 2, 28));
        QCOMPARE(changes.count(), 2);
        QCOMPARE(seen, (QList<int>{date(2004, 2, 28), date(2005, 2, 28)}));
        QVERIFY(!cal.UseCurrentDate());
    }

    void setDatePartFailsOn29FebruaryIntoCommonYear() {
        TRxCalendarEx cal(kToday);
        cal.SetCalendarDate(date(2000, 2, 29));
        QSignalSpy changes(&cal, &TRxCalendarEx::OnChange);
        QCOMPARE(cal.SetDatePart(kPartYear, 2001), DateMove::NoSuchDate);
        QCOMPARE(cal.CalendarDate(), date(2000, 2, 29));
        QCOMPARE(changes.count(), 0);
    }

    void refusedDatePartsRaiseNothing_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("value");
        QTest::newRow("month 13") << kPartMonth << 13;
        QTest::newRow("day 0") << kPartDay << 0;
        QTest::newRow("day 32") << kPartDay << 32;
        QTest::newRow("same day") << kPartDay << 15;
        QTest::newRow("year 0") << kPartYear << 0;
        QTest::newRow("year 10000") << kPartYear << 10000;
    }
    void refusedDatePartsRaiseNothing() {
        QFETCH(int, kind);
        QFETCH(int, value);
        TRxCalendarEx cal(kToday);
        QSignalSpy changes(&cal, &TRxCalendarEx::OnChange);
        QVERIFY(cal.SetDatePart(kind, value) != DateMove::Changed);
        QCOMPARE(cal.CalendarDate(), date(2023, 1, 15));
        QCOMPARE(changes.count(), 0);
        QVERIFY(cal.UseCurrentDate());
    }

    void noDateAfterTheLastDecember() {
        TRxCalendarEx cal(kToday);
        cal.SetCalendarDate(date(9999, 12, 31));
        QSignalSpy changes(&cal, &TRxCalendarEx::OnChange);
        QCOMPARE(cal.NextMonth(), DateMove::OutOfRange);
        QCOMPARE(cal.NextYear(), DateMove::OutOfRange);
        QCOMPARE(cal.CalendarDate(), date(9999, 12, 31));
        QCOMPARE(changes.count(), 0);
    }

    void clicksSelectOnlyDays() {
        TRxCalendarEx cal(kToday);  // Monday first: 1 January 2023 in row 1, column 6
        cal.resize(282, 127);
        cal.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cal));
        QSignalSpy changes(&cal, &TRxCalendarEx::OnChange);
        QSignalSpy clicks(&cal, &TRxCalendarEx::clicked);

        QTest::mouseClick(&cal, Qt::LeftButton, {}, centreOf(cal, 1, 0));  // empty cell before the 1st
        QTest::mouseClick(&cal, Qt::LeftButton, {}, centreOf(cal, 6, 6));  // empty cell after the 31st
        QTest::mouseClick(&cal, Qt::LeftButton, {}, centreOf(cal, 0, 3));  // header
        QCOMPARE(cal.CalendarDate(), date(2023, 1, 15));
        QCOMPARE(changes.count(), 0);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(cal.currentCell(), (GridCell{3, 6}));

        QTest::mouseClick(&cal, Qt::LeftButton, {}, centreOf(cal, 1, 6));
        QCOMPARE(cal.CalendarDate(), date(2023, 1, 1));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(cal.currentCell(), (GridCell{1, 6}));
        QVERIFY(!cal.UseCurrentDate());

        QSignalSpy doubles(&cal, &TRxCalendarEx::doubleClicked);
        QTest::mouseDClick(&cal, Qt::LeftButton, {}, centreOf(cal, 2, 2));
        QCOMPARE(doubles.count(), 1);
        QCOMPARE(cal.CalendarDate(), date(2023, 1, 4));
    }

    void readOnlyRefusesTheUser() {
        TRxCalendarEx cal(kToday);
        cal.SetReadOnly(true);
        cal.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cal));
        QTest::mouseClick(&cal, Qt::LeftButton, {}, centreOf(cal, 2, 2));
        QTest::keyClick(&cal, Qt::Key_Left);
        QTest::keyClick(&cal, Qt::Key_Down);
        QCOMPARE(cal.CalendarDate(), date(2023, 1, 15));
        // The program itself still moves the date, and the current cell with it.
        cal.SetDatePart(kPartDay, 4);
        QCOMPARE(cal.currentCell(), (GridCell{2, 2}));
    }

    void arrowKeys_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("to");
        const int plain = 0;
        // January 2023 with Sunday first: 1..7 in row 1, 29..31 in row 5, columns 0..2.
        QTest::newRow("left on 1st") << 0 << 1 << int(Qt::Key_Left) << plain << 1;
        QTest::newRow("right on 31st") << 0 << 31 << int(Qt::Key_Right) << plain << 31;
        QTest::newRow("left") << 0 << 8 << int(Qt::Key_Left) << plain << 7;  // wraps to the row above
        QTest::newRow("right") << 0 << 7 << int(Qt::Key_Right) << plain << 8;
        QTest::newRow("shift left moves in the row") << 0 << 9 << int(Qt::Key_Left) << int(Qt::ShiftModifier) << 8;
        QTest::newRow("shift left at column 0") << 0 << 8 << int(Qt::Key_Left) << int(Qt::ShiftModifier) << 8;
        QTest::newRow("down") << 0 << 3 << int(Qt::Key_Down) << plain << 10;
        QTest::newRow("up") << 0 << 10 << int(Qt::Key_Up) << plain << 3;
        QTest::newRow("up onto header") << 0 << 3 << int(Qt::Key_Up) << plain << 3;
        QTest::newRow("down onto empty") << 0 << 25 << int(Qt::Key_Down) << plain << 25;
        QTest::newRow("down from last row") << 0 << 31 << int(Qt::Key_Down) << plain << 31;
        // Monday first: the 1st sits alone in column 6, so Up from the 8th finds it.
        QTest::newRow("up onto the 1st") << 1 << 8 << int(Qt::Key_Up) << plain << 1;
        QTest::newRow("up onto empty") << 1 << 7 << int(Qt::Key_Up) << plain << 7;
    }
    void arrowKeys() {
        QFETCH(int, start);
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, to);
        TRxCalendarEx cal(kToday);
        cal.SetStartOfWeek(start);
        cal.SetCalendarDate(date(2023, 1, from));
        QSignalSpy changes(&cal, &TRxCalendarEx::OnChange);
        QTest::keyClick(&cal, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(cal.Day(), to);
        QCOMPARE(cal.Month(), 1);
        QCOMPARE(changes.count(), from == to ? 0 : 1);
    }

    void weekendColumnsDrawnInWeekendColourExceptCurrentCell() {
        TRxCalendarEx cal(kToday);
        cal.resize(282, 127);
        cal.SetWeekends(kSaturdayAndSunday);
        cal.SetCalendarDate(date(2023, 1, 18));  // a Wednesday, column 2
        QImage img = cal.grab().toImage();
        for (int c = 0; c < 7; ++c) {
            const bool weekend = c >= 5;
            QCOMPARE(reddishPixels(img, cal.cellRect(0, c)) > 0, weekend);  // header too
            QCOMPARE(reddishPixels(img, cal.cellRect(2, c)) > 0, weekend);
        }
        // The current cell on a Sunday shows no weekend colour.
        cal.SetDatePart(kPartDay, 22);
        QCOMPARE(cal.currentCell(), (GridCell{4, 6}));
        img = cal.grab().toImage();
        QCOMPARE(reddishPixels(img, cal.cellRect(4, 6)), 0);
        QVERIFY(reddishPixels(img, cal.cellRect(3, 6)) > 0);
        QCOMPARE(pixel(img, cal.cellRect(4, 6).left() + 2, cal.cellRect(4, 6).top() + 2),
                 role(cal, QPalette::Highlight));
    }

    void textIsCentredInItsCell() {
        TRxCalendarEx cal(kToday);
        cal.resize(282, 127);
        cal.SetCalendarDate(date(2023, 1, 2));
        const QImage img = cal.grab().toImage();
        const QColor base = role(cal, QPalette::Base);
        const QRect r = cal.cellRect(3, 3);  // "12", a Thursday, not current
        int left = r.right(), right = r.left(), top = r.bottom(), bottom = r.top();
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (pixel(img, x, y) != base) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        QVERIFY(right > left);
        QVERIFY2(std::abs((left - r.left()) - (r.right() - right)) <= 2, "text not centred horizontally");
        QVERIFY2(std::abs((top - r.top()) - (r.bottom() - bottom)) <= 3, "text not centred vertically");
    }

    void dotColours() {
        TRxCalendarEx cal(kToday);
        cal.resize(282, 127);
        cal.SetCalendarDate(date(2023, 1, 10));
        cal.SetMark(10, TRxCalendarEx::kGreenMark);
        cal.SetMark(11, TRxCalendarEx::kGreenMark);
        cal.SetMark(12, TRxCalendarEx::kRedMark);
        cal.SetMark(0, TRxCalendarEx::kRedMark);  // refused: entry 0 serves empty cells
        cal.SetMark(13, 3);                       // refused: no such mark
        QCOMPARE(cal.GetMark(0), 0);
        QCOMPARE(cal.GetMark(13), 0);

        auto dotAt = [&](const QImage& img, int day) {
            const GridCell c = cellOfDay(day, cal.FirstDayOffset());
            const QRect d = TRxCalendarEx::dotRect(cal.cellRect(c.row, c.column));
            return pixel(img, d.left() + 1, d.top() + 1);
        };
        auto outside = [&](const QImage& img, int day) {
            const GridCell c = cellOfDay(day, cal.FirstDayOffset());
            const QRect cell = cal.cellRect(c.row, c.column);
            const QRect d = TRxCalendarEx::dotRect(cell);
            // Just above the dot, and the dot's own corner, stay background.
            return std::pair{pixel(img, d.left() + 1, d.top() - 1), pixel(img, d.left(), d.top())};
        };

        QImage img = cal.grab().toImage();
        QCOMPARE(dotAt(img, 10), QColor(0, 255, 0));  // current cell: lime
        QCOMPARE(dotAt(img, 11), QColor(0, 128, 0));
        QCOMPARE(dotAt(img, 12), QColor(255, 0, 0));
        const QColor base = role(cal, QPalette::Base);
        QCOMPARE(outside(img, 11).first, base);
        QCOMPARE(outside(img, 11).second, base);
        QVERIFY(dotAt(img, 13) != QColor(255, 0, 0) && dotAt(img, 13) != QColor(0, 128, 0));

        // The dot sits 1 pixel from the left and bottom edges of the cell.
        const GridCell c11 = cellOfDay(11, cal.FirstDayOffset());
        const QRect cell11 = cal.cellRect(c11.row, c11.column);
        QCOMPARE(TRxCalendarEx::dotRect(cell11), QRect(cell11.left() + 1, cell11.top() + cell11.height() - 5, 4, 4));
        QCOMPARE(pixel(img, cell11.left() + 1, cell11.bottom() - 2), QColor(0, 128, 0));
        QCOMPARE(pixel(img, cell11.left() + 1, cell11.bottom()), base);

        // Moving the selection away turns the lime dot green.
        cal.SetDatePart(kPartDay, 20);
        img = cal.grab().toImage();
        QCOMPARE(dotAt(img, 10), QColor(0, 128, 0));
        QCOMPARE(dotAt(img, 11), QColor(0, 128, 0));
        QCOMPARE(dotAt(img, 12), QColor(255, 0, 0));

        // A red mark stays red in the current cell.
        cal.SetDatePart(kPartDay, 12);
        img = cal.grab().toImage();
        QCOMPARE(dotAt(img, 12), QColor(255, 0, 0));
    }

    void currentCellHighlightedWithoutFocus() {
        TRxCalendarEx cal(kToday);
        cal.resize(282, 127);
        QVERIFY(!cal.hasFocus());
        const QImage img = cal.grab().toImage();
        const QRect r = cal.cellRect(cal.currentCell().row, cal.currentCell().column);
        QCOMPARE(pixel(img, r.left() + 1, r.top() + 1), role(cal, QPalette::Highlight));
        QCOMPARE(pixel(img, 0, 0), role(cal, QPalette::Shadow));  // single-line border
    }
};

QTEST_MAIN(RxCalendarExTest)
#include "rx_calendar_ex_test.moc"
