// The picture calendar page and its controls: how the page is built from the month, its picture and the
// choices, what a printout draws where, the jobs it makes, and what happens when printing fails.
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app/background_textures.h"
#include "app/jpeg_test_util.h"
#include "common/app_context.h"
#include "common/day_number.h"
#include "print/cmd_dlg.h"
#include "print/print_dlg.h"
#include "print/quor_calendar1.h"
#include "program/program.h"
#include "support/fake_seams.h"
#include "support/recording_printers.h"
#include "support/temp_dir.h"

using namespace orv;
using orv::test::RecordingDevice;
using orv::test::RecordingPrinters;
using orv::test::RecordingTarget;

namespace {

int date(int y, int m, int d) { return dayNumber(y, m, d); }

// A program folder with pictures for September (colour JPEG), October (bitmap) and a broken November.
struct Page {
    test::TempDir dir;
    test::FakeSeams seams;
    RecordingPrinters printers;
    Program program{dir.path(), Clock(date(2000, 9, 14))};
    AppContext context{program, {&seams, &printers}};
    TPrintDlg page{context};
    TCmdDlg controls{context};
    std::vector<std::string> artwork;

    explicit Page(QSize september = {640, 480}, int size = 0, int tile = 0) {
        program.settings.Size = size;
        program.settings.Tile = tile;
        artwork.resize(12);
        for (int m = 0; m < 12; ++m)
            artwork[static_cast<size_t>(m)] = dir.file("month" + std::to_string(m + 1) + ".bmp");
        artwork[8] = dir.file("Sep.JPG");
        dir.write("Sep.JPG", test::makeJpeg({september.width(), september.height(), 3}));
        QImage october(600, 400, QImage::Format_RGB32);
        october.fill(QColor(200, 40, 40));
        october.save(QString::fromStdString(artwork[9]), "BMP");
        dir.write("month11.bmp", "not a picture");
        QObject::connect(&controls, &TCmdDlg::choiceChanged, &page, &TPrintDlg::setChoice);
        QObject::connect(&controls, &TCmdDlg::printRequested, &page, [this] { page.PrintBtnClick(&controls); });
    }
    void build(int day) {
        page.setMonth(day, artwork);
        page.FormActivate();
    }
    template <class T>
    T* child(const char* name) const {
        return page.findChild<T*>(QString::fromLatin1(name));
    }
    QRect frame() const { return child<QWidget>("ImgPanel")->geometry(); }
};

// What one printed job holds.
QStringList textsOfJob(const RecordingDevice& d, int job) {
    QStringList out;
    for (const auto& t : d.texts)
        if (t.job == job) out << t.text;
    return out;
}

std::vector<const RecordingDevice::Text*> inkOf(const RecordingDevice& d, const QString& text) {
    std::vector<const RecordingDevice::Text*> out;
    for (const auto& t : d.texts)
        if (t.text == text) out.push_back(&t);
    return out;
}

}  // namespace

class PrintDlgTest : public QObject {
    Q_OBJECT
private slots:
    void pageShowsTheMonthItsPictureAndItsGrid_data() {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("month");
        QTest::addColumn<bool>("mono");
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<bool>("grey");
        QTest::newRow("640 x 480 small") << QSize(640, 480) << 0 << 9 << false << QRect(33, 10, 338, 254) << false;
        QTest::newRow("800 x 400 small") << QSize(800, 400) << 0 << 9 << false << QRect(11, 41, 382, 191) << false;
        QTest::newRow("800 x 400 large, mono") << QSize(800, 400) << 1 << 9 << true << QRect(11, 39, 382, 191) << true;
        // A bitmap stays in colour when mono is chosen.
        QTest::newRow("bitmap, mono") << QSize(640, 480) << 0 << 10 << true << QRect(11, 10, 382, 254) << false;
    }
    void pageShowsTheMonthItsPictureAndItsGrid() {
        QFETCH(QSize, picture);
        QFETCH(int, size);
        QFETCH(int, month);
        QFETCH(bool, mono);
        QFETCH(QRect, frame);
        QFETCH(bool, grey);
        Page p(picture, size);
        p.page.setMonth(date(2000, month, 14), p.artwork);
        p.page.setChoice(mono, false);
        QCOMPARE(p.frame(), frame);
        QVERIFY(!p.page.picture().isNull());
        QCOMPARE(p.page.picture().isGrayscale(), grey);
        QCOMPARE(p.child<QLabel>("lMonth")->text(), QString::fromLatin1(month == 9 ? "September" : "October"));
        QCOMPARE(p.child<QLabel>("lYear")->text(), QStringLiteral("2000"));
        QCOMPARE(p.child<QLabel>("lYear")->geometry().right() + 1, 376);
        auto* cal = p.child<TQuorCalendar1>("Cal");
        QCOMPARE(cal->CalendarDate(), date(2000, month, 14));
        QCOMPARE(cal->StartOfWeek(), 0);
        QVERIFY(p.seams.messages.empty());
    }

