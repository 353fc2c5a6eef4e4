// Files that are no plain files (FIFOs, devices, folders) or far larger than their format allows: refused
// at once with a message naming them, never waited on or read until the memory runs out.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/file_util.h"
#include "common/io_error.h"
#include "support/cli_fixture.h"

namespace orv {
namespace {

// A test that would hang ends the test program instead.
class HangGuard {
public:
    HangGuard() { ::alarm(30); }
    ~HangGuard() { ::alarm(0); }
};

struct Kind {
    const char* name;
    std::function<void(const std::string& path)> make;
    const char* says;  // part of the message
};

void sparse(const std::string& path, std::int64_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
}

const Kind kKinds[] = {
    {"fifo", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, "not a regular file"},
    {"link to /dev/zero", [](const std::string& p) { ASSERT_EQ(::symlink("/dev/zero", p.c_str()), 0); },
     "not a regular file"},
    {"link to /dev/urandom", [](const std::string& p) { ASSERT_EQ(::symlink("/dev/urandom", p.c_str()), 0); },
     "not a regular file"},
    {"folder", [](const std::string& p) { ASSERT_EQ(::mkdir(p.c_str(), 0755), 0); }, ""},
    {"50 GB sparse file", [](const std::string& p) { sparse(p, std::int64_t{50} << 30); },
     "File contains no data or corrupt file "},
    {"file just too large", [](const std::string& p) { sparse(p, std::int64_t{kMaxTextFileBytes} + 1); },
     "File contains no data or corrupt file "},
};

class FileTypes : public test::CliFixture {};

TEST_F(FileTypes, EveryFileTheCommandsReadIsRefusedWithItsName) {
    struct Target {
        const char* file;
        std::vector<std::string> args;
    };
    const Target targets[] = {
        {"Data/User1.DBX", {"show", "2026-01-01"}},
        {"Data/User1.DBX", {"set", "2026-01-01", "x"}},
        {"CalUsers.DAT", {"calendars"}},
        {"Orvella.INI", {"calendars"}},
        {"Events.dat", {"birthdays", "2026"}},
        {"VEvents.dat", {"upcoming"}},
    };
    HangGuard guard;
    for (const auto& t : targets) {
        for (const auto& k : kKinds) {
            // A calendar too large only for a text file is no calendar fault.
            const bool calendar = std::string(t.file) == "Data/User1.DBX";
            if (std::string(k.name) == "file just too large" && calendar) continue;
            SCOPED_TRACE(std::string(t.file) + " as " + k.name + ", " + t.args[0]);
            std::filesystem::remove_all(dir.path());
            std::filesystem::create_directories(dir.file("Data"));
            dir.write("CalUsers.DAT", "User1\r\n");
            std::filesystem::remove(dir.file(t.file));
            k.make(dir.file(t.file));
            const test::CliResult r = run(t.args);
            EXPECT_EQ(r.status, 2);
            const std::string name = std::string(t.file).substr(std::string(t.file).find('/') + 1);
            EXPECT_NE(r.err.find(name), std::string::npos) << r.err;
            EXPECT_NE(r.err.find(k.says), std::string::npos) << r.err;
        }
    }
}

TEST(FileTypesDirect, WholeFileReadsStopAtTheirBound) {
    test::TempDir dir;
    HangGuard guard;
    dir.write("f", std::string(100, 'x'));
    EXPECT_EQ(readWholeFile(dir.file("f"), 100)->size(), 100u);
    EXPECT_THROW(readWholeFile(dir.file("f"), 99), CorruptFileError);
    for (const auto& k : kKinds) {
        SCOPED_TRACE(k.name);
        std::filesystem::remove_all(dir.file("g"));
        k.make(dir.file("g"));
        try {
            readWholeFile(dir.file("g"));
            ADD_FAILURE() << "read";
        } catch (const IoError& e) {
            EXPECT_EQ(e.path(), dir.file("g"));
            EXPECT_NE(std::string(e.what()).find(k.says), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace orv
