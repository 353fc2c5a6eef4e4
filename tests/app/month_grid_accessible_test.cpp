#include <QAccessible>
#include <QLocale>
#include <QTest>
#include <QToolButton>

#include "app/month_grid_accessible.h"
#include "app/rx_calendar_ex.h"
#include "common/day_number.h"
#include "common/hint_router.h"

using namespace orv;

namespace {

QString dayName(int y, int m, int d) {
    const QLocale loc = QLocale::system();
    return QStringLiteral("%1 %2 %3 %4")
        .arg(loc.dayName(QDate(y, m, d).dayOfWeek()), QString::number(d), loc.monthName(m), QString::number(y));
}

// December 2026 starts on a Tuesday; with Monday first the 1st is in column 1 of the first day row.
int cellIndexOfDay(int day) { return 7 + (day - 1 + 1) / 7 * 7 + (day - 1 + 1) % 7; }

}  // namespace

class MonthGridAccessibleTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QAccessible::installFactory(monthGridAccessibleFactory); }
    void tableOfNamedDaysUnderNamedWeekdays() {
        TRxCalendarEx grid(dayNumber(2026, 12, 8));
        grid.SetStartOfWeek(1);
        grid.SetCalendarDate(dayNumber(2026, 12, 8));
        grid.SetMark(8, TRxCalendarEx::kGreenMark);
        grid.SetMark(24, TRxCalendarEx::kRedMark);
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
        QVERIFY(table);
        QCOMPARE(table->role(), QAccessible::Table);
        QCOMPARE(table->text(QAccessible::Name), QStringLiteral("December 2026"));
        QCOMPARE(table->childCount(), 49);
        QAccessibleTableInterface* t = table->tableInterface();
        QVERIFY(t);
        QCOMPARE(t->rowCount(), 6);
        QCOMPARE(t->columnCount(), 7);

        for (int c = 0; c < 7; ++c) {
            QAccessibleInterface* header = table->child(c);
            QCOMPARE(header->role(), QAccessible::ColumnHeader);
            QCOMPARE(header->text(QAccessible::Name), QLocale::system().dayName(c + 1));  // Monday first
        }
        // Every day of the month once, in order, in the cell the grid draws it in; the rest nameless.
        QStringList days;
        for (int i = 7; i < 49; ++i) {
            QAccessibleInterface* cell = table->child(i);
            QCOMPARE(cell->role(), QAccessible::Cell);
            QCOMPARE(cell->rect().center(), grid.mapToGlobal(grid.cellRect(i / 7, i % 7).center()));
            const QString name = cell->text(QAccessible::Name);
            QCOMPARE(cell->state().selectable, !name.isEmpty());
            if (!name.isEmpty()) days << name;
            QCOMPARE(t->cellAt(i / 7 - 1, i % 7), cell);
            QCOMPARE(table->child(i), cell);  // the same object each time
            QCOMPARE(table->indexOfChild(cell), i);
            QCOMPARE(cell->tableCellInterface()->columnHeaderCells().value(0), table->child(i % 7));
        }
        QCOMPARE(days.size(), 31);
        for (int d = 1; d <= 31; ++d) {
            const QString suffix = d == 8 || d == 24 ? QStringLiteral(", reminders") : QString();
            QCOMPARE(days[d - 1], dayName(2026, 12, d) + suffix);
            QCOMPARE(table->child(cellIndexOfDay(d))->text(QAccessible::Name), days[d - 1]);
        }
    }

    void selectionFollowsTheDateAndActionsSelect() {
        TRxCalendarEx grid(dayNumber(2026, 12, 8));
        grid.SetStartOfWeek(1);
        grid.SetCalendarDate(dayNumber(2026, 12, 8));
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
        const auto selected = [&] {
            QList<int> out;
            for (int i = 0; i < 49; ++i)
                if (table->child(i)->state().selected) out << i;
            return out;
        };
        QCOMPARE(selected(), QList<int>{cellIndexOfDay(8)});
        QCOMPARE(table->tableInterface()->selectedCells(),
                 QList<QAccessibleInterface*>{table->child(cellIndexOfDay(8))});

        grid.SetDatePart(kPartDay, 9);
        QCOMPARE(selected(), QList<int>{cellIndexOfDay(9)});

        // Pressing a day selects it; an empty cell and a header offer nothing to press.
        QAccessibleInterface* day20 = table->child(cellIndexOfDay(20));
        QVERIFY(day20->actionInterface());
        day20->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(grid.CalendarDate(), dayNumber(2026, 12, 20));
        QVERIFY(table->child(7)->actionInterface()->actionNames().isEmpty());  // Monday 30 November: not shown
        QVERIFY(!table->child(0)->actionInterface());

        grid.NextMonth();
        QCOMPARE(table->text(QAccessible::Name), QStringLiteral("January 2027"));
        QCOMPARE(table->child(7 + 4)->text(QAccessible::Name), dayName(2027, 1, 1));  // a Friday
    }

    void glyphButtonsAreNamedByTheirHints() {
        QToolButton glyph, labelled;
        labelled.setText(QStringLiteral("&Options"));
        setHint(&glyph, QStringLiteral("Click to play."));
        setHint(&labelled, QStringLiteral("Set up Orvella."));
        QCOMPARE(glyph.accessibleName(), QStringLiteral("Click to play."));
        QVERIFY(labelled.accessibleName().isEmpty());  // its caption is its name
        setHint(&glyph, QStringLiteral("Click to stop.|Stops the sound"));
        QCOMPARE(glyph.accessibleName(), QStringLiteral("Click to stop."));
        QToolButton named;
        named.setAccessibleName(QStringLiteral("Exit"));
        setHint(&named, QStringLiteral("Close Orvella."));
        QCOMPARE(named.accessibleName(), QStringLiteral("Exit"));
    }
};

QTEST_MAIN(MonthGridAccessibleTest)
#include "month_grid_accessible_test.moc"
