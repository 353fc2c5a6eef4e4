#pragma once
// One window program per program folder: the first start on a folder holds a lock for as long as it runs
// and listens on a local socket; a later start on the same folder asks it to come to the front and ends.

#include <QObject>

#include <memory>
#include <string>

#include "common/sys_file.h"

class QLocalServer;

namespace orv {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim { Ours, AnsweredByOther, OtherSilent, Unchecked };

    // runtimeDir empty: the user's runtime folder, else the temporary folder.
    explicit SingleInstance(const std::string& programFolder, std::string runtimeDir = {},
                            QObject* parent = nullptr);
    ~SingleInstance() override;

    // Ours: this process is the window program of the folder and listens from now on. AnsweredByOther: the
    // running one took the request to come forward. OtherSilent: one runs but did not answer in time.
    // Unchecked: the folder or the runtime folder cannot be used for the check; the program runs anyway.
    Claim claim(int answerWaitMs = 5000);

    const std::string& socketPath() const { return socketPath_; }

signals:
    void raiseRequested();

private:
    bool askRunningToRaise(int answerWaitMs) const;
    void answer();

    std::string lockPath_;
    std::string socketPath_;
    SysFile lock_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace orv
