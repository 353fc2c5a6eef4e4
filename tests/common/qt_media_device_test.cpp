// The real media device: the module with Qt Multimedia is found and loaded at the first file opened, a
// missing or foreign module is a reason given for the file, not a crash, and the module's reports come
// back as the device's signals.

#include <QSignalSpy>
#include <QtTest>

#include "common/qt_media_device.h"
#include "support/temp_dir.h"

using namespace orv;

class QtMediaDeviceTest : public QObject {
    Q_OBJECT

private slots:
    void withoutItsModuleNothingPlaysAndOpenSaysWhy_data() {
        QTest::addColumn<QString>("moduleBytes");  // what lies where the module is looked for; null: nothing
        QTest::addColumn<QString>("reason");
        QTest::newRow("no module") << QString() << "is not installed";
        QTest::newRow("not a library") << "plain text"
                                       << "cannot be used";
        QTest::newRow("empty file") << ""
                                    << "cannot be used";
    }
    void withoutItsModuleNothingPlaysAndOpenSaysWhy() {
        QFETCH(QString, moduleBytes);
        QFETCH(QString, reason);
        test::TempDir dir;
        dir.write("May.wav", "RIFF");
        if (!moduleBytes.isNull()) dir.write(kMediaModuleName, moduleBytes.toStdString());
        QtMediaDevice device({QString::fromStdString(dir.path()) + "/none", QString::fromStdString(dir.path())});
        for (int attempt = 0; attempt < 2; ++attempt) {
            QString error;
            QVERIFY(!device.open(QString::fromStdString(dir.file("May.wav")), &error));
            QVERIFY2(error.contains(reason) && error.contains(kMediaModuleName), qPrintable(error));
        }
        // The rest does nothing without a module.
        device.play();
        device.stop();
        device.detachDisplay();
        device.close();
    }

    void theModuleIsFoundInTheFirstFolderThatHasIt() {
        test::TempDir dir;
        dir.write("Broken.wav", std::string(4096, 'x'));
        QtMediaDevice device({QString::fromStdString(dir.path()), QStringLiteral(ORVELLA_MEDIA_MODULE_DIR)});
        QString error;
        QVERIFY(!device.open(QString::fromStdString(dir.file("Missing.wav")), &error));
        QCOMPARE(error, QStringLiteral("the file cannot be read"));
        // A file that is no sound: the module's report arrives as the device's failure.
        QSignalSpy failures(&device, &MediaDevice::failed);
        QVERIFY2(device.open(QString::fromStdString(dir.file("Broken.wav")), &error), qPrintable(error));
        device.play();
        QVERIFY(failures.wait(10000));
        QVERIFY(!failures.first().first().toString().isEmpty());
        device.close();
    }
};

QTEST_MAIN(QtMediaDeviceTest)
#include "qt_media_device_test.moc"
