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

#include "app/app_state.h"
#include "app/forms.h"
#include "app/image_dlg.h"
#include "app/img_holder.h"
#include "app/jpeg_test_util.h"
#include "app/main_form.h"
#include "app/option_dlg.h"
#include "app/rx_calendar_ex.h"
#include "app/texture_paint_box.h"
#include "common/clock.h"
#include "common/day_number.h"
#include "store/cal_db.h"
#include "support/fake_seams.h"
#include "support/temp_dir.h"
#include "ticker/remind_dlg.h"

using namespace orv;

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
    std::unique_ptr<test::FakeSeams> seams;
    std::unique_ptr<TCalMainForm> form;

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
        dir->write("Events.dat", "6,2\r\n1,1,Ann\r\n2,1,Birthday\r\n3,1,1\r\n4,1,20\r\n"
                                 "1,2,Bob\r\n2,2,Birthday\r\n3,2,1\r\n4,2,23\r\n");
        form = std::make_unique<TCalMainForm>(dir->path());
        forms().CalMainForm = form.get();
        new TImageDlg(form.get());
        new TOptionDlg(form.get());
        new TImgHolder(form.get());
        new TRemindDlg(form.get());
        form->show();
        QTRY_VERIFY(!form->FirstActivation);
    }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        seams = std::make_unique<test::FakeSeams>();
        appState().clock = Clock(dayNumber(2027, 1, 15));
        resetAppState();
        appState().store.FreeStore();
    }
    void cleanup() {
        form.reset();
        forms() = Forms{};
        appState().store.FreeStore();
        seams.reset();
        dir.reset();
        appState().clock = Clock();
    }

    void theMonthsPictureIsLaidOutOverItsTexture() {
        start();
        QCOMPARE(form->ArtworkList.size(), size_t(12));
        QVERIFY(!form->PicMain->pixmap().isNull());
        QCOMPARE(forms().ImgHolder->naturalSize(), QSize(600, 400));
        // 600 x 400 at the large size: 450 x 300, centred in the 474 wide client panel, 10 from its top.
        QCOMPARE(form->ImgPanel->geometry(), QRect(12, 10, 450, 300));
        QCOMPARE(form->PicMain->geometry(), form->ImgPanel->contentsRect());
        QVERIFY(form->pButton->isHidden());  // no media in January
        // Six paint boxes, each at the bottom of its panel.
        for (TexturePaintBox* box : form->pb) {
            QVERIFY(box);
            QCOMPARE(box->parentWidget()->children().first(), box);
        }
        QVERIFY(form->pb[4]->isTitleBox());
        QVERIFY(form->eMessage->text().contains(QStringLiteral("Orvella project")));  // who drew the pictures

        form->Cal->NextMonth();
        QCOMPARE(forms().ImgHolder->naturalSize(), QSize(800, 400));
        QCOMPARE(form->ImgPanel->geometry(), QRect(12, 47, 450, 225));
        QVERIFY(!form->pButton->isHidden());  // b.wav
        QVERIFY(form->LoopSetting);
        appState().settings.Size = 0;
        form->LayoutPicture();
        QCOMPARE(form->ImgPanel->geometry(), QRect(65, 34, 344, 172));
        QVERIFY(seams->messages.empty());
    }

    void aBrokenPictureIsReportedForHolderAndPicture() {
        start();
        form->Cal->SetCalendarDate(dayNumber(2027, 3, 1));
        QCOMPARE(seams->messages.size(), size_t(2));
        const QString expected = QStringLiteral("Failed to load ") + QString::fromStdString(dir->file("Artwork/c.jpg"));
        QCOMPARE(seams->messages[0].text, expected);
        QCOMPARE(seams->messages[1].text, expected);
        // The view goes on with what it held: January's picture.
        QCOMPARE(forms().ImgHolder->naturalSize(), QSize(600, 400));
        QVERIFY(!form->PicMain->pixmap().isNull());
        // April comes round to a.jpg again.
        form->Cal->NextMonth();
        QCOMPARE(seams->messages.size(), size_t(2));
    }

    void aDoubleClickEnlargesThePicture() {
        start();
        QTest::mouseDClick(form->PicMain, Qt::LeftButton);
        QCOMPARE(seams->modalClasses, QStringList{QStringLiteral("orv::TImageDlg")});
        QCOMPARE(forms().ImageDlg->picture().size(), form->PicMain->pixmap().size());
    }

    void optionsResults() {
        start();
        int previews = 0;
        std::vector<std::pair<std::string, std::string>> backups;
        int backupAnswer = mrCancel;
        form->printPreviewHook = [&] {
            ++previews;
            QVERIFY(!form->isVisible());  // the main window steps aside for the preview
        };
        form->backupRestoreHook = [&](const std::string& folder, const std::string& pattern) {
            backups.emplace_back(folder, pattern);
            return backupAnswer;
        };
        const auto answer = [&](int result) { seams->scripts.push_back([result](QDialog*) { return result; }); };

        answer(4);
        form->OptionBtnClick();
        QCOMPARE(previews, 1);
        QVERIFY(form->isVisible());

        answer(8);
        form->OptionBtnClick();
        QCOMPARE(backups.size(), size_t(1));
        QCOMPARE(backups[0].first, dir->path() + "/Data");
        QCOMPARE(backups[0].second, std::string("*.dbx"));
        QVERIFY(form->isVisible());
        QVERIFY(seams->messages.empty());

        backupAnswer = 8;  // a restore took place
        answer(8);
        form->OptionBtnClick();
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(seams->messages[0].text,
                 QStringLiteral("Orvella will now have to close to\rcomplete the Restore process."));
        QVERIFY(!form->isVisible());
    }

    void optionsCancelTakesTheTextureBackAndOkCentresTheTitle() {
        start("[Calendar]\r\nTile=1\r\n");
        seams->scripts.push_back([](QDialog* d) {
            auto* o = static_cast<TOptionDlg*>(d);
            o->sbGreen->click();
            o->rbMonday->click();
            o->BitBtn2->click();
            return o->result();
        });
        form->OptionBtnClick();
        QCOMPARE(appState().settings.Tile, 1);
        QCOMPARE(form->Cal->StartOfWeek(), 1);
    }

    void theStoredWeekStartReachesTheGridAtActivation() {
        start("[Autostart]\r\nrgDisplay_ItemIndex=1\r\n");
        QCOMPARE(form->Cal->StartOfWeek(), 1);
    }

    void theCaptionCyclesThroughUpcomingBirthdays() {
        start();
        TRemindDlg* remind = forms().RemindDlg;
        QVERIFY(remind->isHidden());
        QVERIFY(remind->tScroll->isActive());
        QCOMPARE(remind->lb1->count(), 1);  // Ann on 20 January; Bob is 8 days away
        remind->tScrollTimer();
        QCOMPARE(form->windowTitle(), QStringLiteral("Orvella"));
        remind->tScrollTimer();
        QVERIFY(form->windowTitle().startsWith(QStringLiteral("Ann - Birthday on ")));

        // The next day Bob is within the week too: the day timer rebuilds the list.
        appState().clock = Clock(dayNumber(2027, 1, 16));
        form->tDayTimer();
        QCOMPARE(remind->lb1->count(), 2);
        QCOMPARE(remind->cycle().TickerPosition(), 0);
    }

    void theRemindersSwitchKeepsTheListAtANewDay() {
        start("[Reminders]\r\nEnabled=1\r\n");
        TRemindDlg* remind = forms().RemindDlg;
        QCOMPARE(remind->lb1->count(), 1);
        appState().clock = Clock(dayNumber(2027, 1, 16));
        form->tDayTimer();
        QCOMPARE(remind->lb1->count(), 1);
        // The Options window rebuilds it whatever the switch.
        seams->scripts.push_back([](QDialog*) { return int(mrCancel); });
        form->OptionBtnClick();
        QCOMPARE(remind->lb1->count(), 2);
    }
};

QTEST_MAIN(MainFormMediaTest)
#include "main_form_media_test.moc"
