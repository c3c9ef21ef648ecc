// Pictures drawn on many threads at once, each thread with CKelSvg objects of
// its own, come out exactly as drawn on one thread. This program's first test
// meets the process-wide state cold (registry, attribute and colour tables,
// fonts), so the threads race to build it.

#include "HostBitmap.h"
#include "ImageBytes.h"
#include "SvgTestSupport.h"
#include "interface/KelSvg.h"
#include "platform/gdiplus/GdiPlus.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Pixels = std::vector<uint32_t>;

const int kThreads = 8;
const int kRounds = 50;
const int kSide = 48;

// Documents that use the shared state differently: paths and shapes, text in
// several families and styles (with synthetic bold and italic, and characters
// the first family lacks, shaped runs of several scripts and directions),
// gradients, use copies, and PNG and JPEG pictures.
std::vector<std::string> Documents() {
    std::vector<std::string> texts;
    for (const char* name :
         {"shapes-house", "shapes-strokes", "gradients-orbs", "gradients-swatches", "text-poster",
          "hello", "image-scene", "text-layout"}) {
        Bytes bytes = ReadBytes(std::string(KELSVG_SOURCE_DIR) + "/examples/" + name + ".svg");
        texts.emplace_back(bytes.begin(), bytes.end());
    }
    texts.push_back(SvgDocument(
        48, 48,
        "<text x='2' y='14' font-family='Liberation Serif' font-size='12' font-weight='bold'>"
        "Ab&#x416;&#x3A9;&#x2603;</text>"
        "<text x='2' y='30' font-family='DejaVu Sans Mono' font-style='italic' "
        "text-decoration='underline'>q&#xE9;x</text>"
        "<text x='46' y='44' font-family='Nonesuch, serif' text-anchor='end'>Zz</text>"));
    texts.push_back(SvgDocument(
        48, 48,
        "<defs><radialGradient id='r' fx='0.3' fy='0.3'><stop offset='0' stop-color='gold'/>"
        "<stop offset='1' stop-color='#036' stop-opacity='0.5'/></radialGradient></defs>"
        "<path d='M4 4h12v12z' fill='url(#r)' stroke='tomato' stroke-dasharray='2 1'/>"
        "<circle id='c' cx='30' cy='10' r='6' fill='url(#r)'/><use xlink:href='#c' y='20'/>"
        "<use xlink:href='#c' x='-20' y='24' transform='scale(1.1)' fill='RebeccaPurple'/>"));
    texts.push_back(
        SvgDocument(48, 48,
                    "<image width='48' height='30' preserveAspectRatio='xMidYMid slice' href='" +
                        DataUrl(ReadBytes(std::string(KELSVG_TEST_DATA_DIR) +
                                          "/images/quadrants-progressive.jpg")) +
                        "'/>"));
    return texts;
}

enum Mode { kGraphics, kDeviceContext, kCache, kModes };

// One picture of a document through one draw path, as straight ARGB pixels.
std::vector<uint32_t> Draw(CKelSvg& picture, const std::string& path, Mode mode) {
    std::vector<char> name(path.begin(), path.end());
    name.push_back('\0');
    picture.CommandParseSVGFile(name.data());
    picture.CommandSetSVGWinRect(0, 0, kSide, kSide);
    HostBitmap target(kSide, kSide, 0x00000000);
    if (mode == kCache)
        picture.CommandCreateBitmapCache();
    if (mode == kDeviceContext) {
        picture.CommandDrawSVG(target.dc());
    } else {
        Gdiplus::Graphics graphics(static_cast<Gdiplus::GpImage*>(target.bitmap()));
        picture.CommandDrawSVGGraphics(&graphics);
    }
    std::vector<uint32_t> pixels;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            pixels.push_back(target.At(x, y));
    return pixels;
}

TEST(Threads, ManyPicturesAtOnceMatchOneThread) {
    std::vector<std::unique_ptr<TempSvgFile>> files;
    for (const std::string& text : Documents())
        files.push_back(std::make_unique<TempSvgFile>(text));
    const int documents = int(files.size());

    // Every thread goes through all documents and draw paths in an order of
    // its own; half of them make a new picture object each round, so engines
    // (and with them the element registry) come and go while others parse.
    std::vector<std::vector<Pixels>> drawn(kThreads);
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ++ready;
            while (ready.load() < kThreads) {
            }
            std::unique_ptr<CKelSvg> kept(new CKelSvg);
            for (int round = 0; round < kRounds; ++round) {
                int document = (t + round) % documents;
                Mode mode = Mode((t + round / documents) % kModes);
                std::unique_ptr<CKelSvg> fresh;
                if (t % 2)
                    fresh.reset(new CKelSvg);
                drawn[t].push_back(
                    Draw(fresh ? *fresh : *kept, files[size_t(document)]->Path(), mode));
                if (mode == kCache && !fresh)
                    kept.reset(new CKelSvg); // a cache stays until it is rebuilt
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    // The same pictures drawn on this thread alone.
    std::vector<std::vector<Pixels>> expected(static_cast<size_t>(documents));
    for (int d = 0; d < documents; ++d) {
        for (int mode = 0; mode < kModes; ++mode) {
            CKelSvg picture;
            expected[size_t(d)].push_back(Draw(picture, files[size_t(d)]->Path(), Mode(mode)));
        }
    }
    for (int d = 0; d < documents; ++d) {
        int ink = 0;
        for (uint32_t pixel : expected[size_t(d)][kGraphics])
            ink += pixel >> 24 != 0;
        EXPECT_GT(ink, 20) << "document " << d << " draws nothing";
    }
    for (int t = 0; t < kThreads; ++t) {
        for (int round = 0; round < kRounds; ++round) {
            int document = (t + round) % documents;
            int mode = (t + round / documents) % kModes;
            ASSERT_TRUE(drawn[t][size_t(round)] == expected[size_t(document)][size_t(mode)])
                << "thread " << t << ", round " << round << ", document " << document << ", mode "
                << mode;
        }
    }
}

} // namespace
