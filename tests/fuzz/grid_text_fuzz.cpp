// The grid text format ("Events.dat", "VEvents.dat" with one fixed row and column; none for a backup set's
// "Backup.inf") of any bytes: whatever is read must be written and read back as the same table, and the
// yearly dates list must take it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/grid_text.h"

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "grid text: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace orv;
    if (size == 0) return 0;
    const int fixed = data[0] % 2;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const GridTextRead read = readGridText(bytes, fixed);
    const GridText& t = read.table;
    check(t.columns() <= kGridTextMaxColumns + fixed && t.rows() <= kGridTextMaxRows + fixed, "bounds");
    if (t.columns() <= fixed || t.rows() <= fixed) return 0;  // nothing a file could hold

    const GridTextRead back = readGridText(writeGridText(t, fixed), fixed);
    check(back.status == GridTextStatus::Ok, "the written table reads as corrupt");
    check(back.table.columns() == t.columns() && back.table.rows() == t.rows(), "the size");
    for (int c = 0; c < t.columns(); ++c) {
        check(back.table.width(c) == t.width(c), "a width");
        for (int r = fixed; r < t.rows(); ++r)
            if (c >= fixed) check(back.table.cell(c, r) == t.cell(c, r), "a cell");
    }
    return 0;
}
