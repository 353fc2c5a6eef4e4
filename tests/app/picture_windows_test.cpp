#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>

#include "app/background_textures.h"
#include "app/image_dlg.h"
#include "app/img_holder.h"
#include "app/jpeg_test_util.h"
#include "app/picture_loader.h"
#include "app/picture_read_ahead.h"
#include "app/texture_paint_box.h"
#include "program/settings.h"
#include "support/fake_seams.h"
#include "support/parts.h"
#include "support/temp_dir.h"

using namespace orv;
using test::part;

namespace {

QImage bmpOf(int w, int h, QColor colour) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colour);
    return img;
}

}  // namespace

class PictureWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        seams = std::make_unique<test::FakeSeams>();
        dir = std::make_unique<test::TempDir>();
    }
    void cleanup() {
        dir.reset();
        seams.reset();
    }

    // The picture decoded ahead at the start stands in for the main window's own decoding only for the same
    // file at the same size, unchanged since, and only once.
    void aPictureReadAheadIsTakenOnlyWhenItStillHolds() {
        struct Case {
            const char* what;
            std::function<void()> between;  // after the decoding ahead, before the take
            QString takenPath;
            QSize takenTarget;
            bool taken;
        };
        const QString a = QString::fromStdString(dir->file("a.jpg"));
        const QString b = QString::fromStdString(dir->file("b.jpg"));
        const QSize screen(640, 480);
        const auto restamp = [this] {
            const timespec times[2] = {{1'000'000'000, 0}, {1'000'000'000, 0}};
            ::utimensat(AT_FDCWD, dir->file("a.jpg").c_str(), times, 0);
        };
        const Case cases[] = {
            {"unchanged", [] {}, a, screen, true},
            {"another size", [] {}, a, QSize(1280, 1024), false},
            {"another file", [] {}, b, screen, false},
            {"rewritten",
             [&] {
                 // After the read-ahead took the file's status: rewritten before, it reads the new file, rightly.
                 QTest::qWait(300);
                 dir->write("a.jpg", test::makeJpeg({.width = 300, .height = 200}));
                 restamp();
             },
             a, screen, false},
            {"deleted", [&] { std::remove(dir->file("a.jpg").c_str()); }, a, screen, false},
        };
        for (const Case& c : cases) {
            dir->write("a.jpg", test::makeJpeg({.width = 1600, .height = 1200}));
            dir->write("b.jpg", test::makeJpeg({.width = 1600, .height = 1200}));
            PictureReadAhead ahead;
            ahead.start(dir->file("a.jpg"), screen);
            ahead.take("", {});  // waits for the decoding; fits nothing, so it is gone
            ahead.start(dir->file("a.jpg"), screen);
            c.between();
            const auto taken = ahead.take(c.takenPath.toStdString(), c.takenTarget);
            QVERIFY2(taken.has_value() == c.taken, c.what);
            if (!taken) continue;
            PictureLoader loader;
            loader.target = screen;
            const auto own = loader.load(dir->file("a.jpg"));
            QVERIFY(own);
            QCOMPARE(taken->naturalSize, own->naturalSize);
            QCOMPARE(taken->image.convertToFormat(QImage::Format_RGB32),
                     own->image.convertToFormat(QImage::Format_RGB32));
            QVERIFY2(!ahead.take(c.takenPath.toStdString(), c.takenTarget), "taken twice");
        }
        // A file that cannot be decoded is left to the window, which reports it.
        dir->write("a.jpg", "not a picture");
        PictureReadAhead ahead;
        ahead.start(dir->file("a.jpg"), screen);
        QVERIFY(!ahead.take(dir->file("a.jpg"), screen));
    }

    void theHolderTakesJpegAndBitmapFiles() {
        dir->write("a.JPG", test::makeJpeg({.width = 301, .height = 400}));
        bmpOf(80, 40, Qt::red).save(QString::fromStdString(dir->file("b.bmp")), "BMP");
        TImgHolder holder(*seams);
        QVERIFY(holder.loadPicture(dir->file("a.JPG")));
        QCOMPARE(holder.naturalSize(), QSize(301, 400));
        QCOMPARE(part<QLabel>(&holder, "tImg")->pixmap().size(), QSize(301, 400));
        QVERIFY(holder.loadPicture(dir->file("b.bmp")));
        QCOMPARE(holder.naturalSize(), QSize(80, 40));
        QCOMPARE(QColor(holder.picture().pixel(10, 10)), QColor(Qt::red));
        QVERIFY(seams->messages.empty());
    }

    void badPicturesGiveTheMessageAndKeepThePicture() {
        const std::string good = test::makeJpeg({.width = 64, .height = 64});
        dir->write("good.jpg", good);
        dir->write("text.jpg", "not a picture");
        dir->write("cut.jpg", good.substr(0, good.size() / 2));
        dir->write("empty.jpg", test::withStatedSize(good, 0, 0));
        dir->write("huge.jpg", test::withStatedSize(good, 20000, 20000));
        dir->write("jpeg.bmp", good);  // a bitmap name holds what it holds: not a bitmap
        dir->write("short.bmp", "BM\x10");
        TImgHolder holder(*seams);
        QVERIFY(holder.loadPicture(dir->file("good.jpg")));
        for (const char* name : {"text.jpg", "cut.jpg", "empty.jpg", "huge.jpg", "jpeg.bmp", "short.bmp", "none.jpg"}) {
            seams->messages.clear();
            QVERIFY2(!holder.loadPicture(dir->file(name)), name);
            QCOMPARE(seams->messages.size(), size_t(1));
            QCOMPARE(seams->messages[0].text,
                     QStringLiteral("Failed to load ") + QString::fromStdString(dir->file(name)));
            QCOMPARE(seams->messages[0].icon, MsgIcon::Information);
            QCOMPARE(holder.naturalSize(), QSize(64, 64));
        }
    }

    void aLargePictureIsDecodedAtScreenSize() {
        seams->screen = QRect(0, 0, 800, 600);
        dir->write("big.jpg", test::makeJpeg({.width = 3300, .height = 2500, .quality = 30}));
        TImgHolder holder(*seams);
        QVERIFY(holder.loadPicture(dir->file("big.jpg")));
        QCOMPARE(holder.naturalSize(), QSize(3300, 2500));
        QCOMPARE(holder.picture().size(), QSize(825, 625));  // one quarter
        PictureLoader loader;
        loader.jpegOutput = JpegOutput::Grey;
        const auto grey = loader.load(dir->file("big.jpg"));
        QVERIFY(grey);
        QCOMPARE(grey->image.format(), QImage::Format_Grayscale8);
        QCOMPARE(grey->image.size(), QSize(3300, 2500));
    }

    void theEnlargedPictureFillsTheScreenAtItsProportions() {
        seams->screen = QRect(0, 0, 1024, 768);
        TImageDlg dlg(*seams);
        const auto picture = [](const QDialog* d) { return part<QLabel>(d, "Pic"); };
        dlg.setPicture(bmpOf(200, 100, Qt::blue), QSize(800, 400));
        QCOMPARE(picture(&dlg)->toolTip(), QStringLiteral("Click to close window"));
        QRect shownAt;
        int answer = 0;
        seams->scripts.push_back([&](QDialog* d) {
            shownAt = picture(d)->geometry();
            QTest::keyClick(d, Qt::Key_Space);
            return answer = d->result();
        });
        QCOMPARE(seams->execModal(&dlg), 1);
        QCOMPARE(shownAt, QRect(10, 133, 1004, 502));
        seams->scripts.push_back([&](QDialog* d) {
            QTest::mouseClick(picture(d), Qt::LeftButton);
            return answer = d->result();
        });
        QCOMPARE(seams->execModal(&dlg), 1);
        // A tall picture on the same screen.
        seams->scripts.push_back([&](QDialog* d) {
            shownAt = picture(d)->geometry();
            QTest::mouseClick(picture(d), Qt::LeftButton);
            return answer = d->result();
        });
        dlg.showPicture(bmpOf(30, 40, Qt::blue), QSize(300, 400));
        QCOMPARE(answer, 1);
        QCOMPARE(shownAt, QRect(231, 10, 561, 748));
    }

    void paintBoxesTileTheChosenTexture() {
        const BackgroundTextures& textures = backgroundTextures();
        for (int i = 0; i < BackgroundTextures::kCount; ++i) {
            QCOMPARE(textures.image(i).size(), QSize(50, 50));
            // On a screen of twice the density: drawn there at twice the size, the same 50 x 50 on the screen.
            QCOMPARE(textures.image(i, 2).size(), QSize(100, 100));
            QCOMPARE(textures.image(i, 2).deviceIndependentSize(), QSizeF(50, 50));
            QCOMPARE(textures.image(i, 1.25).size(), QSize(50, 50));
        }
        QWidget panel;
        panel.resize(130, 75);
        Settings settings;
        TexturePaintBox box(&panel, settings);
        TexturePaintBox title(&panel, settings, true);
        QCOMPARE(box.size(), QSize(130, 75));
        int& tile = settings.Tile;
        const auto paint = [](TexturePaintBox& b, qreal density = 1) {
            QImage out(b.size() * density, QImage::Format_ARGB32);
            out.setDevicePixelRatio(density);
            out.fill(Qt::transparent);
            QPainter p(&out);
            b.pbBackPaint(p);
            return out;
        };
        for (tile = 0; tile <= 4; ++tile) {
            const QImage& texture = textures.forTile(tile);
            const QImage out = paint(box);
            // Every 50 x 50 cell repeats the texture, up to the far corner.
            const QImage& dense = textures.forTile(tile, 2);
            const QImage denseOut = paint(box, 2);
            for (QPoint at : {QPoint(0, 0), QPoint(57, 12), QPoint(129, 74), QPoint(100, 50)}) {
                QCOMPARE(out.pixel(at), texture.pixel(at.x() % 50, at.y() % 50));
                const QPoint fine = at * 2 + QPoint(1, 1);
                QCOMPARE(denseOut.pixel(fine), dense.pixel(fine.x() % 100, fine.y() % 100));
            }
            const QImage titleOut = paint(title);
            QCOMPARE(qAlpha(titleOut.pixel(5, 5)), tile == 4 ? 0 : 255);  // grey leaves the title panel alone
        }
        for (tile = 5; tile <= 6; ++tile) QCOMPARE(qAlpha(paint(box).pixel(5, 5)), 0);
        // The box follows its panel's size.
        panel.show();
        panel.resize(300, 200);
        QCOMPARE(box.size(), QSize(300, 200));
    }

    void windowsHaveTheirCaptionsAndStayHidden() {
        TImgHolder holder(*seams);
        TImageDlg dlg(*seams);
        QCOMPARE(holder.windowTitle(), QStringLiteral("ImgHolder"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Orvella"));
        dir->write("a.jpg", test::makeJpeg({.width = 64, .height = 48}));
        QVERIFY(holder.loadPicture(dir->file("a.jpg")));
        QVERIFY(!holder.isVisible());
    }

private:
    std::unique_ptr<test::FakeSeams> seams;
    std::unique_ptr<test::TempDir> dir;
};

QTEST_MAIN(PictureWindowsTest)
#include "picture_windows_test.moc"
