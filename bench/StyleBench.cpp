// Speed of reading styles: the attribute name lookup, one element's style
// read and merged, and a whole icon's worth of elements.
#include "style/SvgAttributeTable.h"
#include "style/SvgStyle.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <tinyxml.h>
#include <vector>

namespace {

const char* const kNames[] = {"fill",  "d",       "stroke-width", "x",          "transform", "id",
                              "style", "opacity", "unknown-name", "font-family"};

void BM_LookupAttributeId(benchmark::State& state) {
    int sum = 0;
    for (auto _ : state) {
        for (const char* name : kNames)
            sum += LookupAttributeId(name);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 10);
}
BENCHMARK(BM_LookupAttributeId);

const char* const kIcon =
    "<svg width='24' height='24'>"
    "<g fill='#333' stroke='none' font-size='12'>"
    "<path d='M2 2h20v20H2z' fill='#4a90d9' fill-rule='evenodd'/>"
    "<path d='M4 4l16 16' stroke='#fff' stroke-width='2' stroke-linecap='round' fill='none'/>"
    "<circle cx='12' cy='12' r='4' style='fill:#fff;fill-opacity:0.8;stroke:#000;"
    "stroke-width:0.5;stroke-dasharray:1,1'/>"
    "<rect x='1' y='1' width='4' height='4' opacity='0.5' fill='currentColor' color='red'/>"
    "<text x='2' y='20' font-family='Sans' font-weight='bold'>A</text>"
    "</g></svg>";

// Reads and merges the style of every element below the root, as loading does.
void ReadTree(const TiXmlElement* e, const SvgStyle* parent,
              std::vector<std::unique_ptr<SvgStyle>>& out) {
    for (const TiXmlElement* c = e->FirstChildElement(); c; c = c->NextSiblingElement()) {
        auto style = std::make_unique<SvgStyle>();
        style->parent = parent;
        style->ReadFromElement(c);
        const SvgStyle* self = style.get();
        out.push_back(std::move(style));
        ReadTree(c, self, out);
    }
}

void BM_ReadIconStyles(benchmark::State& state) {
    TiXmlDocument doc;
    doc.Parse(kIcon);
    std::vector<std::unique_ptr<SvgStyle>> styles;
    styles.reserve(16);
    for (auto _ : state) {
        styles.clear();
        ReadTree(doc.RootElement(), nullptr, styles);
        benchmark::DoNotOptimize(styles.data());
    }
    state.SetItemsProcessed(state.iterations() * 6);
}
BENCHMARK(BM_ReadIconStyles);

void BM_StyleAttribute(benchmark::State& state) {
    for (auto _ : state) {
        SvgStyle style;
        style.ReadStyleAttribute("fill:#fff;fill-opacity:0.8;stroke:#000;stroke-width:0.5;"
                                 "stroke-linejoin:round;opacity:1");
        benchmark::DoNotOptimize(&style);
    }
}
BENCHMARK(BM_StyleAttribute);

void BM_NewStyle(benchmark::State& state) {
    for (auto _ : state) {
        SvgStyle style;
        benchmark::DoNotOptimize(&style);
    }
}
BENCHMARK(BM_NewStyle);

void BM_MergeFromParent(benchmark::State& state) {
    SvgStyle parent;
    parent.ReadStyleAttribute("fill:red;stroke:blue;font-family:Sans;font-size:14");
    SvgStyle child;
    child.ReadStyleAttribute("stroke-width:2em");
    for (auto _ : state) {
        child.MergeFromParent(&parent);
        benchmark::DoNotOptimize(&child);
    }
}
BENCHMARK(BM_MergeFromParent);

} // namespace
