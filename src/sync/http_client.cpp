#include "sync/http_client.h"

#include <algorithm>
#include <cstring>

#include <curl/curl.h>

namespace orv::sync {
namespace {

struct UrlParts {
    std::string scheme;
    std::string host;
    std::string port;
};

using UrlHandle = std::unique_ptr<CURLU, void (*)(CURLU*)>;

UrlHandle parsedUrl(const std::string& url) {
    UrlHandle h(curl_url(), curl_url_cleanup);
    if (!h || curl_url_set(h.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK)
        throw HttpError(HttpError::Kind::BadAddress, "\"" + url + "\" is no web address");
    return h;
}

std::string part(CURLU* h, CURLUPart which) {
    char* value = nullptr;
    if (curl_url_get(h, which, &value, which == CURLUPART_PORT ? CURLU_DEFAULT_PORT : 0) != CURLUE_OK) return {};
    std::string out = value ? value : "";
    curl_free(value);
    return out;
}

UrlParts partsOf(const std::string& url) {
    const UrlHandle h = parsedUrl(url);
    std::string scheme = part(h.get(), CURLUPART_SCHEME);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return std::tolower(c); });
    std::string host = part(h.get(), CURLUPART_HOST);
    std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) { return std::tolower(c); });
    return {scheme, host, part(h.get(), CURLUPART_PORT)};
}

void initCurlOnce() {
    static const bool done = [] { return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; }();
    if (!done) throw HttpError(HttpError::Kind::Network, "the network library could not be started");
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return std::string(s);
}

struct Transfer {
    HttpResponse* response = nullptr;
    std::string location;
    std::size_t maxBody = 0;
    bool tooLarge = false;
    const std::atomic<bool>* cancel = nullptr;
};

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (t->response->body.size() + n > t->maxBody) {
        t->tooLarge = true;
        return 0;
    }
    t->response->body.append(data, n);
    return n;
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    const std::string_view line(data, n);
    if (line.starts_with("HTTP/")) {
        // A new response (after an interim 100): what came before belongs to that one.
        t->response->etag.clear();
        t->response->contentType.clear();
        t->response->wwwAuthenticate.clear();
        t->location.clear();
        return n;
    }
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return n;
    const std::string_view name = line.substr(0, colon);
    const std::string value = trimmed(line.substr(colon + 1));
    if (equalsIgnoringCase(name, "ETag")) t->response->etag = value;
    else if (equalsIgnoringCase(name, "Content-Type")) t->response->contentType = value;
    else if (equalsIgnoringCase(name, "Location")) t->location = value;
    else if (equalsIgnoringCase(name, "WWW-Authenticate")) {
        if (!t->response->wwwAuthenticate.empty()) t->response->wwwAuthenticate += ", ";
        t->response->wwwAuthenticate += value;
    }
    return n;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* t = static_cast<Transfer*>(user);
    return t->cancel && t->cancel->load() ? 1 : 0;
}

bool isRedirect(long status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

}  // namespace

std::string redirectTarget(const std::string& from, const std::string& location) {
    const UrlHandle h = parsedUrl(from);
    if (curl_url_set(h.get(), CURLUPART_URL, location.c_str(), 0) != CURLUE_OK)
        throw HttpError(HttpError::Kind::Redirect, "the server redirected to \"" + location + "\", which is no address");
    const std::string target = part(h.get(), CURLUPART_URL);
    const UrlParts a = partsOf(from);
    const UrlParts b = partsOf(target);
    if (b.scheme != "http" && b.scheme != "https")
        throw HttpError(HttpError::Kind::Redirect, "the server redirected to \"" + displayAddress(target) +
                                                       "\", which is no web address");
    if (a.scheme == "https" && b.scheme == "http")
        throw HttpError(HttpError::Kind::Redirect, "the server redirected from a secure address to the insecure \"" +
                                                       displayAddress(target) + "\"; refused");
    return target;
}

std::string displayAddress(const std::string& url) {
    try {
        const UrlHandle h = parsedUrl(url);
        curl_url_set(h.get(), CURLUPART_USER, nullptr, 0);
        curl_url_set(h.get(), CURLUPART_PASSWORD, nullptr, 0);
        return part(h.get(), CURLUPART_URL);
    } catch (const HttpError&) {
        return url;
    }
}

struct HttpClient::Handle {
    CURL* curl = nullptr;
    ~Handle() {
        if (curl) curl_easy_cleanup(curl);
    }
};

HttpClient::HttpClient(HttpOptions options) : handle_(std::make_unique<Handle>()), options_(std::move(options)) {
    initCurlOnce();
    handle_->curl = curl_easy_init();
    if (!handle_->curl) throw HttpError(HttpError::Kind::Network, "the network library could not be started");
}

HttpClient::~HttpClient() = default;

