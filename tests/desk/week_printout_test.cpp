// The week page's sheet: what is drawn where for both layouts, how many lines each cell takes, and the
// jobs it makes.
#include <QPainter>
#include <QTest>

#include "desk/week_printout.h"
#include "support/recording_printers.h"

using namespace orv;
using orv::test::RecordingDevice;
using orv::test::RecordingPrinters;
using orv::test::RecordingTarget;

namespace {

// Cell i shows day number 100 + i, so that every number is found once; cell 1 holds more lines than fit,
// with an empty one among them.
WeekSheet sampleSheet(bool weekends) {
    WeekSheet s;
    s.withWeekends = weekends;
    s.calendarName = QStringLiteral("Ann");
    s.title = QStringLiteral(" March 2026");
    for (int i = 1; i <= kPageCells; ++i) {
        s.dayNumbers[static_cast<size_t>(i)] = QString::number(100 + i);
        s.lines[static_cast<size_t>(i)] = {QStringLiteral("cell%1").arg(i)};
    }
    QStringList many;
    for (int k = 0; k < 15; ++k) many << (k == 2 ? QString() : QStringLiteral("line%1").arg(k));
    s.lines[1] = many;
    s.footer1 = QStringLiteral("Printed 7 March 2026");
    s.footer2 = QStringLiteral("orvella@example.org");
    return s;
}

struct Printed {
    RecordingDevice device = RecordingPrinters::a4(QPageLayout::Landscape);
    WeekPrintLayout layout;
    explicit Printed(const WeekSheet& sheet)
        : layout(device.width(), device.height(), device.widthMM(), device.heightMM(), sheet.withWeekends) {
        QPainter p(&device);
        paintWeekSheet(p, layout, sheet);
    }
    const RecordingDevice::Text& text(const QString& t) const {
        const auto* found = device.text(t);
        if (!found) qFatal("not printed: %s", qPrintable(t));
        return *found;
    }
};

bool near(qreal a, qreal b) { return qAbs(a - b) <= 1.0; }

}  // namespace

class WeekPrintoutTest : public QObject {
    Q_OBJECT
private slots:
    void framesAndHeadingsStandAtTheirMillimetres_data() {
        QTest::addColumn<bool>("weekends");
        QTest::newRow("weekdays only") << false;
        QTest::newRow("with weekends") << true;
    }
    void framesAndHeadingsStandAtTheirMillimetres() {
        QFETCH(bool, weekends);
        const Printed p(sampleSheet(weekends));
        const WeekPrintLayout& l = p.layout;
        QCOMPARE(l.ppmmX(), 11);

        QCOMPARE(p.device.framesWithPen(7).size(), size_t{1});
        QCOMPARE(p.device.framesWithPen(5).size(), size_t(weekends ? 29 : 21));
        const QRectF outer = p.device.framesWithPen(7).front();
        QCOMPARE(outer.topLeft(), QPointF(l.MmToX(0), l.MmToY(0)));
        QCOMPARE(outer.right(), qreal(l.MmToX(weekends ? 256 : 254)));
        QCOMPARE(outer.bottom(), qreal(l.MmToY(193)));

        QCOMPARE(p.text("Ann").left(), qreal(l.MmToX(6)));
        QCOMPARE(p.text("Ann").bottom(), qreal(l.MmToY(11)));
        QCOMPARE(p.text(" March 2026").right(), qreal(l.MmToX(248)));
        for (const auto& h : l.dayNames()) {
            const auto& t = p.text(QString::fromStdString(h.text));
            QVERIFY2(near(t.centreX(), l.MmToX(h.at.x)), qPrintable(t.text));
            QCOMPARE(t.bottom(), qreal(l.MmToY(20)));
            QVERIFY(t.font.bold());
        }
        QCOMPARE(p.device.text("Sat/Sun") != nullptr, weekends);
        QCOMPARE(p.text("Printed 7 March 2026").right(), qreal(l.MmToX(weekends ? 255 : 252)));
        QCOMPARE(p.text("Printed 7 March 2026").bottom(), qreal(l.MmToY(188)));
        QCOMPARE(p.text("orvella@example.org").bottom(), qreal(l.MmToY(191)));
    }

    void everyPrintedCellHasItsNumberAndText_data() {
        QTest::addColumn<bool>("weekends");
        QTest::newRow("weekdays only") << false;
        QTest::newRow("with weekends") << true;
    }
    void everyPrintedCellHasItsNumberAndText() {
        QFETCH(bool, weekends);
        const Printed p(sampleSheet(weekends));
        const WeekPrintLayout& l = p.layout;
        const int lineHeight = qRound(p.text("cell2").box.height());
        for (int i = 2; i <= kPageCells; ++i) {
            const QString number = QString::number(100 + i), text = QStringLiteral("cell%1").arg(i);
            const bool weekend = (i - 1) % 7 >= 5;
            if (weekend && !weekends) {
                QVERIFY2(!p.device.text(number) && !p.device.text(text), qPrintable(text));
                continue;
            }
            const MmPoint at = *l.dayNumberAt(i);
            QVERIFY2(near(p.text(number).centreX(), l.MmToX(at.x)), qPrintable(number));
            QCOMPARE(p.text(number).bottom(), qreal(l.MmToY(at.y)));
            QCOMPARE(p.text(text).left(), qreal(l.MmToX(l.textLeft(i))));
            QCOMPARE(p.text(text).box.top(), qreal(l.firstLineTop(i, lineHeight)));
        }
    }

