#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QScreen>
#include <future>
#include <fontconfig/fontconfig.h>
#include <iostream>
#include <thread>

#include "app/artwork_list.h"
#include "app/batch_print.h"
#include "app/command_line.h"
#include "app/main_form.h"
#include "app/month_grid_accessible.h"
#include "app/picture_layout.h"
#include "app/picture_read_ahead.h"
#include "app/session_bus.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "common/app_context.h"
#include "common/day_number.h"
#include "common/file_util.h"
#include "common/hint_router.h"
#include "common/io_error.h"
#include "common/program_folder.h"
#include "common/ui_seams.h"
#include "program/calendar_read_ahead.h"
#include "program/program.h"

namespace {

// Up to 128 pixels, enough for a dense screen's title bar and task switcher: every size is decoded at the start
// and handed to the window system with the main window, and the 256-pixel one alone cost more than all the
// others together (launchers take the installed icon theme's). Read as PNG outright: left to guess, the reader
// loads every image format plug-in to ask it first.
QList<QImage> readWindowIconImages() {
    QList<QImage> images;
    for (const int size : {16, 22, 24, 32, 48, 64, 128}) {
        QImageReader reader(QStringLiteral(":/icons/hicolor/%1x%1/apps/orvella.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        images.append(reader.read());
    }
    return images;
}

// The first month's picture: today's month, as the main window shows it first, at the size it asks for.
void startPictureReadAhead(orv::PictureReadAhead& ahead, const orv::Program& program) {
    const std::vector<std::string> artwork = orv::BuildArtworkList(program.artworkFolder());
    const int month = orv::toYmd(program.today()).month;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || month < 1 || month > static_cast<int>(artwork.size())) return;
    ahead.start(artwork[static_cast<size_t>(month - 1)],
                QSize(orv::kFrameDecodeSide, orv::kFrameDecodeSide) * screen->devicePixelRatio());
}

}  // namespace

int main(int argc, char** argv) {
    orv::CommandLine::prepare(argc, argv);
    orv::avoidHopelessBusAutolaunch();
    // The font configuration takes several milliseconds to load and is first needed by the main window's
    // text: loaded meanwhile on a second core while the connection to the display is made and the windows
    // built. Should the windows ask for it first, both load it and the one finished last is dropped.
    const std::jthread fontConfiguration([] { FcInit(); });
    QApplication app(argc, argv);
    // Not before: the first thread to make an object of Qt's would become its main thread.
    std::future<QList<QImage>> iconImages = std::async(std::launch::async, readWindowIconImages);
    QApplication::setApplicationName(QStringLiteral("Orvella"));
    orv::CommandLine commandLine;
    if (const auto exitCode = commandLine.parse(QApplication::arguments(), std::cout, std::cerr)) return *exitCode;
    const orv::ProgramOptions& options = commandLine.options();
    if (options.prints()) return orv::runBatchPrint(options, std::cerr);
    QApplication::setDesktopFileName(QStringLiteral("org.orvella.Orvella"));
    orv::applyHintTimings();
    orv::installMonthGridAccessibility();
    // Beside the executable, or the user's own folder for an installed copy (made and filled at the first
    // start); --folder chooses another.
    std::string folder = options.folder;
    try {
        if (folder.empty()) folder = orv::resolveProgramFolder();
        if (!orv::folderExists(folder)) throw orv::IoError("no such folder: " + folder, folder);
    } catch (const std::exception& e) {
        std::cerr << "orvella: " << e.what() << '\n';
        orv::UiSeams().error(nullptr, QString::fromUtf8(e.what()));
        return 2;
    }
    orv::SingleInstance instance(folder);
    switch (instance.claim()) {
    case orv::SingleInstance::Claim::AnsweredByOther:
        return 0;
    case orv::SingleInstance::Claim::OtherSilent:
        std::cerr << "orvella: Orvella already runs on " << folder << " but does not answer\n";
        return 1;
    case orv::SingleInstance::Claim::Ours:
    case orv::SingleInstance::Claim::Unchecked:
        break;
    }
    orv::Program program(folder);
    // The calendar's keys are read on another core while the windows are built.
    program.store.offerKeysReadAhead(orv::readCurrentCalendarKeysAhead(folder));
    orv::PictureReadAhead picture;
    startPictureReadAhead(picture, program);
    orv::AppContext context(program);
    orv::TCalMainForm* mainForm = orv::createWindows(context);
    if (!mainForm) return 0;
    mainForm->setPictureReadAhead(&picture);
    // Decoded meanwhile; handed to the window system with the main window.
    QIcon icon;
    for (const QImage& image : iconImages.get()) icon.addPixmap(QPixmap::fromImage(image));
    QApplication::setWindowIcon(icon);
    mainForm->show();
    mainForm->activateWindow();
    QObject::connect(&instance, &orv::SingleInstance::raiseRequested, mainForm, [mainForm] {
        mainForm->setWindowState(mainForm->windowState() & ~Qt::WindowMinimized);
        mainForm->show();
        mainForm->raise();
        mainForm->activateWindow();
    });
    const int result = QApplication::exec();
    delete mainForm;
    return result;
}
