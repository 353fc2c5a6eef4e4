// The print page's month grid: what it draws where, in which colours, and how its date setters behave.
#include <QLocale>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include "common/clock.h"
#include "common/day_number.h"
#include "common/ui_fonts.h"
#include "print/quor_calendar1.h"
#include "support/recording_device.h"

using namespace orv;
using orv::test::RecordingDevice;

namespace {

int date(int y, int m, int d) { return dayNumber(y, m, d); }

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

const Clock kToday(dayNumber(2024, 2, 10));

// The grid as the page has it: 365 x 184, Arial 11 pixels, white.
struct PageGrid {
    TQuorCalendar1 cal{kToday};
    RecordingDevice device{QSize(365, 184), 96};
    PageGrid() {
        cal.setFont(arialFont(11));
        cal.resize(365, 184);
    }
    const RecordingDevice& paint() {
        device.clear();
        QPainter p(&device);
        cal.render(&p);
        return device;
    }
};

}  // namespace

class QuorCalendar1Test : public QObject {
    Q_OBJECT
private slots:
    void startsOnTodayWithSundayFirst() {
        TQuorCalendar1 cal(kToday);
        QCOMPARE(cal.CalendarDate(), date(2024, 2, 10));
        QCOMPARE(cal.StartOfWeek(), 0);
        QVERIFY(cal.UseCurrentDate());
        QCOMPARE(cal.Color(), QColor(Qt::white));
        QCOMPARE(cal.GridLineWidth(), 1);
    }

