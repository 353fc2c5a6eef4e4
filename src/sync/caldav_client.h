#pragma once
// The CalDAV (RFC 4791) and WebDAV sync (RFC 6578) requests a calendar sync needs, over one HttpClient:
// finding a calendar collection from a server's address, the collection's state, its members and their
// ETags, their bodies in batches, and conditional writes. Addresses in answers are compared decoded.

#include <optional>
#include <string>
#include <vector>

#include "sync/http_client.h"

namespace orv::sync {

struct CollectionInfo {
    std::string url;
    std::string displayName;  // UTF-8; may be empty
};

struct CollectionState {
    bool found = false;     // false: the address answers 404
    bool calendar = false;  // a calendar collection
    std::string syncToken;
    std::string ctag;
    bool syncCollection = false;  // offers the sync-collection report
};

struct Member {
    std::string href;  // decoded path
    std::string etag;  // as received; empty when the server gave none
};

struct Listing {
    std::vector<Member> changed;       // every member when full
    std::vector<std::string> removed;  // hrefs; only from a sync report
    std::string syncToken;
    bool full = false;
};

struct FetchedObject {
    std::string href;
    std::string etag;
    std::string data;      // the calendar object, UTF-8
    bool missing = false;  // gone since it was listed
    bool tooLarge = false;
};

enum class WriteOutcome { Done, PreconditionFailed, Conflict, Gone };

struct WriteResult {
    WriteOutcome outcome = WriteOutcome::Done;
    std::string etag;  // of the stored object; empty when the server gave none
};

// The sync token given to the report is no longer known to the server: list everything instead.
class SyncTokenInvalid : public std::runtime_error {
public:
    SyncTokenInvalid() : std::runtime_error("the server no longer knows the sync token") {}
};

// The collection answers 404: moved or deleted.
class CollectionMissing : public std::runtime_error {
public:
    CollectionMissing() : std::runtime_error("the collection is not there (404)") {}
};

class CalDavClient {
public:
    explicit CalDavClient(HttpClient& http) : http_(http) {}

    // The calendar collections reachable from url: url itself when it is one, else those of the calendar
    // home of the user's principal, found through the address itself or the server's /.well-known/caldav.
    // Throws DavError (none found, refused credentials) or HttpError.
    std::vector<CollectionInfo> discover(const std::string& url);

    CollectionState collectionState(const std::string& collection);
    // Changes since token (all members when it is empty); throws SyncTokenInvalid for an expired token.
    // This and listMembers throw CollectionMissing for a collection that is not there.
    Listing syncCollection(const std::string& collection, const std::string& token);
    // Every member with its ETag, by PROPFIND.
    Listing listMembers(const std::string& collection);
    // The bodies of hrefs, as many per request as batch; maxObject bounds each one.
    std::vector<FetchedObject> multiget(const std::string& collection, const std::vector<std::string>& hrefs,
                                        std::size_t maxObject, std::size_t batch = 500);

    // ifMatch empty: a new object (If-None-Match: *).
    WriteResult put(const std::string& collection, const std::string& href, const std::string& body,
                    const std::string& ifMatch);
    WriteResult remove(const std::string& collection, const std::string& href, const std::string& ifMatch);

    // The address of a decoded path on the collection's server.
    static std::string urlOf(const std::string& collection, const std::string& href);

private:
    HttpResponse request(const std::string& method, const std::string& url, const std::string& body,
                         std::vector<std::pair<std::string, std::string>> headers, const std::string& what);
    std::optional<CollectionInfo> calendarAt(const std::string& url, std::string* principal, std::string* home);

    HttpClient& http_;
};

// The message for an answer of a failing status to a request described by what.
std::string statusMessage(long status, const std::string& what);

}  // namespace orv::sync
