#include "support/fault_proxy.h"

#include <cstring>
#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orv::test {
namespace {

bool sendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Waits up to ms for fd to be readable; false on time-out.
bool readable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// One request: its head and its body (by Content-Length; the client sends no chunked bodies).
bool readRequest(int fd, std::string& head, std::string& body) {
    std::string data;
    char buf[65536];
    size_t headEnd;
    while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
        if (!readable(fd, 10000)) return false;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) return false;
        data.append(buf, static_cast<size_t>(n));
    }
    head = data.substr(0, headEnd + 4);
    body = data.substr(headEnd + 4);
    size_t length = 0;
    const std::string lowered = lower(head);
    if (const size_t at = lowered.find("\r\ncontent-length:"); at != std::string::npos)
        length = std::stoul(head.substr(at + 17));
    while (body.size() < length) {
        if (!readable(fd, 10000)) return false;
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) return false;
        body.append(buf, static_cast<size_t>(n));
    }
    return true;
}

// The head with its Connection header replaced by "Connection: close".
std::string closing(const std::string& head) {
    std::string out;
    size_t start = 0;
    while (start < head.size()) {
        size_t end = head.find("\r\n", start);
        if (end == std::string::npos) end = head.size();
        const std::string line = head.substr(start, end - start);
        if (line.empty()) break;
        if (!lower(line).starts_with("connection:") && !lower(line).starts_with("keep-alive:")) out += line + "\r\n";
        start = end + 2;
    }
    return out + "Connection: close\r\n\r\n";
}

std::string answer(int status, const char* reason, const std::string& body, const char* type = "text/plain") {
    return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Type: " + type +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

// A chunked body as one piece.
std::string dechunked(const std::string& body) {
    std::string out;
    size_t at = 0;
    while (at < body.size()) {
        const size_t eol = body.find("\r\n", at);
        if (eol == std::string::npos) break;
        const size_t size = std::stoul(body.substr(at, eol - at), nullptr, 16);
        if (size == 0) break;
        out += body.substr(eol + 2, size);
        at = eol + 2 + size + 2;
    }
    return out;
}

}  // namespace

const char* FaultProxy::name(Fault f) {
    switch (f) {
    case Fault::None: return "none";
    case Fault::CutBefore: return "cut before forwarding";
    case Fault::CutAfter: return "cut after forwarding";
    case Fault::Status412: return "412";
    case Fault::Status401: return "401";
    case Fault::Status403: return "403";
    case Fault::Status404: return "404";
    case Fault::Status500: return "500";
    case Fault::Status507: return "507";
    case Fault::Stall: return "stall";
    case Fault::Oversized: return "oversized body";
    case Fault::Malformed: return "malformed XML";
    case Fault::Truncated: return "truncated XML";
    }
    return "?";
}

bool FaultProxy::appliesTo(Fault f, const std::string& method) {
    const bool xml = method == "PROPFIND" || method == "REPORT";
    switch (f) {
    case Fault::Oversized:
    case Fault::Malformed:
    case Fault::Truncated: return xml;
    case Fault::CutAfter: return true;
    default: return true;
    }
}

FaultProxy::FaultProxy(int upstreamPort, std::size_t oversizedBytes)
    : upstreamPort_(upstreamPort), oversized_(oversizedBytes) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(listener_, 16) != 0)
        throw std::runtime_error("the fault proxy cannot listen");
    socklen_t len = sizeof a;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { serve(); });
}

FaultProxy::~FaultProxy() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
}

void FaultProxy::arm(Fault fault, int at) {
    std::lock_guard<std::mutex> lock(mutex_);
    fault_ = fault;
    at_ = at;
    count_ = 0;
    methods_.clear();
}

std::vector<std::string> FaultProxy::methods() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return methods_;
}

void FaultProxy::serve() {
    while (!stop_) {
        if (!readable(listener_, 50)) continue;
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) continue;
        handle(client);
        ::close(client);
    }
}

void FaultProxy::handle(int client) {
    std::string head, body;
    if (!readRequest(client, head, body)) return;
    const std::string method = head.substr(0, head.find(' '));
    int number;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        methods_.push_back(method);
        number = ++count_;
    }
    const Fault fault = number == at_ ? fault_.load() : Fault::None;
    switch (fault) {
    case Fault::CutBefore: return;
    case Fault::Status412: sendAll(client, answer(412, "Precondition Failed", "")); return;
    case Fault::Status401: sendAll(client, answer(401, "Unauthorized", "")); return;
    case Fault::Status403: sendAll(client, answer(403, "Forbidden", "")); return;
    case Fault::Status404: sendAll(client, answer(404, "Not Found", "")); return;
    case Fault::Status500: sendAll(client, answer(500, "Internal Server Error", "")); return;
    case Fault::Status507: sendAll(client, answer(507, "Insufficient Storage", "")); return;
    case Fault::Stall:
        // Held until the client gives up (or a minute, whichever is first).
        for (int i = 0; i < 600 && !stop_; ++i) {
            char c;
            if (readable(client, 100) && ::recv(client, &c, 1, 0) <= 0) return;
        }
        return;
    case Fault::Oversized: {
        std::string big = "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\"><!--";
        big.append(oversized_, 'x');
        big += "--></d:multistatus>";
        sendAll(client, answer(207, "Multi-Status", big, "application/xml"));
        return;
    }
    case Fault::Malformed:
        sendAll(client, answer(207, "Multi-Status", "<d:multistatus xmlns:d=\"DAV:\"><d:response><d:href>/x</d:hre",
                               "application/xml"));
        return;
    default: break;
    }

    const int up = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(upstreamPort_));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(up, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(up);
        return;
    }
    std::string response;
    if (sendAll(up, closing(head) + body)) {
        char buf[65536];
        while (readable(up, 60000)) {
            const ssize_t n = ::recv(up, buf, sizeof buf, 0);
            if (n <= 0) break;
            response.append(buf, static_cast<size_t>(n));
        }
    }
    ::close(up);
    if (fault == Fault::CutAfter) return;
    const size_t headEnd = response.find("\r\n\r\n");
    if (headEnd == std::string::npos) return;
    std::string upHead = response.substr(0, headEnd + 4);
    std::string upBody = response.substr(headEnd + 4);
    if (fault == Fault::Truncated) {
        if (lower(upHead).find("transfer-encoding: chunked") != std::string::npos) upBody = dechunked(upBody);
        upBody.resize(upBody.size() / 2);
        std::string fixed;
        size_t start = 0;
        while (start < upHead.size()) {
            size_t end = upHead.find("\r\n", start);
            const std::string line = upHead.substr(start, end - start);
            if (line.empty()) break;
            if (!lower(line).starts_with("content-length:") && !lower(line).starts_with("transfer-encoding:"))
                fixed += line + "\r\n";
            start = end + 2;
        }
        upHead = fixed + "Content-Length: " + std::to_string(upBody.size()) + "\r\n\r\n";
    }
    sendAll(client, closing(upHead) + upBody);
}

}  // namespace orv::test
