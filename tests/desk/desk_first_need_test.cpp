// The week page builds its cells at their first need. Every way into the window, from start-up wiring,
// the main window, batch printing or the page's own buttons, must give the same window and the same
// results whether the cells were built before it or not: focus order, looks, highlight, caret, accessible
// names, what is stored and what is printed.

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyleHints>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>
#include <QtTest>
#include <functional>

#include "common/day_number.h"
#include "common/qt_colours.h"
#include "desk/desk_dlg1.h"
#include "desk/explain_dlg.h"
#include "desk/week_printout.h"
#include "program/program.h"
#include "store/cal_db.h"
#include "store/edit_user_dlg.h"
#include "support/parts.h"
#include "support/recording_printers.h"
#include "support/store_days.h"
#include "support/temp_dir.h"
#include "support/test_context.h"

using namespace orv;
using test::part;

namespace {

int d(int y, int m, int day) { return dayNumber(y, m, day); }

QString colourName(const QColor& c) { return c.name(QColor::HexArgb); }

// What a person, a screen reader and a test can see of the window: every widget in focus order with its
// place, look, text and name, the focused cell, and the pixels.
QStringList lookOf(TDeskDlg1* desk) {
    QStringList look;
    QWidget* w = desk;
    do {
        QString line = QStringLiteral("%1 %2 %3,%4 %5x%6 visible=%7 focus=%8 name='%9' window=%10 base=%11 font=%12")
                           .arg(QString::fromLatin1(w->metaObject()->className()), w->objectName())
                           .arg(w->x())
                           .arg(w->y())
                           .arg(w->width())
                           .arg(w->height())
                           .arg(w->isVisibleTo(desk))
                           .arg(w->hasFocus())
                           .arg(w->accessibleName(), colourName(w->palette().color(QPalette::Window)),
                                colourName(w->palette().color(QPalette::Base)), w->font().toString());
        if (const auto* l = qobject_cast<QLabel*>(w)) line += QStringLiteral(" text='%1'").arg(l->text());
        if (const auto* e = qobject_cast<QLineEdit*>(w)) line += QStringLiteral(" text='%1'").arg(e->text());
        if (const auto* b = qobject_cast<QAbstractButton*>(w))
            line += QStringLiteral(" text='%1' checked=%2").arg(b->text()).arg(b->isChecked());
        if (const auto* e = qobject_cast<QPlainTextEdit*>(w))
            line += QStringLiteral(" text='%1' readOnly=%2 caret=%3")
                        .arg(e->toPlainText())
                        .arg(e->isReadOnly())
                        .arg(e->textCursor().position());
        look << line;
        w = w->nextInFocusChain();
    } while (w != desk);
    look << QStringLiteral("focused cell %1").arg(desk->focusedCellNumber());
    QStringList dates;
    for (int i = 1; i <= kPageCells; ++i) dates << QString::number(desk->page().CellDates[static_cast<size_t>(i)]);
    look << dates.join(u' ');
    const QImage pixels = desk->grab().toImage();
    look << QStringLiteral("pixels %1").arg(qHashBits(pixels.constBits(), size_t(pixels.sizeInBytes())));
    return look;
}

QStringList sheetOf(const WeekSheet& s) {
    QStringList out{s.calendarName, s.title, s.footer1, s.footer2};
    out << QStringLiteral("%1 %2 %3 %4 %5 %6")
               .arg(s.withWeekends)
               .arg(s.titlePixels)
               .arg(s.numberPixels)
               .arg(s.textPixels)
               .arg(colourName(s.titleColour), colourName(s.textColour));
    for (int i = 1; i <= kPageCells; ++i)
        out << s.dayNumbers[static_cast<size_t>(i)] + u':' + s.lines[static_cast<size_t>(i)].join(u'|');
    return out;
}

// One program folder with a few days stored, and the page made as start-up makes it.
struct Run {
    explicit Run(bool builtFirst) {
        Program& p = context.program;
        p.calendars.DataFolder = dir.path();
        p.calendars.Names = {"Ann", "Bob"};
        p.calendars.CurrentCalendarIndex = 0;
        p.settings.Background = winRgb(0, 128, 128);
        p.store.OpenCurrentCalendar();
        test::putDay(p.store, d(2026, 3, 9), "Stored line");
        test::putDay(p.store, d(2026, 3, 11), "Dentist 10am\r\n<Gym>\r\nBring the card");
        test::putDay(p.store, d(2026, 3, 14), "Saturday text");
        test::putDay(p.store, d(2026, 3, 30), "Row four with a line long enough to wrap in its cell");
        test::putDay(p.store, d(2026, 4, 20), "Further on");
        desk = std::make_unique<TDeskDlg1>(context.context);
        desk->setUsersWindow(&users);
        desk->setExplainWindow(&explain);
        QObject::connect(desk.get(), &TDeskDlg1::repeatRequested, desk.get(),
                         [this](int day) { seen << QStringLiteral("repeat from %1").arg(day); });
        if (builtFirst) desk->printSheet();
    }
    ~Run() { desk.reset(); }

