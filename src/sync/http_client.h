#pragma once
// HTTP for talking to a calendar server: one connection kept open between requests, every response body
// and the whole exchange bounded, redirects followed by hand (at most five, never from https to http), the
// system's certificates plus an optional extra CA file, and every certificate error refused.

#include <atomic>
#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace orv::sync {

// Why a request gave no usable answer. The message (UTF-8) names the cause in the user's terms.
class HttpError : public std::runtime_error {
public:
    enum class Kind { Network, Certificate, Timeout, TooLarge, Redirect, Cancelled, BadAddress };
    HttpError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

struct HttpOptions {
    std::string user;
    std::string password;
    std::string caFile;  // trusted beside the system's certificates; empty for none
    std::size_t maxBody = 64 * 1024 * 1024;
    long connectSeconds = 20;
    // A transfer that moves no byte for this long is given up; a slow one that moves goes on. A server
    // building its cache of a large collection may think for half a minute before its first byte.
    long stallSeconds = 120;
    int maxRedirects = 5;
};

struct HttpRequest {
    std::string method;
    std::string url;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

struct HttpResponse {
    long status = 0;
    std::string url;  // where the answer came from, after redirects
    std::string etag;
    std::string contentType;
    std::string wwwAuthenticate;
    std::string body;
};

// Where a redirect from `from` to `location` leads: the absolute address, or an HttpError for one that
// leaves http(s) or falls from https to http.
std::string redirectTarget(const std::string& from, const std::string& location);

// The address with its user information dropped, for messages.
std::string displayAddress(const std::string& url);

class HttpClient {
public:
    explicit HttpClient(HttpOptions options);
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Sends the request and follows redirects; any status is an answer. Throws HttpError.
    HttpResponse send(const HttpRequest& request);

    // Set from another thread to stop the transfer under way and every later one.
    void setCancelFlag(const std::atomic<bool>* cancel) { cancel_ = cancel; }
    // Requests sent so far, redirects included.
    int requestCount() const { return requests_; }
    const HttpOptions& options() const { return options_; }

private:
    HttpResponse sendOnce(const HttpRequest& request, const std::string& url, bool withCredentials);

    struct Handle;
    std::unique_ptr<Handle> handle_;
    HttpOptions options_;
    const std::atomic<bool>* cancel_ = nullptr;
    int requests_ = 0;
    bool digest_ = false;
};

}  // namespace orv::sync
