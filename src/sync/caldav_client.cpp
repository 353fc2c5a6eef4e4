#include "sync/caldav_client.h"

#include <algorithm>

#include "sync/dav_xml.h"

namespace orv::sync {
namespace {

const char* const kXmlHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

bool ok(long status) { return status >= 200 && status <= 299; }

// The path with a trailing slash, for comparing a collection with the members listed under it.
std::string asFolder(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// The address's scheme, user information, host and port: everything before its path.
std::string originOf(const std::string& url) {
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos) return url;
    const size_t slash = url.find('/', scheme + 3);
    return slash == std::string::npos ? url : url.substr(0, slash);
}

std::string hrefOf(const XmlElement* prop) {
    if (!prop) return {};
    if (const XmlElement* href = prop->child(kDavNs, "href")) {
        std::string text = href->text;
        text.erase(0, text.find_first_not_of(" \t\r\n"));
        text.erase(text.find_last_not_of(" \t\r\n") + 1);
        return text;
    }
    return {};
}

bool holds(const XmlElement& e, std::string_view ns, std::string_view name) {
    if (e.ns == ns && e.name == name) return true;
    return std::any_of(e.children.begin(), e.children.end(), [&](const XmlElement& c) { return holds(c, ns, name); });
}

bool isCalendar(const DavResponse& r) {
    const XmlElement* type = r.prop(kDavNs, "resourcetype");
    return type && type->has(kCalDavNs, "calendar");
}

bool isCollection(const DavResponse& r) {
    const XmlElement* type = r.prop(kDavNs, "resourcetype");
    return type && type->has(kDavNs, "collection");
}

std::string lastSegment(std::string path) {
    while (!path.empty() && path.back() == '/') path.pop_back();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string statusMessage(long status, const std::string& what) {
    const std::string code = " (" + std::to_string(status) + ")";
    switch (status) {
    case 401: return "the server did not take the user name and password" + code;
    case 403: return "the server does not allow " + what + code;
    case 404: return "the server has nothing at the address of " + what + code;
    case 405: return "the server does not offer " + what + code;
    case 412: return "the server's copy changed while it was sent" + code;
    case 507: return "the server has no room left for " + what + code;
    default:
        if (status >= 500) return "the server failed at " + what + code;
        return "the server refused " + what + code;
    }
}

std::string CalDavClient::urlOf(const std::string& collection, const std::string& href) {
    std::string encoded;
    size_t start = 0;
    while (start <= href.size()) {
        const size_t slash = href.find('/', start);
        const size_t end = slash == std::string::npos ? href.size() : slash;
        encoded += encodeSegment(std::string_view(href).substr(start, end - start));
        if (slash == std::string::npos) break;
        encoded += '/';
        start = slash + 1;
    }
    return originOf(collection) + encoded;
}

HttpResponse CalDavClient::request(const std::string& method, const std::string& url, const std::string& body,
                                   std::vector<std::pair<std::string, std::string>> headers, const std::string& what) {
    if (!body.empty()) headers.emplace_back("Content-Type", "application/xml; charset=utf-8");
    HttpResponse r = http_.send({method, url, std::move(headers), body});
    if (r.status == 401) throw DavError(statusMessage(401, what));
    return r;
}

std::optional<CollectionInfo> CalDavClient::calendarAt(const std::string& url, std::string* principal,
                                                       std::string* home) {
    const std::string body = std::string(kXmlHead) +
                             "<d:propfind xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:prop>"
                             "<d:resourcetype/><d:displayname/><d:current-user-principal/><c:calendar-home-set/>"
                             "</d:prop></d:propfind>";
    const std::string what = "the look-up of " + displayAddress(url);
    const HttpResponse r = request("PROPFIND", url, body, {{"Depth", "0"}}, what);
    if (!ok(r.status)) return std::nullopt;
    const Multistatus ms = parseMultistatus(r.body, what);
    for (const DavResponse& resp : ms.responses) {
        if (isCalendar(resp)) return CollectionInfo{r.url, resp.propText(kDavNs, "displayname")};
        if (principal && principal->empty()) *principal = hrefOf(resp.prop(kDavNs, "current-user-principal"));
        if (home && home->empty()) *home = hrefOf(resp.prop(kCalDavNs, "calendar-home-set"));
    }
    // Later requests go where the answer came from (after redirects).
    if (principal && !principal->empty() && principal->front() == '/') *principal = originOf(r.url) + *principal;
    if (home && !home->empty() && home->front() == '/') *home = originOf(r.url) + *home;
    return std::nullopt;
}

std::vector<CollectionInfo> CalDavClient::discover(const std::string& url) {
    std::string principal, home;
    if (auto here = calendarAt(url, &principal, &home)) return {*here};
    if (principal.empty() && home.empty()) calendarAt(originOf(url) + "/.well-known/caldav", &principal, &home);
    if (home.empty() && !principal.empty()) calendarAt(principal, nullptr, &home);
    if (home.empty())
        throw DavError("no calendar was found at " + displayAddress(url) +
                       ": the server names no calendar home there nor at its /.well-known/caldav");

    const std::string body = std::string(kXmlHead) +
                             "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:resourcetype/><d:displayname/></d:prop>"
                             "</d:propfind>";
    const std::string what = "the list of calendars";
    const HttpResponse r = request("PROPFIND", home, body, {{"Depth", "1"}}, what);
    if (!ok(r.status)) throw DavError(statusMessage(r.status, what));
    std::vector<CollectionInfo> out;
    for (const DavResponse& resp : parseMultistatus(r.body, what).responses)
        if (isCalendar(resp)) {
            std::string name = resp.propText(kDavNs, "displayname");
            if (name.empty()) name = lastSegment(resp.href);
            out.push_back({urlOf(r.url, asFolder(resp.href)), name});
        }
    return out;
}

CollectionState CalDavClient::collectionState(const std::string& collection) {
    const std::string body = std::string(kXmlHead) +
                             "<d:propfind xmlns:d=\"DAV:\" xmlns:cs=\"http://calendarserver.org/ns/\"><d:prop>"
                             "<d:resourcetype/><d:sync-token/><cs:getctag/><d:supported-report-set/>"
                             "</d:prop></d:propfind>";
    const std::string what = "the state of the calendar";
    const HttpResponse r = request("PROPFIND", collection, body, {{"Depth", "0"}}, what);
    CollectionState state;
    if (r.status == 404 || r.status == 410) return state;
    if (!ok(r.status)) throw DavError(statusMessage(r.status, what));
    state.found = true;
    const Multistatus ms = parseMultistatus(r.body, what);
    const std::string self = asFolder(decodedPath(collection));
    for (const DavResponse& resp : ms.responses) {
        if (asFolder(resp.href) != self && ms.responses.size() > 1) continue;
        state.calendar = isCalendar(resp);
        state.syncToken = resp.propText(kDavNs, "sync-token");
        state.ctag = resp.propText(kCalServerNs, "getctag");
        const XmlElement* reports = resp.prop(kDavNs, "supported-report-set");
        state.syncCollection = reports && holds(*reports, kDavNs, "sync-collection");
        break;
    }
    return state;
}

Listing CalDavClient::syncCollection(const std::string& collection, const std::string& token) {
    const std::string body = std::string(kXmlHead) + "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>" +
                             xmlEscaped(token) +
                             "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop>"
                             "</d:sync-collection>";
    const std::string what = "the list of changes";
    const HttpResponse r = request("REPORT", collection, body, {}, what);
    if (r.status == 404 || r.status == 410) throw CollectionMissing();
    // An unknown or expired token: 403 or 409 with DAV:valid-sync-token, though some servers leave that out
    // or fail outright (Xandikos: 500). A full listing follows, which reports a server that really fails.
    if (!token.empty() && !ok(r.status)) throw SyncTokenInvalid();
    if (!ok(r.status)) throw DavError(statusMessage(r.status, what));
    const Multistatus ms = parseMultistatus(r.body, what);
    Listing out;
    out.full = token.empty();
    out.syncToken = ms.syncToken;
    if (out.syncToken.empty()) throw DavError("the server's list of changes has no sync token");
    const std::string self = asFolder(decodedPath(collection));
    for (const DavResponse& resp : ms.responses) {
        if (asFolder(resp.href) == self) continue;
        if (resp.status == 404 || resp.status == 410) {
            out.removed.push_back(resp.href);
        } else if (!isCollection(resp)) {
            out.changed.push_back({resp.href, resp.propText(kDavNs, "getetag")});
        }
    }
    return out;
}

Listing CalDavClient::listMembers(const std::string& collection) {
    const std::string body = std::string(kXmlHead) +
                             "<d:propfind xmlns:d=\"DAV:\"><d:prop><d:resourcetype/><d:getetag/></d:prop></d:propfind>";
    const std::string what = "the list of events";
    const HttpResponse r = request("PROPFIND", collection, body, {{"Depth", "1"}}, what);
    if (r.status == 404 || r.status == 410) throw CollectionMissing();
    if (!ok(r.status)) throw DavError(statusMessage(r.status, what));
    Listing out;
    out.full = true;
    const std::string self = asFolder(decodedPath(collection));
    for (const DavResponse& resp : parseMultistatus(r.body, what).responses) {
        if (asFolder(resp.href) == self || isCollection(resp)) continue;
        out.changed.push_back({resp.href, resp.propText(kDavNs, "getetag")});
    }
    return out;
}

std::vector<FetchedObject> CalDavClient::multiget(const std::string& collection, const std::vector<std::string>& hrefs,
                                                  std::size_t maxObject, std::size_t batch) {
    std::vector<FetchedObject> out;
    const std::string what = "the fetch of events";
    for (size_t first = 0; first < hrefs.size(); first += batch) {
        const size_t last = std::min(hrefs.size(), first + batch);
        std::string body = std::string(kXmlHead) +
                           "<c:calendar-multiget xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\">"
                           "<d:prop><d:getetag/><c:calendar-data/></d:prop>";
        std::vector<std::string> asked;
        for (size_t i = first; i < last; ++i) {
            // The address as this client writes it, so that the answer's decoded href matches.
            const std::string url = urlOf(collection, hrefs[i]);
            body += "<d:href>" + xmlEscaped(url.substr(originOf(url).size())) + "</d:href>";
            asked.push_back(hrefs[i]);
        }
        body += "</c:calendar-multiget>";
        const HttpResponse r = request("REPORT", collection, body, {{"Depth", "1"}}, what);
        if (!ok(r.status)) throw DavError(statusMessage(r.status, what));
        const Multistatus ms = parseMultistatus(r.body, what);
        std::vector<char> answered(asked.size(), 0);
        for (const DavResponse& resp : ms.responses) {
            const auto it = std::find(asked.begin(), asked.end(), resp.href);
            if (it == asked.end()) continue;  // not asked for: nothing to learn from it
            answered[static_cast<size_t>(it - asked.begin())] = 1;
            FetchedObject o;
            o.href = resp.href;
            o.etag = resp.propText(kDavNs, "getetag");
            const XmlElement* data = resp.prop(kCalDavNs, "calendar-data");
            if (resp.status == 404 || resp.status == 410 || !data) {
                o.missing = true;
            } else if (data->text.size() > maxObject) {
                o.tooLarge = true;
            } else {
                o.data = data->text;
            }
            out.push_back(std::move(o));
        }
        // A server that leaves an href out of its answer says nothing of it: such a member counts as
        // gone for now and is listed again later.
        for (size_t i = 0; i < asked.size(); ++i)
            if (!answered[i]) out.push_back({asked[i], {}, {}, true, false});
    }
    return out;
}

WriteResult CalDavClient::put(const std::string& collection, const std::string& href, const std::string& body,
                              const std::string& ifMatch) {
    std::vector<std::pair<std::string, std::string>> headers = {{"Content-Type", "text/calendar; charset=utf-8"}};
    if (ifMatch.empty()) headers.emplace_back("If-None-Match", "*");
    else headers.emplace_back("If-Match", ifMatch);
    const std::string what = "the writing of an event";
    const HttpResponse r = http_.send({"PUT", urlOf(collection, href), std::move(headers), body});
    if (r.status == 412) return {WriteOutcome::PreconditionFailed, {}};
    if (r.status == 409) return {WriteOutcome::Conflict, {}};
    if (r.status == 404 && !ifMatch.empty()) return {WriteOutcome::Gone, {}};
    if (!ok(r.status)) throw DavError(statusMessage(r.status, what));
    return {WriteOutcome::Done, r.etag};
}

WriteResult CalDavClient::remove(const std::string& collection, const std::string& href, const std::string& ifMatch) {
    std::vector<std::pair<std::string, std::string>> headers;
    if (!ifMatch.empty()) headers.emplace_back("If-Match", ifMatch);
    const std::string what = "the deletion of an event";
    const HttpResponse r = http_.send({"DELETE", urlOf(collection, href), std::move(headers), {}});
    if (r.status == 412) return {WriteOutcome::PreconditionFailed, {}};
    if (r.status == 404 || r.status == 410) return {WriteOutcome::Gone, {}};
    if (!ok(r.status)) throw DavError(statusMessage(r.status, what));
    return {WriteOutcome::Done, {}};
}

}  // namespace orv::sync