    void aMonthWithoutAPictureGetsAnEmptyFrame_data() {
        QTest::addColumn<int>("pictures");
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("message");
        QTest::newRow("no artwork at all") << 0 << 9 << QString();
        QTest::newRow("list shorter than the year") << 9 << 10 << QString();
        QTest::newRow("unreadable file") << 12 << 11 << QStringLiteral("month11.bmp");
        QTest::newRow("missing file") << 12 << 12 << QStringLiteral("month12.bmp");
    }
    void aMonthWithoutAPictureGetsAnEmptyFrame() {
        QFETCH(int, pictures);
        QFETCH(int, month);
        QFETCH(QString, message);
        Page p({800, 400});
        p.build(date(2000, 9, 1));  // September's picture first
        const QRect septemberFrame = p.frame();
        p.artwork.resize(static_cast<size_t>(pictures));
        p.build(date(2000, month, 1));
        QVERIFY(p.page.picture().isNull());  // never September's picture under this month's name
        QCOMPARE(p.frame(), septemberFrame);
        if (message.isEmpty()) {
            QVERIFY(p.seams.messages.empty());
        } else {
            QCOMPARE(p.seams.messages.size(), size_t{1});
            QCOMPARE(p.seams.messages[0].icon, MsgIcon::None);
            QCOMPARE(p.seams.messages[0].text,
                     QStringLiteral("Failed to load ") + QString::fromStdString(p.dir.file(message.toStdString())));
        }
    }

    void backgroundsFollowTheTextureOrTheWhiteBox_data() {
        QTest::addColumn<int>("tile");
        QTest::addColumn<bool>("white");
        QTest::addColumn<int>("texture");  // -1: none
        QTest::newRow("green") << 2 << false << 2;
        QTest::newRow("green, white ticked") << 2 << true << int(BackgroundTextures::kWhite);
        QTest::newRow("system colours") << 5 << false << -1;
        QTest::newRow("system colours, white ticked") << 5 << true << int(BackgroundTextures::kWhite);
    }
    void backgroundsFollowTheTextureOrTheWhiteBox() {
        QFETCH(int, tile);
        QFETCH(bool, white);
        QFETCH(int, texture);
        Page p({640, 480}, 0, tile);
        p.page.setMonth(date(2000, 9, 1), p.artwork);
        p.page.setChoice(false, white);
        RecordingDevice screen(QSize(404, 531), 96);
        {
            QPainter painter(&screen);
            p.page.render(&painter);
        }
        std::vector<QRectF> tiled;
        for (const auto& pic : screen.pictures) {
            if (!pic.tiled) continue;
            tiled.push_back(pic.target);
            QCOMPARE(pic.corner, backgroundTextures().image(texture).pixel(0, 0));
        }
        // pb1 over the page panel, pb6 over the calendar panel, each inside its border line.
        if (texture < 0) {
            QVERIFY(tiled.empty());
        } else {
            QCOMPARE(tiled.size(), size_t{2});
            QCOMPARE(tiled[0], QRectF(1, 31, 402, 499));
            QCOMPARE(tiled[1], QRectF(9, 302, 386, 218));
        }
    }

