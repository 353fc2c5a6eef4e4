#pragma once
// The XML of WebDAV answers, read safely: namespaces resolved (servers choose their own prefixes), no
// document type, no entities, nothing fetched from the network; then the multistatus answer of PROPFIND
// and REPORT as responses with their properties.

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orv::sync {

inline constexpr const char* kDavNs = "DAV:";
inline constexpr const char* kCalDavNs = "urn:ietf:params:xml:ns:caldav";
inline constexpr const char* kCalServerNs = "http://calendarserver.org/ns/";

// An answer the client cannot use: malformed XML, a status that means failure. UTF-8.
class DavError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct XmlElement {
    std::string ns;
    std::string name;
    std::string text;  // the element's own character data, joined
    std::vector<XmlElement> children;

    const XmlElement* child(std::string_view ns, std::string_view name) const;
    bool has(std::string_view ns, std::string_view name) const { return child(ns, name) != nullptr; }
};

// Throws DavError naming the fault; what names the request for the message.
XmlElement parseXml(std::string_view body, const std::string& what);

struct DavResponse {
    std::string href;  // the path, percent-decoded
    int status = 0;    // of the response itself (a member gone from a sync report: 404); 0 when absent
    // The properties found (a propstat of status 2xx), by namespace + " " + name.
    std::map<std::string, XmlElement> props;

    const XmlElement* prop(std::string_view ns, std::string_view name) const;
    std::string propText(std::string_view ns, std::string_view name) const;
};

struct Multistatus {
    std::vector<DavResponse> responses;
    std::string syncToken;
};

Multistatus parseMultistatus(std::string_view body, const std::string& what);

// The path of an address (absolute path or full URL), percent-decoded, for comparing addresses that
// servers encode differently.
std::string decodedPath(std::string_view href);
// Percent-encodes every byte of a path segment that is not unreserved.
std::string encodeSegment(std::string_view segment);

// Text with &, < and > escaped for an element's content.
std::string xmlEscaped(std::string_view text);

}  // namespace orv::sync
