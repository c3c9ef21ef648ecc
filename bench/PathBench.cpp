// Parsing and building a path of a million commands.
#include "syntax/SvgPathBuilder.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

constexpr int commandCount = 1'000'000;

// A mix of every command, absolute and relative, with typical drawing numbers.
const std::string& millionCommandPath() {
    static const std::string text = [] {
        std::string s = "M100.5 200.25";
        s.reserve(commandCount * 24);
        char buffer[96];
        for (int i = 0; i < commandCount; ++i) {
            const double a = (i % 977) * 0.125, b = (i % 613) * 0.5;
            switch (i % 10) {
            case 0:
                std::snprintf(buffer, sizeof buffer, "L%.3f %.3f", a, b);
                break;
            case 1:
                std::snprintf(buffer, sizeof buffer, "c%.2f,%.2f %.2f,%.2f %.2f,%.2f", a, b, b, a,
                              -a, 1.5);
                break;
            case 2:
                std::snprintf(buffer, sizeof buffer, "s%.2f %.2f %.2f %.2f", a, -b, b, a);
                break;
            case 3:
                std::snprintf(buffer, sizeof buffer, "Q%.1f %.1f %.1f %.1f", a, b, b, a);
                break;
            case 4:
                std::snprintf(buffer, sizeof buffer, "t%.2f-%.2f", a, b);
                break;
            case 5:
                std::snprintf(buffer, sizeof buffer, "a%.1f %.1f 30 0 1 %.1f %.1f", 5 + a, 3 + b,
                              10 + a, -b);
                break;
            case 6:
                std::snprintf(buffer, sizeof buffer, "h%.3f", a);
                break;
            case 7:
                std::snprintf(buffer, sizeof buffer, "V%.3f", b);
                break;
            case 8:
                std::snprintf(buffer, sizeof buffer, "l%.4g,%.4g", -a, 1e-3 * b);
                break;
            default:
                std::snprintf(buffer, sizeof buffer, "zM%.2f %.2f", b, a);
                break;
            }
            s += buffer;
        }
        return s;
    }();
    return text;
}

// Recognises the grammar and converts the numbers, building nothing.
class NullParser : public SvgPathParser {
public:
    bool moveTo(bool, float, float) override { return true; }
    bool closePath() override { return true; }
    bool lineTo(bool, float, float) override { return true; }
    bool lineToHorizontal(bool, float) override { return true; }
    bool lineToVertical(bool, float) override { return true; }
    bool curveTo(bool, float, float, float, float, float, float) override { return true; }
    bool smoothCurveTo(bool, float, float, float, float) override { return true; }
    bool quadTo(bool, float, float, float, float) override { return true; }
    bool smoothQuadTo(bool, float, float) override { return true; }
    bool arcTo(bool, float, float, float, float, float, bool, bool) override { return true; }
};

void ParseMillionCommands(benchmark::State& state) {
    const std::string& text = millionCommandPath();
    for (auto _ : state) {
        NullParser parser;
        bool ok = parser.run(text);
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations() * commandCount);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(ParseMillionCommands)->Unit(benchmark::kMillisecond);

void BuildMillionCommands(benchmark::State& state) {
    const std::string& text = millionCommandPath();
    std::size_t segments = 0;
    for (auto _ : state) {
        SvgPathData record;
        SvgPathBuilder builder(&record);
        builder.parseData(text);
        segments = record.segmentCount;
        benchmark::DoNotOptimize(record.data);
    }
    state.counters["segments"] = static_cast<double>(segments);
    state.SetItemsProcessed(state.iterations() * commandCount);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BuildMillionCommands)->Unit(benchmark::kMillisecond);

// Linear time: twice the commands should take twice as long.
void BuildLinesScaling(benchmark::State& state) {
    std::string text = "M0 0";
    for (int64_t i = 0; i < state.range(0); ++i)
        text += "l1.5 -2.25";
    for (auto _ : state) {
        SvgPathData record;
        SvgPathBuilder builder(&record);
        builder.parseData(text);
        benchmark::DoNotOptimize(record.data);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BuildLinesScaling)
    ->RangeMultiplier(4)
    ->Range(1 << 14, 1 << 22)
    ->Complexity(benchmark::oN);

} // namespace
