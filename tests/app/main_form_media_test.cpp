// The main window with its picture, media button, textures, Options window and title ticker.

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <cstring>

#include "app/image_dlg.h"
#include "app/img_holder.h"
#include "app/jpeg_test_util.h"
#include "app/main_form.h"
#include "app/option_dlg.h"
#include "app/rx_calendar_ex.h"
#include "app/startup.h"
#include "app/texture_paint_box.h"
#include "common/day_number.h"
#include "common/sys_file.h"
#include "support/parts.h"
#include "support/temp_dir.h"
#include "support/test_context.h"
#include "ticker/remind_dlg.h"

using namespace orv;
using test::part;

namespace {

void writeBitmap(const std::string& path, int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(QColor(30, 120, 200));
    img.save(QString::fromStdString(path), "BMP");
}

}  // namespace

class MainFormMediaTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::TestContext> run;
    test::FakeSeams* seams = nullptr;
    std::unique_ptr<TCalMainForm> form;

    TImgHolder* holder() const { return form->findChild<TImgHolder*>(); }
    TRemindDlg* ticker() const { return form->findChild<TRemindDlg*>(); }
    QListWidget* tickerList() const { return part<QListWidget>(ticker(), "lb1"); }
    TexturePaintBox* paintBox(int i) const {
        return part<TexturePaintBox>(form.get(), qPrintable(QStringLiteral("pb%1").arg(i)));
    }

    // A program folder with one calendar, three pictures (January a.jpg 600 x 400, February b.bmp 800 x 400,
    // March c.jpg, which is broken), a looping sound for b, and yearly dates.
    void start(const std::string& ini = "[System]\r\nSize=1\r\n") {
        dir->write("Orvella.INI", ini);
        dir->write("CalUsers.DAT", "Ann\r\n");
        dir->write("Data/.keep", "");
        dir->write("Artwork/a.jpg", test::makeJpeg({.width = 600, .height = 400}));
        writeBitmap(dir->file("Artwork/b.bmp"), 800, 400);
        dir->write("Artwork/c.jpg", "broken");
        dir->write("SOUNDS/b.wav", "RIFF");
        dir->write("SOUNDS/Sounds.ini", "[Loop]\r\nb.wav=1\r\n");
        dir->write("Events.dat",
                   "6,2\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,1\r\n4,1,20\r\n"
                   "1,2,Bob\r\n2,2,Birthday\r\n3,2,1\r\n4,2,23\r\n");
        form.reset(createWindows(run->context));
        form->show();
        QTRY_VERIFY(!form->runState().FirstActivation);
    }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        run = std::make_unique<test::TestContext>(dir->path(), dayNumber(2027, 1, 15));
        seams = &run->seams;
    }
    void cleanup() {
        form.reset();
        run.reset();
        dir.reset();
    }

    void theMonthsPictureIsLaidOutOverItsTexture() {
        start();
        QCOMPARE(form->runState().ArtworkList.size(), size_t(12));
        QVERIFY(!part<QLabel>(form.get(), "PicMain")->pixmap().isNull());
        QCOMPARE(holder()->naturalSize(), QSize(600, 400));
        // 600 x 400 at the large size: 450 x 300, centred in the 474 wide client panel, 10 from its top.
        QCOMPARE(part<QFrame>(form.get(), "ImgPanel")->geometry(), QRect(12, 10, 450, 300));
        QCOMPARE(part<QLabel>(form.get(), "PicMain")->geometry(), part<QFrame>(form.get(), "ImgPanel")->contentsRect());
        QVERIFY(part<QFrame>(form.get(), "pButton")->isHidden());  // no media in January
        // Six paint boxes, each at the bottom of its panel.
        for (int i = 1; i <= 6; ++i) QCOMPARE(paintBox(i)->parentWidget()->children().first(), paintBox(i));
        QVERIFY(paintBox(5)->isTitleBox());
        QVERIFY(part<QLineEdit>(form.get(), "eMessage")
                    ->text()
                    .contains(QStringLiteral("Orvella project")));  // who drew the pictures

        part<TRxCalendarEx>(form.get(), "Cal")->NextMonth();
        QCOMPARE(holder()->naturalSize(), QSize(800, 400));
        QCOMPARE(part<QFrame>(form.get(), "ImgPanel")->geometry(), QRect(12, 47, 450, 225));
        QVERIFY(!part<QFrame>(form.get(), "pButton")->isHidden());  // b.wav
        QVERIFY(form->runState().LoopSetting);
        run->program.settings.Size = 0;
        form->LayoutPicture();
        QCOMPARE(part<QFrame>(form.get(), "ImgPanel")->geometry(), QRect(65, 34, 344, 172));
        QVERIFY(seams->messages.empty());
    }

    void aBrokenPictureIsReportedForHolderAndPicture() {
        start();
        part<TRxCalendarEx>(form.get(), "Cal")->SetCalendarDate(dayNumber(2027, 3, 1));
        QCOMPARE(seams->messages.size(), size_t(2));
        const QString expected = QStringLiteral("Failed to load ") + QString::fromStdString(dir->file("Artwork/c.jpg"));
        QCOMPARE(seams->messages[0].text, expected);
        QCOMPARE(seams->messages[1].text, expected);
        // The view goes on with what it held: January's picture.
        QCOMPARE(holder()->naturalSize(), QSize(600, 400));
        QVERIFY(!part<QLabel>(form.get(), "PicMain")->pixmap().isNull());
        // April comes round to a.jpg again.
        part<TRxCalendarEx>(form.get(), "Cal")->NextMonth();
        QCOMPARE(seams->messages.size(), size_t(2));
    }

    void aDoubleClickEnlargesThePicture() {
        start();
        QTest::mouseDClick(part<QLabel>(form.get(), "PicMain"), Qt::LeftButton);
        QCOMPARE(seams->modalClasses, QStringList{QStringLiteral("orv::TImageDlg")});
        QCOMPARE(form->findChild<TImageDlg*>()->picture().size(), part<QLabel>(form.get(), "PicMain")->pixmap().size());
    }

    void optionsResults() {
        start();
        int previews = 0;
        QObject::connect(form.get(), &TCalMainForm::printRequested, form.get(), [&] {
            ++previews;
            QVERIFY(!form->isVisible());  // the main window steps aside for the preview
        });
        QDialog backup;
        form->setBackupWindow(&backup);
        int backupsShown = 0;
        int backupAnswer = mrCancel;
        const auto answer = [&](int result) { seams->scripts.push_back([result](QDialog*) { return result; }); };
        const auto backupAnswers = [&] {
            seams->scripts.push_back([&](QDialog* d) {
                if (d == &backup) ++backupsShown;
                return backupAnswer;
            });
        };

        answer(4);
        part<QPushButton>(form.get(), "OptionBtn")->click();
        QCOMPARE(previews, 1);
        QVERIFY(form->isVisible());

        answer(8);
        backupAnswers();
        part<QPushButton>(form.get(), "OptionBtn")->click();
        QCOMPARE(backupsShown, 1);
        QVERIFY(form->isVisible());
        QVERIFY(seams->messages.empty());

        // A calendar that cannot be written out keeps the backup window shut.
        bool failed = false;  // the flush's first call on the calendar file fails
        setFileCallHook([&failed](FileCall, const std::string& path) {
            if (failed || path.find(".DBX") == std::string::npos) return 0;
            failed = true;
            return ENOSPC;
        });
        answer(8);
        part<QPushButton>(form.get(), "OptionBtn")->click();
        setFileCallHook(nullptr);
        QCOMPARE(backupsShown, 1);
        QCOMPARE(seams->messages.size(), size_t(1));
        QVERIFY(seams->messages[0].text.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))));
        QVERIFY(form->isVisible());
        seams->messages.clear();

        backupAnswer = 8;  // a restore took place
        answer(8);
        backupAnswers();
        part<QPushButton>(form.get(), "OptionBtn")->click();
        QCOMPARE(backupsShown, 2);
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].text,
                 QStringLiteral("Orvella will now have to close to\rcomplete the Restore process."));
        QVERIFY(!form->isVisible());
    }

    void optionsCancelTakesTheTextureBackAndOkCentresTheTitle() {
        start("[Calendar]\r\nTile=1\r\n");
        seams->scripts.push_back([](QDialog* d) {
            part<QToolButton>(d, "sbGreen")->click();
            part<QRadioButton>(d, "rbMonday")->click();
            part<QPushButton>(d, "BitBtn2")->click();
            return d->result();
        });
        part<QPushButton>(form.get(), "OptionBtn")->click();
        QCOMPARE(run->program.settings.Tile, 1);
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->StartOfWeek(), 1);
    }

    void theStoredWeekStartReachesTheGridAtActivation() {
        start("[Autostart]\r\nrgDisplay_ItemIndex=1\r\n");
        QCOMPARE(part<TRxCalendarEx>(form.get(), "Cal")->StartOfWeek(), 1);
    }

    void theCaptionCyclesThroughUpcomingBirthdays() {
        start();
        TRemindDlg* remind = ticker();
        QVERIFY(remind->isHidden());
        QVERIFY(part<QTimer>(remind, "tScroll")->isActive());
        QCOMPARE(tickerList()->count(), 1);  // Ann on 20 January; Bob is 8 days away
        remind->tScrollTimer();
        QCOMPARE(form->windowTitle(), QStringLiteral("Orvella"));
        remind->tScrollTimer();
        QVERIFY(form->windowTitle().startsWith(QStringLiteral("Ann - Birthday on ")));

        // The next day Bob is within the week too: the day timer rebuilds the list.
        run->program.clock = Clock(dayNumber(2027, 1, 16));
        form->tDayTimer();
        QCOMPARE(tickerList()->count(), 2);
        QCOMPARE(remind->cycle().TickerPosition(), 0);
    }

    void theRemindersSwitchKeepsTheListAtANewDay() {
        start("[Reminders]\r\nEnabled=1\r\n");
        TRemindDlg* remind = ticker();
        QCOMPARE(tickerList()->count(), 1);
        run->program.clock = Clock(dayNumber(2027, 1, 16));
        form->tDayTimer();
        QCOMPARE(tickerList()->count(), 1);
        // The Options window rebuilds it whatever the switch.
        seams->scripts.push_back([](QDialog*) { return int(mrCancel); });
        part<QPushButton>(form.get(), "OptionBtn")->click();
        QCOMPARE(tickerList()->count(), 2);
    }
};

QTEST_MAIN(MainFormMediaTest)
#include "main_form_media_test.moc"