    void aLongCellPrintsOnlyTheLinesThatFitAndKeepsEmptyLinesPlaces() {
        const Printed p(sampleSheet(true));
        const WeekPrintLayout& l = p.layout;
        const int lineHeight = qRound(p.text("line0").box.height());
        const int count = l.lineCount(1, lineHeight);
        QVERIFY(count > 3 && count < 15);
        for (int k = 0; k < 15; ++k) {
            const auto* t = p.device.text(QStringLiteral("line%1").arg(k));
            if (k == 2) continue;  // the empty line
            QCOMPARE(t != nullptr, k < count - 1);
            if (t) QCOMPARE(t->box.top(), qreal(l.firstLineTop(1, lineHeight) + k * lineHeight));
        }
        // The last line that fits tells that more follows.
        const auto* last = p.device.text(QStringLiteral("line%1\u2026").arg(count - 1));
        QVERIFY(last);
        QCOMPARE(last->box.top(), qreal(l.firstLineTop(1, lineHeight) + (count - 1) * lineHeight));
        // A weekend half-cell takes half the lines.
        WeekSheet sheet = sampleSheet(true);
        QStringList many;
        for (int k = 0; k < 15; ++k) many << QStringLiteral("sun%1").arg(k);
        sheet.lines[7] = many;
        const Printed q(sheet);
        int printed = 0;
        for (const QString& t : q.device.allTexts()) printed += t.startsWith("sun");
        QCOMPARE(printed, l.lineCount(7, lineHeight));
        QCOMPARE(printed, (l.MmToY(19)) / lineHeight);
    }

    // Only a text that loses lines ends in "…", and the mark stays inside the cell.
    void aCutTextEndsInAnEllipsisWithinItsCell_data() {
        QTest::addColumn<int>("cell");
        QTest::addColumn<int>("extra");  // lines beyond the cell's count
        QTest::addColumn<bool>("extraEmpty");
        QTest::addColumn<bool>("longLast");
        QTest::addColumn<bool>("marked");
        QTest::newRow("exactly full") << 3 << 0 << false << false << false;
        QTest::newRow("only empty lines beyond") << 3 << 4 << true << false << false;
        QTest::newRow("one line more") << 3 << 1 << false << false << true;
        QTest::newRow("a last line as wide as the cell") << 3 << 2 << false << true << true;
        QTest::newRow("weekend half-cell") << 7 << 1 << false << true << true;
    }
    void aCutTextEndsInAnEllipsisWithinItsCell() {
        QFETCH(int, cell);
        QFETCH(int, extra);
        QFETCH(bool, extraEmpty);
        QFETCH(bool, longLast);
        QFETCH(bool, marked);
        WeekSheet sheet = sampleSheet(true);
        sheet.lines[1] = {QStringLiteral("cell1")};  // only the cell under test is cut
        const Printed probe(sheet);
        const int lineHeight = qRound(probe.text("cell2").box.height());
        const int count = probe.layout.lineCount(cell, lineHeight);
        QStringList lines;
        for (int k = 0; k < count; ++k) lines << QStringLiteral("x%1").arg(k);
        if (longLast) lines.back() = QString(200, u'W');
        for (int k = 0; k < extra; ++k) lines << (extraEmpty ? QString() : QStringLiteral("beyond"));
        sheet.lines[static_cast<size_t>(cell)] = lines;
        const Printed p(sheet);
        int marks = 0;
        for (const auto& t : p.device.texts) {
            if (!t.text.endsWith(QChar(0x2026))) continue;
            ++marks;
            QVERIFY(t.box.right() <= p.layout.MmToX(p.layout.textRight(cell)));
            QCOMPARE(t.box.top(), qreal(p.layout.firstLineTop(cell, lineHeight) + (count - 1) * lineHeight));
        }
        QCOMPARE(marks, marked ? 1 : 0);
        QVERIFY(!p.device.text(QStringLiteral("beyond")));
    }

    void oneLandscapeJobPerCopyAndFailuresStop_data() {
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("failBegin");
        QTest::addColumn<bool>("failEnd");
        QTest::addColumn<int>("jobs");
        QTest::addColumn<bool>("fails");
        QTest::newRow("one copy") << 1 << false << false << 1 << false;
        QTest::newRow("two copies") << 2 << false << false << 2 << false;
        QTest::newRow("no copies") << 0 << false << false << 0 << false;
        QTest::newRow("printer will not start") << 2 << true << false << 0 << true;
        QTest::newRow("first job fails") << 3 << false << true << 1 << true;
    }
    void oneLandscapeJobPerCopyAndFailuresStop() {
        QFETCH(int, copies);
        QFETCH(bool, failBegin);
        QFETCH(bool, failEnd);
        QFETCH(int, jobs);
        QFETCH(bool, fails);
        RecordingDevice device = RecordingPrinters::a4(QPageLayout::Landscape);
        device.failBegin = failBegin;
        device.failEnd = failEnd;
        RecordingTarget target(device, copies);
        bool threw = false;
        try {
            printWeekSheet(target, sampleSheet(true));
        } catch (const PrintError&) {
            threw = true;
        }
        QCOMPARE(threw, fails);
        QCOMPARE(device.jobs, jobs);
        QCOMPARE(target.orientations, std::vector<QPageLayout::Orientation>{QPageLayout::Landscape});
        // Each job holds the whole sheet.
        for (int job = 1; job <= jobs; ++job) {
            int names = 0;
            for (const auto& t : device.texts) names += t.job == job && t.text == QStringLiteral("Ann");
            QCOMPARE(names, 1);
        }
    }

    void aSheetWithoutSizeIsRefusedBeforeAnyJob() {
        RecordingDevice device(QSize(0, 0), QSizeF(0, 0), 300);
        RecordingTarget target(device, 2);
        QVERIFY_THROWS_EXCEPTION(PrintError, printWeekSheet(target, sampleSheet(false)));
        QCOMPARE(device.jobs, 0);
    }
};

QTEST_MAIN(WeekPrintoutTest)
#include "week_printout_test.moc"
