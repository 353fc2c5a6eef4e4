// A calendar server's answers of any bytes (first byte: 0 a multistatus, else a calendar object): nothing
// may crash, hang or expand; a multistatus gives decoded absolute paths, an object a kind and, for a day,
// a text that an export of it reads back as the same day.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/cp1252.h"
#include "sync/calendar_objects.h"
#include "sync/dav_xml.h"

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "server answer: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orv::sync;
    if (size == 0) return 0;
    const std::string_view body(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (data[0] == 0) {
        try {
            for (const DavResponse& r : parseMultistatus(body, "a fuzzed request").responses)
                check(!r.href.empty(), "a response without its path");
        } catch (const DavError&) {
        }
        return 0;
    }
    const ServerObject o = readServerObject(body, "Ann", 46000, 46400);
    if (o.kind == ServerObject::Kind::Day) {
        check(orv::isValidUtf8(o.text), "a day's text that is no UTF-8");
        const std::string again = newDayObject("Ann", o.day, o.text, 0);
        if (!again.empty()) {
            const ServerObject back = readServerObject(again, "Ann", 46000, 46400);
            check(back.kind == ServerObject::Kind::Day && back.day == o.day, "an exported day read back elsewhere");
        }
    }
    for (const auto& line : o.lines) check(line.date >= 46000 && line.date <= 46400, "an entry outside the span");
    return 0;
}