    void open() {
        desk->setPageDate(2026, 3, 11);
        desk->show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    void press(const char* button) { part<QToolButton>(desk.get(), button)->click(); }
    QStringList printed() const {
        QStringList out;
        for (const auto& t : printers.device.texts)
            out << QStringLiteral("%1 %2,%3 %4").arg(t.text).arg(t.box.x()).arg(t.box.y()).arg(t.font.toString());
        return out;
    }

    test::TempDir dir;
    test::RecordingPrinters printers{QPageLayout::Landscape};
    test::TestContext context{dir.path(), d(2026, 3, 1), &printers};
    TEditUserDlg users{context.context};
    TExplainDlg explain{context.context.ui()};
    std::unique_ptr<TDeskDlg1> desk;
    QStringList seen;
};

struct Way {
    const char* name;
    std::function<void(Run&)> act;
};

const Way kWays[] = {
    {"shown", [](Run& r) { r.open(); }},
    {"opened from the main window",
     [](Run& r) {
         r.context.seams.scripts.push_back([&r](QDialog* dlg) {
             QCoreApplication::processEvents();
             r.seen << lookOf(r.desk.get());
             r.press("ExitBtn");
             return dlg->result();
         });
         r.desk->openOn(2026, 3, 11);
     }},
    {"printed by a script, never shown",
     [](Run& r) {
         r.desk->setPageDate(2026, 3, 14);
         test::RecordingTarget target(r.printers.device);
         r.desk->printUnshown(target);
     }},
    {"print sheet asked unopened", [](Run& r) { r.seen << sheetOf(r.desk->printSheet()); }},
    {"calendar name set at the main window's activation",
     [](Run& r) {
         r.desk->showCurrentCalendarName();
         r.open();
     }},
    {"one week chosen before opening",
     [](Run& r) {
         part<QCheckBox>(r.desk.get(), "cb4week")->setChecked(false);
         r.open();
     }},
    {"weekends hidden before opening",
     [](Run& r) {
         r.press("WEndBtn");
         r.open();
     }},
    {"page keys before opening",
     [](Run& r) {
         part<QAction>(r.desk.get(), "PageDown1")->trigger();
         part<QAction>(r.desk.get(), "MnthUp1")->trigger();
         r.open();
     }},
    {"closed before opening",
     [](Run& r) {
         static_cast<QDialog*>(r.desk.get())->reject();
         r.open();
     }},
    {"repeat, delete, calendar and print buttons before opening",
     [](Run& r) {
         for (const char* button : {"RepeatBtn", "DelBtn", "RxSpeedButton1", "PrintBtn"}) r.press(button);
         r.open();
     }},
    {"repeat, delete, calendar and print buttons on the open page",
     [](Run& r) {
         r.open();
         auto* cell = part<QPlainTextEdit>(r.desk.get(), "m3");
         // "<Gym>" marked: the delete button removes it from that day on.
         QTextCursor line(cell->document()->findBlockByNumber(1));
         line.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
         cell->setTextCursor(line);
         for (const char* button : {"DelBtn", "RepeatBtn", "RxSpeedButton1", "PrintBtn"}) r.press(button);
     }},
};

}  // namespace

class DeskFirstNeedTest : public QObject {
    Q_OBJECT

    // Takes the page the given way, then opens it, types, steps and closes it; everything seen on the way.
    static QStringList taken(const Way& way, bool builtFirst) {
        Run r(builtFirst);
        way.act(r);
        if (!r.desk->isVisible()) r.open();
        r.seen << lookOf(r.desk.get());
        auto* typing = QApplication::focusWidget();
        r.seen << QStringLiteral("typing goes to %1").arg(typing ? typing->objectName() : QString());
        if (typing) QTest::keyClicks(typing, QStringLiteral("typed"));
        QTest::keyClick(typing ? typing : r.desk.get(), Qt::Key_PageDown);
        r.seen << lookOf(r.desk.get());
        r.press("ExitBtn");
        QCoreApplication::processEvents();
        r.seen << r.printed();
        for (int day = d(2026, 2, 20); day <= d(2026, 5, 10); ++day)
            if (const auto text = test::storedDay(r.context.program.store, day))
                r.seen << QStringLiteral("%1 %2").arg(day).arg(QString::fromStdString(*text));
        for (const auto& m : r.context.seams.messages) r.seen << m.text;
        r.seen << r.context.seams.modalClasses << QString::number(r.context.seams.beeps);
        r.seen << colourName(toQColor(r.context.program.settings.Background));
        return r.seen;
    }

private slots:
    void initTestCase() { QGuiApplication::styleHints()->setCursorFlashTime(0); }  // a caret that is on stays on

    void everyWayInGivesTheSameWindowBuiltFirstOrNot_data() {
        QTest::addColumn<int>("way");
        for (int i = 0; i < int(std::size(kWays)); ++i) QTest::newRow(kWays[i].name) << i;
    }
    void everyWayInGivesTheSameWindowBuiltFirstOrNot() {
        QFETCH(int, way);
        const QStringList fresh = taken(kWays[way], false);
        const QStringList built = taken(kWays[way], true);
        QVERIFY(fresh.size() > kPageCells);
        QCOMPARE(fresh, built);
    }
};

QTEST_MAIN(DeskFirstNeedTest)
#include "desk_first_need_test.moc"
