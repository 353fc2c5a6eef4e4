#include "support/caldav_server.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "sync/http_client.h"

namespace orv::test {
namespace {

bool accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

pid_t spawn(const std::vector<std::string>& argv, const std::string& log) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
        ::dup2(out, 1);
        ::dup2(out, 2);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execv(args[0], args.data());
    ::_exit(127);
}

}  // namespace

int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

std::unique_ptr<CalDavServer> CalDavServer::start(Kind kind, std::string* why, bool tls) {
    std::unique_ptr<CalDavServer> s(new CalDavServer());
    s->kind_ = kind;
    s->tls_ = tls;
    if (tls) {
        const std::string make = "openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 "
                                 "-addext subjectAltName=IP:127.0.0.1 -keyout '" + s->dir_.file("key.pem") +
                                 "' -out '" + s->dir_.file("cert.pem") + "' > /dev/null 2>&1";
        if (std::system(make.c_str()) != 0) {
            *why = "openssl cannot make a certificate (tools/install-deps.sh --test installs it)";
            return nullptr;
        }
    }
    const std::string program = kind == Kind::Radicale ? "/usr/bin/python3" : "/usr/bin/xandikos";
    if (::access(program.c_str(), X_OK) != 0 ||
        (kind == Kind::Radicale && ::access("/usr/lib/python3/dist-packages/radicale", R_OK) != 0)) {
        *why = std::string(s->name()) + " is not installed (tools/install-deps.sh --test installs it)";
        return nullptr;
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        s->port_ = freeLoopbackPort();
        std::vector<std::string> argv;
        if (kind == Kind::Radicale) {
            s->user_ = "ann";
            s->password_ = "secret";
            s->dir_.write("users", s->user_ + ":" + s->password_ + "\n");
            const std::string ssl = tls ? "ssl = True\ncertificate = " + s->dir_.file("cert.pem") + "\nkey = " +
                                              s->dir_.file("key.pem") + "\n"
                                        : std::string();
            s->dir_.write("config", "[server]\nhosts = 127.0.0.1:" + std::to_string(s->port_) + "\n" + ssl +
                                        "[auth]\ntype = htpasswd\nhtpasswd_filename = " + s->dir_.file("users") +
                                        "\nhtpasswd_encryption = plain\n[storage]\nfilesystem_folder = " +
                                        s->dir_.file("storage") + "\n[rights]\ntype = owner_only\n"
                                                                  "[logging]\nlevel = warning\n");
            argv = {program, "-m", "radicale", "--config", s->dir_.file("config")};
        } else {
            argv = {program, "-d", s->dir_.file("storage"), "--defaults", "-l", "127.0.0.1",
                    "-p", std::to_string(s->port_)};
        }
        s->pid_ = spawn(argv, s->dir_.file("server.log"));
        // Up within a few seconds, or it has ended (a port taken meanwhile: another try).
        for (int i = 0; i < 300; ++i) {
            if (accepts(s->port_)) return s;
            int status = 0;
            if (::waitpid(s->pid_, &status, WNOHANG) == s->pid_) {
                s->pid_ = -1;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (s->pid_ > 0) {
            ::kill(s->pid_, SIGKILL);
            ::waitpid(s->pid_, nullptr, 0);
            s->pid_ = -1;
        }
    }
    *why = std::string(s->name()) + " did not start: " + s->dir_.read("server.log").substr(0, 400);
    return nullptr;
}

CalDavServer::~CalDavServer() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::string CalDavServer::collectionPath(const std::string& name) const {
    return kind_ == Kind::Radicale ? "/" + user_ + "/" + name + "/" : "/user/calendars/" + name + "/";
}

std::string CalDavServer::makeCollection(const std::string& name) const {
    sync::HttpOptions o;
    o.user = user_;
    o.password = password_;
    o.caFile = caFile();
    sync::HttpClient http(o);
    const std::string url = base() + collectionPath(name);
    const auto r = http.send({"MKCALENDAR", url, {}, {}});
    if (r.status != 201) throw std::runtime_error("MKCALENDAR " + url + " answered " + std::to_string(r.status));
    return url;
}

}  // namespace orv::test
