// Decoding a large picture for the main window: at its natural size, and at the reduced scale the window
// uses when the picture is far larger than the screen. Building the ticker's list from a long birthday list.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/jpeg_decoder.h"
#include "app/jpeg_test_util.h"
#include "common/day_number.h"
#include "ticker/upcoming_list.h"

namespace {

const std::string& largePicture() {
    static const std::string file = orv::test::makeJpeg({.width = 4000, .height = 3000, .quality = 80});
    return file;
}

void BM_DecodeLargePicture(benchmark::State& state) {
    const bool scaled = state.range(0) != 0;
    orv::JpegDecoder decoder;
    if (scaled) {
        decoder.targetWidth = 1280;
        decoder.targetHeight = 1024;
    }
    for (auto _ : state) {
        auto img = decoder.decode(largePicture());
        if (!img) state.SkipWithError(decoder.error().c_str());
        benchmark::DoNotOptimize(img);
    }
    state.SetLabel(scaled ? "scaled to cover 1280x1024" : "natural size");
}
BENCHMARK(BM_DecodeLargePicture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_BuildTickerFromLongList(benchmark::State& state) {
    std::vector<orv::YearlyRow> rows;
    for (int i = 0; i < state.range(0); ++i)
        rows.push_back(
            {"Name " + std::to_string(i), "Birthday", std::to_string(i % 12 + 1), std::to_string(i % 28 + 1)});
    const int today = orv::dayNumber(2026, 6, 10);
    for (auto _ : state) benchmark::DoNotOptimize(orv::BuildTicker(rows, {}, today));
}
BENCHMARK(BM_BuildTickerFromLongList)->Arg(1000)->Arg(100000);

}  // namespace