    void printoutIsThePageScaledToTheSheetWithTextsAndTheFullPicture_data() {
        QTest::addColumn<bool>("mono");
        QTest::newRow("colour") << false;
        QTest::newRow("mono") << true;
    }
    void printoutIsThePageScaledToTheSheetWithTextsAndTheFullPicture() {
        QFETCH(bool, mono);
        Page p({1600, 1200});
        p.page.setMonth(date(2000, 9, 14), p.artwork);
        p.page.setChoice(mono, false);
        RecordingTarget target(p.printers.device);
        p.page.PrintPage(target);
        const RecordingDevice& d = p.printers.device;
        QCOMPARE(d.jobs, 1);
        // 404 x 531 on 2480 x 3508: the width rules, 2480 x 3260.
        const qreal sx = 2480.0 / 404, sy = 3260.0 / 531;
        // The labels: a shadow one pixel to the lower right, then the text in black.
        const auto month = inkOf(d, QStringLiteral("September"));
        QCOMPARE(month.size(), size_t{2});
        QCOMPARE(month[1]->colour, QColor(Qt::black));
        QVERIFY(qAbs(month[1]->left() - 18 * sx) <= sx);      // Panel2 at 8, lMonth at 10
        QVERIFY(qAbs(month[1]->box.top() - 305 * sy) <= sy);  // 30 + 271 + 4
        QVERIFY(qAbs(month[0]->left() - month[1]->left() - sx) <= 1);
        const auto year = inkOf(d, QStringLiteral("2000"));
        QVERIFY(qAbs(year[1]->right() - 384 * sx) <= 2 * sx);  // right edge 376 in Panel2
        for (int day = 1; day <= 30; ++day) QVERIFY(d.text(QString::number(day)));
        QVERIFY(!d.text(QStringLiteral("Print Preview")));
        // The picture from its file at full size, over the frame's place.
        std::vector<RecordingDevice::Picture> full;
        for (const auto& pic : d.pictures)
            if (pic.source == QSize(1600, 1200)) full.push_back(pic);
        QCOMPARE(full.size(), size_t{1});
        QCOMPARE(full[0].grey, mono);
        const QRect frame = p.frame().adjusted(2, 2, -2, -2).translated(0, 30);
        QVERIFY(qAbs(full[0].target.left() - frame.left() * sx) <= sx);
        QVERIFY(qAbs(full[0].target.width() - frame.width() * sx) <= sx);
        QVERIFY(qAbs(full[0].target.height() - frame.height() * sy) <= sy);
        QVERIFY(!p.child<QLabel>("lTitle")->isHidden());
    }

    void printButtonRunsOneJobPerCopyAndClosesWithOk_data() {
        QTest::addColumn<int>("copies");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<bool>("failBegin");
        QTest::addColumn<bool>("failEnd");
        QTest::addColumn<int>("jobs");
        QTest::addColumn<bool>("error");
        QTest::newRow("one copy") << 1 << false << false << false << 1 << false;
        QTest::newRow("two copies") << 2 << false << false << false << 2 << false;
        QTest::newRow("dialog cancelled") << 2 << true << false << false << 0 << false;
        QTest::newRow("printer will not start") << 2 << false << true << false << 0 << true;
        QTest::newRow("first job fails") << 3 << false << false << true << 1 << true;
    }
    void printButtonRunsOneJobPerCopyAndClosesWithOk() {
        QFETCH(int, copies);
        QFETCH(bool, cancel);
        QFETCH(bool, failBegin);
        QFETCH(bool, failEnd);
        QFETCH(int, jobs);
        QFETCH(bool, error);
        Page p;
        p.printers.copies = copies;
        p.printers.cancel = cancel;
        p.printers.device.failBegin = failBegin;
        p.printers.device.failEnd = failEnd;
        p.seams.scripts.push_back([](QDialog* d) {
            d->findChild<QPushButton*>(QStringLiteral("PrintBtn"))->click();
            return d->result();
        });
        QWidget main;
        main.show();
        main.hide();
        p.page.ShowPreview(date(2000, 9, 14), p.artwork, &p.controls);
        QCOMPARE(p.controls.result(), int(mrOk));
        QCOMPARE(p.printers.dialogs, 1);
        QCOMPARE(p.printers.device.jobs, jobs);
        for (int job = 1; job <= jobs; ++job) QVERIFY(textsOfJob(p.printers.device, job).contains("September"));
        QCOMPARE(p.seams.messages.size(), size_t(error ? 1 : 0));
        if (error) {
            QCOMPARE(p.seams.messages[0].icon, MsgIcon::Error);
            QVERIFY(p.seams.messages[0].text.contains(QStringLiteral("Test Printer")));
        }
        QVERIFY(!p.child<QLabel>("lTitle")->isHidden());
        QVERIFY(p.page.isHidden());
    }

