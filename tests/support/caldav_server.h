#pragma once
// A real CalDAV server for the sync tests, started on 127.0.0.1 and a free port over a temporary folder,
// and stopped at the end: Radicale (python3-radicale, htpasswd authentication) or Xandikos.

#include <memory>
#include <string>

#include <sys/types.h>

#include "support/temp_dir.h"

namespace orv::test {

class CalDavServer {
public:
    enum class Kind { Radicale, Xandikos };

    // nullptr, with the reason in why, when the server cannot start here. With tls (Radicale only) it
    // answers https with a certificate of its own, made for 127.0.0.1 (caFile()).
    static std::unique_ptr<CalDavServer> start(Kind kind, std::string* why, bool tls = false);
    ~CalDavServer();
    CalDavServer(const CalDavServer&) = delete;
    CalDavServer& operator=(const CalDavServer&) = delete;

    Kind kind() const { return kind_; }
    const char* name() const { return kind_ == Kind::Radicale ? "Radicale" : "Xandikos"; }
    int port() const { return port_; }
    std::string base() const { return (tls_ ? "https" : "http") + std::string("://127.0.0.1:") + std::to_string(port_); }
    std::string caFile() const { return tls_ ? dir_.file("cert.pem") : std::string(); }
    // The credentials it takes (Xandikos takes anyone).
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }
    // A new empty calendar collection; its address on base (or on another base, such as a proxy's).
    std::string makeCollection(const std::string& name) const;
    std::string collectionPath(const std::string& name) const;

private:
    CalDavServer() = default;
    Kind kind_ = Kind::Radicale;
    TempDir dir_;
    pid_t pid_ = -1;
    int port_ = 0;
    bool tls_ = false;
    std::string user_, password_;
};

// A port nothing listens on right now.
int freeLoopbackPort();

}  // namespace orv::test
