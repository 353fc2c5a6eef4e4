#include "sync/dav_xml.h"

#include <memory>

#include <libxml/parser.h>
#include <libxml/tree.h>

namespace orv::sync {
namespace {

// Deeper than any multistatus answer; a deeper one is refused rather than walked.
constexpr int kMaxDepth = 64;

bool blankOnly(std::string_view s) { return s.find_first_not_of(" \t\r\n") == std::string_view::npos; }

void convert(const xmlNode* node, XmlElement& out, int depth, const std::string& what) {
    if (depth > kMaxDepth) throw DavError("the answer to " + what + " is nested too deeply");
    out.ns = node->ns && node->ns->href ? reinterpret_cast<const char*>(node->ns->href) : "";
    out.name = reinterpret_cast<const char*>(node->name);
    for (const xmlNode* c = node->children; c; c = c->next) {
        switch (c->type) {
        case XML_ELEMENT_NODE: {
            out.children.emplace_back();
            convert(c, out.children.back(), depth + 1, what);
            break;
        }
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
            if (c->content) out.text += reinterpret_cast<const char*>(c->content);
            break;
        case XML_ENTITY_REF_NODE: throw DavError("the answer to " + what + " uses entities; refused");
        default: break;
        }
    }
}

int statusCode(std::string_view line) {
    // "HTTP/1.1 404 Not Found"
    const size_t blank = line.find(' ');
    if (blank == std::string_view::npos) return 0;
    int code = 0;
    size_t i = blank + 1;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) code = code * 10 + (line[i] - '0');
    return code >= 100 && code <= 999 ? code : 0;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string trimmed(std::string_view s) {
    while (!s.empty() && blankOnly(s.substr(0, 1))) s.remove_prefix(1);
    while (!s.empty() && blankOnly(s.substr(s.size() - 1))) s.remove_suffix(1);
    return std::string(s);
}

}  // namespace

const XmlElement* XmlElement::child(std::string_view wantNs, std::string_view wantName) const {
    for (const XmlElement& c : children)
        if (c.name == wantName && c.ns == wantNs) return &c;
    return nullptr;
}

XmlElement parseXml(std::string_view body, const std::string& what) {
    // Document types bring entities, and entities bring expansion bombs and outside files: none is taken.
    if (body.find("<!DOCTYPE") != std::string_view::npos || body.find("<!ENTITY") != std::string_view::npos)
        throw DavError("the answer to " + what + " declares a document type; refused");
    if (body.size() > static_cast<size_t>(INT32_MAX)) throw DavError("the answer to " + what + " is too large");
    const std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> ctxt(xmlNewParserCtxt(), xmlFreeParserCtxt);
    if (!ctxt) throw DavError("no memory to read the answer to " + what);
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_NOCDATA;
    const std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> doc(
        xmlCtxtReadMemory(ctxt.get(), body.data(), static_cast<int>(body.size()), "answer.xml", nullptr, options),
        xmlFreeDoc);
    if (!doc || !ctxt->wellFormed) {
        const xmlError* e = xmlCtxtGetLastError(ctxt.get());
        std::string why = e && e->message ? trimmed(e->message) : "not well-formed";
        if (e) why += " at line " + std::to_string(e->line);
        throw DavError("the server's answer to " + what + " is not valid XML (" + why + ")");
    }
    if (doc->intSubset || doc->extSubset) throw DavError("the answer to " + what + " declares a document type; refused");
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!root) throw DavError("the server's answer to " + what + " is empty");
    XmlElement out;
    convert(root, out, 0, what);
    return out;
}

const XmlElement* DavResponse::prop(std::string_view ns, std::string_view name) const {
    const auto it = props.find(std::string(ns) + " " + std::string(name));
    return it == props.end() ? nullptr : &it->second;
}

std::string DavResponse::propText(std::string_view ns, std::string_view name) const {
    const XmlElement* p = prop(ns, name);
    return p ? trimmed(p->text) : std::string();
}

Multistatus parseMultistatus(std::string_view body, const std::string& what) {
    XmlElement root = parseXml(body, what);
    if (root.ns != kDavNs || root.name != "multistatus")
        throw DavError("the server's answer to " + what + " is no multistatus (it is <" + root.name + ">)");
    Multistatus out;
    for (XmlElement& r : root.children) {
        if (r.ns == kDavNs && r.name == "sync-token") {
            out.syncToken = trimmed(r.text);
            continue;
        }
        if (r.ns != kDavNs || r.name != "response") continue;
        DavResponse response;
        const XmlElement* href = r.child(kDavNs, "href");
        if (!href || blankOnly(href->text)) throw DavError("the server's answer to " + what + " has a response without href");
        response.href = decodedPath(trimmed(href->text));
        // An href of only a query or a fragment names nothing.
        if (response.href.empty()) throw DavError("the server's answer to " + what + " has a response without href");
        if (const XmlElement* status = r.child(kDavNs, "status")) response.status = statusCode(trimmed(status->text));
        for (XmlElement& ps : r.children) {
            if (ps.ns != kDavNs || ps.name != "propstat") continue;
            const XmlElement* status = ps.child(kDavNs, "status");
            const int code = status ? statusCode(trimmed(status->text)) : 200;
            if (code < 200 || code > 299) continue;
            for (XmlElement& prop : ps.children) {
                if (prop.ns != kDavNs || prop.name != "prop") continue;
                for (XmlElement& p : prop.children) {
                    std::string key = p.ns + " " + p.name;
                    response.props.emplace(std::move(key), std::move(p));
                }
            }
        }
        out.responses.push_back(std::move(response));
    }
    return out;
}

std::string decodedPath(std::string_view href) {
    std::string_view path = href;
    if (const size_t scheme = path.find("://"); scheme != std::string_view::npos && scheme < path.find('/')) {
        const size_t slash = path.find('/', scheme + 3);
        path = slash == std::string_view::npos ? std::string_view("/") : path.substr(slash);
    }
    if (const size_t query = path.find_first_of("?#"); query != std::string_view::npos) path = path.substr(0, query);
    std::string out;
    out.reserve(path.size());
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '%' && i + 2 < path.size() && hexValue(path[i + 1]) >= 0 && hexValue(path[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(path[i + 1]) * 16 + hexValue(path[i + 2]));
            i += 2;
        } else {
            out += path[i];
        }
    }
    // "//" inside a path is one separator to every server met so far.
    std::string collapsed;
    collapsed.reserve(out.size());
    for (const char c : out)
        if (!(c == '/' && !collapsed.empty() && collapsed.back() == '/')) collapsed += c;
    return collapsed;
}

std::string encodeSegment(std::string_view segment) {
    static const char* kHex = "0123456789ABCDEF";
    std::string out;
    for (const char ch : segment) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string xmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace orv::sync