    void aSheetWithoutAreaPrintsNothing() {
        Page p;
        p.build(date(2000, 9, 14));
        RecordingDevice empty(QSize(0, 0), QSizeF(0, 0), 300);
        RecordingTarget target(empty, 2);
        QVERIFY_THROWS_EXCEPTION(PrintError, p.page.PrintPage(target));
        QCOMPARE(empty.jobs, 0);
        QVERIFY(!p.child<QLabel>("lTitle")->isHidden());
    }

    void choicesRebuildThePageAndCarryOver() {
        Page p({640, 480});
        p.seams.scripts.push_back([&](QDialog* d) {
            // The page is up and built before the controls take over.
            if (!p.page.isVisible() || p.page.picture().isGrayscale()) return int(mrAbort);
            d->findChild<QRadioButton*>(QStringLiteral("rbMono"))->click();
            if (!p.page.picture().isGrayscale()) return int(mrAbort);
            d->findChild<QCheckBox*>(QStringLiteral("cbWhite"))->click();
            d->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
            return d->result();
        });
        p.page.ShowPreview(date(2000, 9, 14), p.artwork, &p.controls);
        QCOMPARE(p.controls.result(), int(mrCancel));
        QCOMPARE(p.printers.dialogs, 0);
        QVERIFY(p.page.isHidden());
        // The next opening keeps the choices.
        p.seams.scripts.push_back([&](QDialog*) {
            return p.page.picture().isGrayscale() && p.page.whiteChosen() ? int(mrOk) : int(mrAbort);
        });
        p.page.ShowPreview(date(2000, 9, 14), p.artwork, &p.controls);
        QVERIFY(p.controls.monoChosen() && p.controls.whiteChosen());
        QCOMPARE(p.seams.modalClasses.size(), qsizetype(2));
    }

    void closingTheControlsWithTheMainWindowHiddenKeepsTheProgram() {
        Page p;
        QWidget main;
        main.show();
        QCoreApplication::processEvents();
        main.hide();
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        // Whatever closes first, neither window ends the run: the main window is only hidden meanwhile.
        p.seams.scripts.push_back([&](QDialog* d) {
            p.page.close();
            d->close();
            return d->result();
        });
        QTimer::singleShot(0, qApp, [&] {
            p.page.ShowPreview(date(2000, 9, 14), p.artwork, &p.controls);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        });
        QCoreApplication::exec();
        QCOMPARE(lastClosed.count(), 0);
        QVERIFY(p.page.isHidden());
    }

    void controlsStandBesideThePageForTheCalendarSize_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("small") << 0 << QPoint(354, 160);
        QTest::newRow("large") << 1 << QPoint(480, 200);
        QTest::newRow("stored above large") << 3 << QPoint(480, 200);
    }
    void controlsStandBesideThePageForTheCalendarSize() {
        QFETCH(int, size);
        QFETCH(QPoint, at);
        Page p({640, 480}, size);
        p.controls.show();
        QCOMPARE(p.controls.pos(), at);
        p.page.show();
        QCOMPARE(p.page.pos(), QPoint(TPrintDlg::kLeft, TPrintDlg::kTop));
    }
};

QTEST_MAIN(PrintDlgTest)
#include "print_dlg_test.moc"