HttpResponse HttpClient::send(const HttpRequest& request) {
    const UrlParts origin = partsOf(request.url);
    if (origin.scheme != "http" && origin.scheme != "https")
        throw HttpError(HttpError::Kind::BadAddress, "\"" + displayAddress(request.url) + "\" is no http or https address");
    HttpRequest current = request;
    std::string url = request.url;
    for (int redirects = 0;; ++redirects) {
        // Credentials go along to the same server, or to another one only over https.
        const UrlParts here = partsOf(url);
        const bool sameServer = here.host == origin.host && here.port == origin.port;
        HttpResponse response = sendOnce(current, url, sameServer || here.scheme == "https");
        if (!isRedirect(response.status)) return response;
        if (response.url.empty()) return response;
        if (redirects >= options_.maxRedirects)
            throw HttpError(HttpError::Kind::Redirect,
                            "the server redirected more than " + std::to_string(options_.maxRedirects) + " times");
        url = response.url;
        if (response.status == 303) {
            current.method = current.method == "HEAD" ? "HEAD" : "GET";
            current.body.clear();
        }
    }
}

HttpResponse HttpClient::sendOnce(const HttpRequest& request, const std::string& url, bool withCredentials) {
    CURL* c = handle_->curl;
    if (cancel_ && cancel_->load()) throw HttpError(HttpError::Kind::Cancelled, "cancelled");
    curl_easy_reset(c);
    HttpResponse response;
    Transfer t;
    t.response = &response;
    t.maxBody = options_.maxBody;
    t.cancel = cancel_;

    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, options_.connectSeconds);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, options_.stallSeconds);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options_.maxBody));
    curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Orvella/" ORVELLA_VERSION);
    if (!options_.caFile.empty()) {
        // The extra file beside the system's folder of certificates: OpenSSL trusts both.
        char* systemFolder = nullptr;
        curl_easy_getinfo(c, CURLINFO_CAPATH, &systemFolder);
        curl_easy_setopt(c, CURLOPT_CAPATH, systemFolder ? systemFolder : "/etc/ssl/certs");
        curl_easy_setopt(c, CURLOPT_CAINFO, options_.caFile.c_str());
    }
    if (withCredentials && (!options_.user.empty() || !options_.password.empty())) {
        curl_easy_setopt(c, CURLOPT_HTTPAUTH, digest_ ? CURLAUTH_DIGEST : CURLAUTH_BASIC);
        curl_easy_setopt(c, CURLOPT_USERNAME, options_.user.c_str());
        curl_easy_setopt(c, CURLOPT_PASSWORD, options_.password.c_str());
    }

    if (request.method == "GET") {
        curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    } else if (request.method == "HEAD") {
        curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
    } else {
        curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, request.method.c_str());
        if (!request.body.empty() || request.method == "PUT") {
            curl_easy_setopt(c, CURLOPT_POSTFIELDS, request.body.data());
            curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        }
    }
    curl_slist* headers = curl_slist_append(nullptr, "Expect:");
    for (const auto& [name, value] : request.headers) headers = curl_slist_append(headers, (name + ": " + value).c_str());
    const std::unique_ptr<curl_slist, void (*)(curl_slist*)> headerList(headers, curl_slist_free_all);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headerList.get());

    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &t);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);

    ++requests_;
    const CURLcode rc = curl_easy_perform(c);
    const std::string where = displayAddress(url);
    const std::string detail = errorText[0] ? errorText : curl_easy_strerror(rc);
    switch (rc) {
    case CURLE_OK: break;
    case CURLE_WRITE_ERROR:
    case CURLE_FILESIZE_EXCEEDED:
        if (t.tooLarge || rc == CURLE_FILESIZE_EXCEEDED)
            throw HttpError(HttpError::Kind::TooLarge, "the answer of " + where + " is larger than " +
                                                           std::to_string(options_.maxBody / 1024) + " KiB; refused");
        throw HttpError(HttpError::Kind::Network, where + ": " + detail);
    case CURLE_ABORTED_BY_CALLBACK: throw HttpError(HttpError::Kind::Cancelled, "cancelled");
    case CURLE_OPERATION_TIMEDOUT:
        throw HttpError(HttpError::Kind::Timeout, where + " stopped answering (" + detail + ")");
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        throw HttpError(HttpError::Kind::Certificate,
                        "the certificate of " + where + " is not trusted (" + detail +
                            "); for a server with a certificate of its own, give its CA with --ca-file");
    case CURLE_SSL_CONNECT_ERROR:
        throw HttpError(HttpError::Kind::Certificate, "no secure connection to " + where + " (" + detail + ")");
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_URL_MALFORMAT: throw HttpError(HttpError::Kind::BadAddress, where + ": " + detail);
    default: throw HttpError(HttpError::Kind::Network, "no connection to " + where + " (" + detail + ")");
    }
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status);
    response.url = url;
    if (isRedirect(response.status)) response.url = t.location.empty() ? std::string() : redirectTarget(url, t.location);
    if (response.status == 401 && withCredentials && !digest_ &&
        response.wwwAuthenticate.find("Digest") != std::string::npos &&
        response.wwwAuthenticate.find("Basic") == std::string::npos) {
        // A server that takes only digest: ask again that way, and from now on.
        digest_ = true;
        return sendOnce(request, url, withCredentials);
    }
    return response;
}

}  // namespace orv::sync
