// iCalendar files of any bytes: read and expanded over two years, nothing may crash or hang, and every
// entry line must fit a day and fall inside the span.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/day_number.h"
#include "events/entry_stamper.h"
#include "events/ical_reader.h"

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "iCalendar: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orv;
    const int first = dayNumber(2025, 1, 1);
    const int last = dayNumber(2026, 12, 31);
    try {
        IcalReader reader(std::string_view(reinterpret_cast<const char*>(data), size));
        for (const StampItem& item : reader.entries(first, last)) {
            check(item.date >= first && item.date <= last, "an entry outside the span");
            check(item.line.size() >= 4 && item.line.front() == '<' && item.line.ends_with(">\r\n"), "an entry line");
        }
        // An Orvella export's days come whole, still inside the span.
        for (const StampItem& item : reader.entries(first, last, true))
            check(item.date >= first && item.date <= last && !item.line.empty(), "a day outside the span");
    } catch (const IcalError&) {
    }
    return 0;
}
