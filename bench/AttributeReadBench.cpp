// Attribute text reading: a 1 MB style attribute and a 1 MB number list.
#include "style/SvgValueReaders.h"
#include "syntax/SvgDeclaration.h"
#include "syntax/SvgNumberText.h"
#include "syntax/SvgScanner.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kMegabyte = 1 << 20;

// A style attribute of about 1 MB made of typical declarations.
const std::string& styleText() {
    static const std::string text = [] {
        const char* parts[] = {"fill:#ff0000",
                               "stroke : blue",
                               "stroke-width:1.5px",
                               "opacity:0.75",
                               "font-family:'DejaVu Sans'",
                               "font-size:12pt",
                               "stroke-dasharray:4, 2, 1",
                               "/* note */ display:inline",
                               "font-weight:bold",
                               "stroke-miterlimit:4"};
        std::string s;
        std::size_t i = 0;
        while (s.size() < kMegabyte) {
            s += parts[i++ % (sizeof parts / sizeof *parts)];
            s += "; ";
        }
        return s;
    }();
    return text;
}

// A number list of about 1 MB: coordinates with fractions, signs and exponents.
const std::string& numberText() {
    static const std::string text = [] {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> coordinate(-1000.0, 1000.0);
        std::string s;
        char buffer[32];
        int i = 0;
        while (s.size() < kMegabyte) {
            double v = coordinate(random);
            if (i % 10 == 9)
                std::snprintf(buffer, sizeof buffer, "%.3e", v);
            else
                std::snprintf(buffer, sizeof buffer, "%.3f", v);
            s += buffer;
            s += (i++ % 3 == 0) ? ", " : " ";
        }
        s += "0";
        return s;
    }();
    return text;
}

void BM_StyleDeclarations(benchmark::State& state) {
    const std::string& text = styleText();
    for (auto _ : state) {
        SvgString string(text);
        SvgScanner scanner;
        std::vector<SvgDeclaration*> list;
        scanner.readDeclarations(list, string);
        benchmark::DoNotOptimize(list.data());
        for (SvgDeclaration* d : list)
            delete d;
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_StyleDeclarations)->Unit(benchmark::kMillisecond);

// Declarations, then each value through its reader, as the style reader does.
void BM_StyleDeclarationsAndValues(benchmark::State& state) {
    const std::string& text = styleText();
    for (auto _ : state) {
        SvgString string(text);
        SvgScanner scanner;
        std::vector<SvgDeclaration*> list;
        scanner.readDeclarations(list, string);
        for (SvgDeclaration* d : list) {
            const char* v = d->value.c_str();
            const std::string& n = d->name;
            if (n == "stroke-width") {
                SvgLength l;
                ReadLength(l, v);
                benchmark::DoNotOptimize(l.computed);
            } else if (n == "font-size") {
                SvgFontSize f;
                ReadFontSize(f, v);
                benchmark::DoNotOptimize(f.computed);
            } else if (n == "opacity") {
                SvgScale24 o;
                ReadScale24(o, v);
                benchmark::DoNotOptimize(o);
            } else if (n == "stroke-dasharray") {
                SvgDashArray a;
                ReadDashArray(a, v);
                benchmark::DoNotOptimize(a.dashes);
            } else if (n == "font-weight") {
                SvgEnumValue e;
                ReadEnum(e, v, kFontWeightKeywords, true);
                benchmark::DoNotOptimize(e);
            } else if (n == "display") {
                SvgEnumValue e;
                ReadEnum(e, v, kDisplayKeywords, true);
                benchmark::DoNotOptimize(e);
            } else if (n == "font-family") {
                SvgStringValue s;
                ReadStringValue(s, Dequote(v).c_str());
                benchmark::DoNotOptimize(s.value.c_str());
            } else if (n == "stroke-miterlimit") {
                SvgNumber m;
                ReadNumber(m, v);
                benchmark::DoNotOptimize(m.value);
            }
            delete d;
        }
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_StyleDeclarationsAndValues)->Unit(benchmark::kMillisecond);

void BM_NumberList(benchmark::State& state) {
    const std::string& text = numberText();
    std::vector<float> list;
    for (auto _ : state) {
        SvgString string(text);
        SvgScanner scanner;
        list.clear();
        bool ok = scanner.readNumberList(list, string);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(list.data());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
    state.counters["numbers"] = static_cast<double>(list.size());
}
BENCHMARK(BM_NumberList)->Unit(benchmark::kMillisecond);

// The conversion alone, against the C library's locale-bound strtod on the same text.
void BM_NumberTextScan(benchmark::State& state) {
    const std::string& text = numberText();
    for (auto _ : state) {
        const char* p = text.data();
        const char* end = p + text.size();
        double sum = 0.0;
        while (p < end) {
            double v = 0.0;
            std::size_t used = SvgNumberText::Scan(p, end, v);
            sum += v;
            p += used ? used : 1;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_NumberTextScan)->Unit(benchmark::kMillisecond);

void BM_CLibraryStrtod(benchmark::State& state) {
    const std::string& text = numberText();
    for (auto _ : state) {
        const char* p = text.c_str();
        const char* end = p + text.size();
        double sum = 0.0;
        while (p < end) {
            char* next = nullptr;
            double v = std::strtod(p, &next);
            sum += v;
            p = next > p ? next : p + 1;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_CLibraryStrtod)->Unit(benchmark::kMillisecond);

void BM_ReadLengthShort(benchmark::State& state) {
    const char* texts[] = {"12", "1.5px", "10mm", "50%", "2em", "inherit", "3 px"};
    for (auto _ : state) {
        for (const char* t : texts) {
            SvgLength l;
            ReadLength(l, t);
            benchmark::DoNotOptimize(l.computed);
        }
    }
    state.SetItemsProcessed(state.iterations() * 7);
}
BENCHMARK(BM_ReadLengthShort);

} // namespace