    // September 2000 starts on a Friday.
    void dayNumbersSitTopRightInTheirCellsInTheirColumnsColour_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("day");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::newRow("1st, Sunday first") << 0 << "1" << 1 << 5;
        QTest::newRow("2nd, Sunday first") << 0 << "2" << 1 << 6;
        QTest::newRow("3rd, Sunday first") << 0 << "3" << 2 << 0;
        QTest::newRow("14th, Sunday first") << 0 << "14" << 3 << 4;
        QTest::newRow("30th, Sunday first") << 0 << "30" << 5 << 6;
        // The colours go by column, whatever the week start.
        QTest::newRow("1st, Monday first") << 1 << "1" << 1 << 4;
        QTest::newRow("3rd, Monday first") << 1 << "3" << 1 << 6;
        QTest::newRow("4th, Monday first") << 1 << "4" << 2 << 0;
    }
    void dayNumbersSitTopRightInTheirCellsInTheirColumnsColour() {
        QFETCH(int, start);
        QFETCH(QString, day);
        QFETCH(int, row);
        QFETCH(int, column);
        PageGrid g;
        g.cal.SetCalendarDate(date(2000, 9, 14));
        g.cal.SetStartOfWeek(start);
        const auto* t = g.paint().text(day);
        QVERIFY(t);
        const QRect cell = g.cal.cellRect(row, column);
        QCOMPARE(qRound(t->right()), cell.left() + cell.width() - 2);
        QCOMPARE(qRound(t->box.top()), cell.top());
        QCOMPARE(t->colour, column == 0 || column == 6 ? kRed : kBlue);
        QCOMPARE(g.device.textsIn(cell), QStringList{day});
    }

    void headerNamesTheWeekdaysCentredFromTheWeekStart() {
        for (int start : {0, 1, 6}) {
            PageGrid g;
            g.cal.SetStartOfWeek(start);
            g.paint();
            for (int c = 0; c < 7; ++c) {
                const int weekday = (c + start) % 7;
                const QString name = QLocale::system().dayName(weekday == 0 ? 7 : weekday, QLocale::ShortFormat);
                const QRect cell = g.cal.cellRect(0, c);
                QCOMPARE(g.device.textsIn(cell), QStringList{name});
                const auto* t = g.device.text(name);
                QVERIFY(qAbs(t->centreX() - (cell.left() + cell.width() / 2.0)) <= 1.0);
                QVERIFY(qAbs(t->box.center().y() - (cell.top() + cell.height() / 2.0)) <= 1.0);
                QCOMPARE(t->colour, c == 0 || c == 6 ? kRed : kBlue);
            }
        }
    }

    void everyCellIsFilledWithTheGridColourTheCurrentOneToo() {
        for (const QColor& colour : {QColor(Qt::white), QColor(255, 255, 0)}) {
            PageGrid g;
            g.cal.SetCalendarDate(date(2000, 9, 14));
            g.cal.SetColor(colour);
            g.paint();
            int filled = 0;
            for (int row = 0; row < 7; ++row)
                for (int column = 0; column < 7; ++column)
                    for (const auto& s : g.device.shapes)
                        if (s.rect == QRectF(g.cal.cellRect(row, column))) {
                            QCOMPARE(s.fill, colour);
                            ++filled;
                        }
            QCOMPARE(filled, 49);
            QCOMPARE(g.cal.currentCell(), (GridCell{3, 4}));
        }
    }

    void emptyCellsShowNothing() {
        PageGrid g;
        g.cal.SetCalendarDate(date(2000, 9, 14));
        g.paint();
        // Seven names and thirty days.
        QCOMPARE(g.device.texts.size(), size_t{37});
        QVERIFY(g.device.textsIn(g.cal.cellRect(1, 4)).isEmpty());
        QVERIFY(g.device.textsIn(g.cal.cellRect(6, 0)).isEmpty());
    }

    void cellSizeAlwaysTakesTheGridLinesOff_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("lineWidth");
        QTest::addColumn<int>("columnWidth");
        QTest::addColumn<int>("rowHeight");
        QTest::newRow("page grid") << QSize(365, 184) << 1 << 51 << 25;
        QTest::newRow("52 wide") << QSize(372, 190) << 1 << 52 << 26;
        QTest::newRow("thick lines") << QSize(200, 100) << 2 << 26 << 12;
        QTest::newRow("no lines") << QSize(100, 100) << 0 << 14 << 14;
        QTest::newRow("too small") << QSize(5, 5) << 1 << 0 << 0;
    }
    void cellSizeAlwaysTakesTheGridLinesOff() {
        QFETCH(QSize, size);
        QFETCH(int, lineWidth);
        QFETCH(int, columnWidth);
        QFETCH(int, rowHeight);
        TQuorCalendar1 cal(kToday);
        cal.resize(size);
        cal.SetGridLineWidth(lineWidth);
        QCOMPARE(cal.columnWidth(), columnWidth);
        QCOMPARE(cal.rowHeight(), rowHeight);
        QCOMPARE(cal.cellRect(1, 1).left(), 1 + columnWidth + lineWidth);
    }

    void settersNeverShortenTheDay_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<char>("part");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("move");
        QTest::addColumn<int>("to");
        const int refused = int(DateMove::NoSuchDate), changed = int(DateMove::Changed);
        const int same = int(DateMove::Unchanged);
        QTest::newRow("31 Jan to February") << date(2001, 1, 31) << 'm' << 2 << refused << date(2001, 1, 31);
        QTest::newRow("31 Jan to April") << date(2001, 1, 31) << 'm' << 4 << refused << date(2001, 1, 31);
        QTest::newRow("31 Jan to March") << date(2001, 1, 31) << 'm' << 3 << changed << date(2001, 3, 31);
        QTest::newRow("29 Feb to a common year") << date(2000, 2, 29) << 'y' << 2001 << refused << date(2000, 2, 29);
        QTest::newRow("29 Feb to a leap year") << date(2000, 2, 29) << 'y' << 2004 << changed << date(2004, 2, 29);
        QTest::newRow("day past the month") << date(2000, 6, 15) << 'd' << 31 << same << date(2000, 6, 15);
        QTest::newRow("last day") << date(2000, 6, 15) << 'd' << 30 << changed << date(2000, 6, 30);
        QTest::newRow("month 13") << date(2000, 6, 15) << 'm' << 13 << same << date(2000, 6, 15);
    }
    void settersNeverShortenTheDay() {
        QFETCH(int, from);
        QFETCH(char, part);
        QFETCH(int, value);
        QFETCH(int, move);
        QFETCH(int, to);
        TQuorCalendar1 cal(kToday);
        cal.SetCalendarDate(from);
        QVERIFY(cal.UseCurrentDate());  // a whole date keeps it
        QSignalSpy changes(&cal, &TQuorCalendar1::OnChange);
        const DateMove got = part == 'd' ? cal.SetDay(value) : part == 'm' ? cal.SetMonth(value) : cal.SetYear(value);
        QCOMPARE(int(got), move);
        QCOMPARE(cal.CalendarDate(), to);
        QCOMPARE(changes.count(), move == int(DateMove::Changed) ? 1 : 0);
        QCOMPARE(cal.UseCurrentDate(), move != int(DateMove::Changed));
        const GridCell cell = cal.currentCell();
        QCOMPARE(cal.cellText(cell.row, cell.column), QString::number(cal.Day()));
    }

    void useCurrentDateMovesToToday() {
        PageGrid g;
        g.cal.SetCalendarDate(date(2000, 9, 14));
        g.cal.SetDay(20);
        QVERIFY(!g.cal.UseCurrentDate());
        QSignalSpy changes(&g.cal, &TQuorCalendar1::OnChange);
        g.cal.SetUseCurrentDate(true);
        QVERIFY(g.cal.UseCurrentDate());
        QCOMPARE(g.cal.CalendarDate(), date(2024, 2, 10));
        QCOMPARE(changes.count(), 1);
        // February 2024 starts on a Thursday; the 29th is drawn.
        QCOMPARE(g.paint().textsIn(g.cal.cellRect(5, 4)), QStringList{QStringLiteral("29")});
        g.cal.SetUseCurrentDate(false);
        QCOMPARE(changes.count(), 1);
    }

    void clickOnADayMakesItTheDayUnlessReadOnly_data() {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("day");
        QTest::newRow("a day") << false << 2 << 3 << 6;
        QTest::newRow("an empty cell") << false << 1 << 0 << 14;
        QTest::newRow("the header") << false << 0 << 3 << 14;
        QTest::newRow("read only") << true << 2 << 3 << 14;
    }
    void clickOnADayMakesItTheDayUnlessReadOnly() {
        QFETCH(bool, readOnly);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, day);
        TQuorCalendar1 cal(kToday);
        cal.resize(365, 184);
        cal.SetCalendarDate(date(2000, 9, 14));
        cal.SetReadOnly(readOnly);
        QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.cellRect(row, column).center());
        QCOMPARE(cal.Day(), day);
    }

    void printsSharpAtAnyScale() {
        // Painted four times larger, the texts keep their places in proportion.
        PageGrid g;
        g.cal.SetCalendarDate(date(2000, 9, 14));
        RecordingDevice big(QSize(365 * 4, 184 * 4), 384);
        {
            QPainter p(&big);
            p.scale(4, 4);
            g.cal.render(&p);
        }
        const auto* t = big.text(QStringLiteral("30"));
        QVERIFY(t);
        const QRect cell = g.cal.cellRect(5, 6);
        QVERIFY(qAbs(t->right() - 4 * (cell.left() + cell.width() - 2)) <= 4);
        QVERIFY(qAbs(t->box.top() - 4 * cell.top()) <= 4);
    }
};

QTEST_MAIN(QuorCalendar1Test)
#include "quor_calendar1_test.moc"
