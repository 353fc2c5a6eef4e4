#include "app/single_instance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace orv {

namespace {

constexpr char kRequest[] = "raise\n";
constexpr char kAnswer[] = "ok\n";

std::string defaultRuntimeDir() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    if (dir && dir[0] == '/') return dir;
    return QDir::tempPath().toStdString();
}

}  // namespace

SingleInstance::SingleInstance(const std::string& programFolder, std::string runtimeDir, QObject* parent)
    : QObject(parent) {
    if (runtimeDir.empty()) runtimeDir = defaultRuntimeDir();
    // The folder is known by its device and inode: every path to it, through links or not, is the same
    // folder. The user's id keeps users of one temporary folder apart.
    const auto folder = statPath(programFolder);
    if (!folder) return;
    char name[96];
    std::snprintf(name, sizeof name, "/orvella-%u-%llx-%llx", static_cast<unsigned>(::getuid()),
                  static_cast<unsigned long long>(folder->st_dev), static_cast<unsigned long long>(folder->st_ino));
    lockPath_ = runtimeDir + name + ".lock";
    socketPath_ = runtimeDir + name + ".socket";
}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
}

SingleInstance::Claim SingleInstance::claim(int answerWaitMs) {
    if (lockPath_.empty()) return Claim::Unchecked;
    try {
        lock_ = SysFile::create(lockPath_, O_RDWR, 0, 0600);
    } catch (const std::exception&) {
        return Claim::Unchecked;
    }
    if (!lock_.valid()) return Claim::Unchecked;
    // Held until this process ends, however it ends: a later start knows from the lock alone whether the
    // socket beside it still has a listener.
    bool locked = false;
    try {
        locked = lock_.tryLock(true);
    } catch (const std::exception&) {
        lock_ = SysFile();
        return Claim::Unchecked;
    }
    if (!locked) {
        lock_ = SysFile();
        return askRunningToRaise(answerWaitMs) ? Claim::AnsweredByOther : Claim::OtherSilent;
    }
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a process that was killed.
    QLocalServer::removeServer(QString::fromStdString(socketPath_));
    if (!server_->listen(QString::fromStdString(socketPath_))) {
        server_.reset();
        return Claim::Ours;
    }
    connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::answer);
    return Claim::Ours;
}

bool SingleInstance::askRunningToRaise(int answerWaitMs) const {
    // The running program may be just starting, its lock taken but its socket not yet listening.
    const QDeadlineTimer deadline(answerWaitMs);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(QString::fromStdString(socketPath_));
        if (socket.waitForConnected(static_cast<int>(std::min<qint64>(500, deadline.remainingTime())))) {
            socket.write(kRequest);
            socket.flush();
            QByteArray reply;
            while (!reply.contains('\n') && socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                reply += socket.readAll();
            return reply == kAnswer;
        }
        QThread::msleep(50);
    }
    return false;
}

void SingleInstance::answer() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                // Anything longer than the request is no request.
                if (socket->bytesAvailable() > 64) socket->abort();
                return;
            }
            if (socket->readLine(64) == kRequest) {
                emit raiseRequested();
                socket->write(kAnswer);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

}  // namespace orv
