#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "app/month_media_player.h"
#include "common/media_device.h"
#include "support/parts.h"
#include "support/test_context.h"

using namespace orv;

namespace {

// Records what the player asks of the device; the test plays the device's part.
class FakeDevice : public MediaDevice {
public:
    bool open(const QString& file, QString* error) override {
        calls << "open " + file;
        if (refuseOpen) {
            *error = QStringLiteral("no such codec");
            return false;
        }
        return true;
    }
    void setDisplay(QWidget*, const QRect& area) override {
        calls << "display";
        displayArea = area;
    }
    void detachDisplay() override { calls << "detach"; }
    void play() override {
        calls << "play";
        if (failOnPlay) emit failed(QStringLiteral("broken stream"));
    }
    void stop() override { calls << "stop"; }
    void close() override { calls << "close"; }

    QStringList calls;
    QRect displayArea;
    bool refuseOpen = false;
    bool failOnPlay = false;
};

}  // namespace

class MonthMediaPlayerTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        device = std::make_unique<FakeDevice>();
        run = std::make_unique<test::TestContext>(std::string(), 0, nullptr, device.get());
        seams = &run->seams;
        window = std::make_unique<QWidget>();
        imgPanel = new QFrame(window.get());
        imgPanel->setGeometry(11, 10, 452, 300);
        picMain = new QLabel(imgPanel);
        pButton = new QFrame(window.get());
        pButton->hide();
        mediaBtn = new QToolButton(pButton);
        MediaPlaying = LoopSetting = LoopActive = false;
        player = std::make_unique<MonthMediaPlayer>(run->context, mediaBtn, pButton, imgPanel, picMain, MediaPlaying,
                                                    LoopSetting, LoopActive);
        player->minLoopMilliseconds = 0;
    }
    void cleanup() {
        player.reset();
        window.reset();
        run.reset();
        device.reset();
    }

    void thePanelFollowsTheMonth() {
        player->setMonthMedia(std::nullopt);
        QVERIFY(pButton->isHidden());
        player->setMonthMedia(MonthMedia{"/p/SOUNDS/May001.wav", true, false});
        QVERIFY(!pButton->isHidden());
        QVERIFY(LoopSetting);
        player->setMonthMedia(std::nullopt);
        QVERIFY(pButton->isHidden());
        QVERIFY(!LoopSetting);
        QVERIFY(isPlayGlyph());
    }

    void aLoopingSoundPlaysUntilTheButtonIsPressed() {
        player->setMonthMedia(MonthMedia{"/p/SOUNDS/May001.wav", true, false});
        mediaBtn->click();
        QCOMPARE(device->calls, QStringList({"open /p/SOUNDS/May001.wav", "play"}));
        QVERIFY(MediaPlaying);
        QVERIFY(LoopActive);
        QVERIFY(isStopGlyph());
        QCOMPARE(mediaBtn->toolTip(), QStringLiteral("Click to stop playing"));
        for (int i = 0; i < 3; ++i) emit device->ended();
        QCOMPARE(device->calls.count("play"), 4);
        QVERIFY(MediaPlaying);
        device->calls.clear();
        mediaBtn->click();
        QVERIFY(device->calls.contains("stop"));
        QVERIFY(!MediaPlaying);
        QVERIFY(!LoopActive);
        QVERIFY(isPlayGlyph());
        QCOMPARE(mediaBtn->toolTip(), QStringLiteral("Click to play"));
        // A late end notice is no longer wanted.
        device->calls.clear();
        emit device->ended();
        QVERIFY(device->calls.isEmpty());
    }

    void aSoundThatDoesNotLoopEndsWithThePlayGlyph() {
        player->setMonthMedia(MonthMedia{"/p/SOUNDS/Mayxxx.wav", false, false});
        mediaBtn->click();
        device->calls.clear();
        emit device->ended();
        QCOMPARE(device->calls, QStringList({"close", "detach"}));
        QVERIFY(!MediaPlaying);
        QVERIFY(isPlayGlyph());
        QCOMPARE(mediaBtn->toolTip(), QStringLiteral("Click to play"));
        // Pressing again plays it again.
        device->calls.clear();
        mediaBtn->click();
        QCOMPARE(device->calls, QStringList({"open /p/SOUNDS/Mayxxx.wav", "play"}));
    }

    void aMovieShowsInsideThePictureFrame() {
        player->setMonthMedia(MonthMedia{"/p/MOVIES/May001.avi", false, true});
        mediaBtn->click();
        QCOMPARE(device->calls, QStringList({"open /p/MOVIES/May001.avi", "display", "play"}));
        QCOMPARE(device->displayArea, QRect(2, 2, 448, 296));
        // Stopping takes the movie off the picture.
        mediaBtn->click();
        QVERIFY(device->calls.contains("detach"));
    }

    void aFileThatCannotBeOpenedSaysSo() {
        device->refuseOpen = true;
        player->setMonthMedia(MonthMedia{"/p/SOUNDS/May001.mid", true, false});
        mediaBtn->click();
        QCOMPARE(seams->messages.size(), size_t(1));
        QVERIFY(seams->messages[0].text.startsWith(QStringLiteral("Cannot play /p/SOUNDS/May001.mid")));
        QVERIFY(seams->messages[0].text.contains(QStringLiteral("no such codec")));
        QVERIFY(!MediaPlaying);
        QVERIFY(isPlayGlyph());
        QVERIFY(!device->calls.contains("play"));
        // The button still works.
        device->refuseOpen = false;
        mediaBtn->click();
        QVERIFY(MediaPlaying);
    }

    void aFileThatFailsWhilePlayingDoesNotRepeat() {
        device->failOnPlay = true;
        player->setMonthMedia(MonthMedia{"/p/SOUNDS/May001.wav", true, false});
        mediaBtn->click();
        QVERIFY(!MediaPlaying);
        QVERIFY(!LoopActive);
        QVERIFY(isPlayGlyph());
        QCOMPARE(seams->messages.size(), size_t(1));
        // The device may report the same failure twice and end as well: still one message, no new start.
        emit device->failed(QStringLiteral("again"));
        emit device->ended();
        QCOMPARE(seams->messages.size(), size_t(1));
        QCOMPARE(device->calls.count("play"), 1);
    }

    void aLoopThatPlaysNothingStops() {
        player->minLoopMilliseconds = 60000;
        player->setMonthMedia(MonthMedia{"/p/SOUNDS/Empty.wav", true, false});
        mediaBtn->click();
        emit device->ended();
        QCOMPARE(device->calls.count("play"), 1);
        QVERIFY(!MediaPlaying);
        QVERIFY(isPlayGlyph());
    }

    void aChangeOfMonthDoesNotStopPlaying() {
        player->setMonthMedia(MonthMedia{"/p/SOUNDS/May001.wav", true, false});
        mediaBtn->click();
        player->setMonthMedia(std::nullopt);
        QVERIFY(MediaPlaying);
        QVERIFY(!device->calls.contains("stop"));
        QVERIFY(!pButton->isHidden());  // still there to stop the sound
        QVERIFY(LoopActive);            // the playing file keeps its own repetition
        mediaBtn->click();
        QVERIFY(!MediaPlaying);
        QVERIFY(pButton->isHidden());
    }

private:
    QIcon glyph(const char* holder) const { return test::part<QToolButton>(pButton, holder)->icon(); }
    bool isPlayGlyph() const { return mediaBtn->icon().cacheKey() == glyph("sbPlay").cacheKey(); }
    bool isStopGlyph() const { return mediaBtn->icon().cacheKey() == glyph("sbStop").cacheKey(); }

    std::unique_ptr<FakeDevice> device;
    std::unique_ptr<test::TestContext> run;
    test::FakeSeams* seams = nullptr;
    std::unique_ptr<QWidget> window;
    QFrame* imgPanel = nullptr;
    QLabel* picMain = nullptr;
    QFrame* pButton = nullptr;
    QToolButton* mediaBtn = nullptr;
    bool MediaPlaying = false;
    bool LoopSetting = false;
    bool LoopActive = false;
    std::unique_ptr<MonthMediaPlayer> player;
};

QTEST_MAIN(MonthMediaPlayerTest)
#include "month_media_player_test.moc"
