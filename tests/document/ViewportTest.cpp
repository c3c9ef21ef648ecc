#include "SvgTestSupport.h"
#include "interface/SvgCommand.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Matrix {
    float m[6];
};

Matrix RootMatrix(SvgEngine& engine) {
    Matrix out{};
    SvgRootElement* root = engine.GetRoot();
    EXPECT_NE(root, nullptr);
    if (root) {
        root->ComputeViewportMatrix();
        root->GetViewportElements(out.m);
    }
    return out;
}

Matrix Parsed(SvgEngine& engine, const std::string& attributes) {
    ParseText(engine, Svg(attributes, ""));
    return RootMatrix(engine);
}

void ExpectMatrix(const Matrix& m, float sx, float sy, float dx, float dy) {
    EXPECT_FLOAT_EQ(m.m[0], sx);
    EXPECT_FLOAT_EQ(m.m[1], 0);
    EXPECT_FLOAT_EQ(m.m[2], 0);
    EXPECT_FLOAT_EQ(m.m[3], sy);
    EXPECT_FLOAT_EQ(m.m[4], dx);
    EXPECT_FLOAT_EQ(m.m[5], dy);
}

TEST(Viewport, EveryAlignmentKeyword) {
    // 200 x 100 over a 100 x 100 viewBox: x has room (50 free); 100 x 200: y has room.
    struct Row {
        const char* keyword;
        float wideDx;
        float tallDy;
    } rows[] = {{"xMinYMin", 0, 0},   {"xMidYMin", 50, 0},   {"xMaxYMin", 100, 0},
                {"xMinYMid", 0, 50},  {"xMidYMid", 50, 50},  {"xMaxYMid", 100, 50},
                {"xMinYMax", 0, 100}, {"xMidYMax", 50, 100}, {"xMaxYMax", 100, 100}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keyword);
        std::string par = std::string(" preserveAspectRatio=\"") + row.keyword + "\"";
        SvgEngine wide;
        ExpectMatrix(Parsed(wide, "width=\"200\" height=\"100\" viewBox=\"0 0 100 100\"" + par), 1,
                     1, row.wideDx, 0);
        SvgEngine tall;
        ExpectMatrix(Parsed(tall, "width=\"100\" height=\"200\" viewBox=\"0 0 100 100\"" + par), 1,
                     1, 0, row.tallDy);
    }
}

TEST(Viewport, OtherTextScalesUniformlyWithoutOffset) {
    for (const char* text :
         {"", "XMIDYMID", "xMidYMad", "xMidYMid meet slice", "xMidYMid Meet", "xMidYMidmeet"}) {
        SCOPED_TRACE(text);
        SvgEngine engine;
        ExpectMatrix(Parsed(engine, std::string("width=\"200\" height=\"100\" viewBox=\"0 0 100 "
                                                "100\" preserveAspectRatio=\"") +
                                        text + "\""),
                     1, 1, 0, 0);
    }
}

void SetWindow(SvgEngine& engine, int width, int height) {
    int rect[4] = {0, 0, width, height};
    SvgCommand command(SvgCommandSetWinRect);
    command.AllocateRect();
    std::copy(rect, rect + 4, command.intArray);
    engine.Dispatch(command);
}

TEST(Viewport, NoViewBoxMapsOneToOneUntilTheWindowChanges) {
    SvgEngine engine;
    ExpectMatrix(Parsed(engine, "width=\"100\" height=\"100\""), 1, 1, 0, 0);
    EXPECT_DOUBLE_EQ(engine.GetRoot()->GetViewBox().getWidth(), 100);
    SetWindow(engine, 200, 50);
    ExpectMatrix(RootMatrix(engine), 2, 0.5f, 0, 0);
    // An axis without a size follows the window one to one; the given height still scales.
    SvgEngine axis;
    Parsed(axis, "height=\"25\"");
    EXPECT_EQ(axis.GetWidth(), 0);
    SetWindow(axis, 200, 50);
    ExpectMatrix(RootMatrix(axis), 1, 2, 0, 0);
}

TEST(Viewport, ViewBoxOriginMapsToTheViewportCorner) {
    SvgEngine engine;
    ExpectMatrix(Parsed(engine, "width=\"100\" height=\"100\" viewBox=\"50 20 50 50\""), 2, 2, -100,
                 -40);
    SvgEngine aligned;
    ExpectMatrix(Parsed(aligned, "width=\"200\" height=\"100\" viewBox=\"10 10 100 100\" "
                                 "preserveAspectRatio=\"xMidYMid\""),
                 1, 1, 40, -10);
    // Meet by default: the y axis has room, (150 - 50 * 2) / 2 = 25, and is centred.
    SvgEngine centred;
    ExpectMatrix(Parsed(centred, "width=\"200\" height=\"150\" viewBox=\"10 20 100 50\""), 2, 2,
                 -20, 25 - 40);
    // Stretched: each axis's origin moves by its own scale.
    SvgEngine stretched;
    ExpectMatrix(Parsed(stretched, "width=\"200\" height=\"150\" viewBox=\"10 20 100 50\" "
                                   "preserveAspectRatio=\"none\""),
                 2, 3, -20, -60);
}

TEST(Viewport, OnlyTheWindowOfAnotherShapeStretches) {
    // 200 x 100 over a 100 x 100 viewBox: scale 1, centred at 50; a window
    // twice as wide stretches that along x only.
    SvgEngine engine;
    ExpectMatrix(Parsed(engine, "width=\"200\" height=\"100\" viewBox=\"0 0 100 100\""), 1, 1, 50,
                 0);
    SetWindow(engine, 400, 100);
    ExpectMatrix(RootMatrix(engine), 2, 1, 100, 0);
    // Slice: 100 x 100 covered by 100 x 50 at scale 2, centred along y.
    SvgEngine slice;
    ExpectMatrix(Parsed(slice, "width=\"100\" height=\"100\" viewBox=\"0 0 100 50\" "
                               "preserveAspectRatio=\"xMidYMid slice\""),
                 2, 2, -50, 0);
}

TEST(Viewport, NestedSvgIsPlacedAtItsXAndY) {
    SvgEngine engine;
    ParseText(engine, Svg("width=\"100\" height=\"100\" x=\"7\"",
                          "<svg id=\"inner\" x=\"10\" y=\"20\" width=\"50\" height=\"50\" "
                          "viewBox=\"5 5 25 25\"/>"));
    ASSERT_NE(engine.GetRoot(), nullptr);
    // The outermost svg ignores its own x.
    ExpectMatrix(RootMatrix(engine), 1, 1, 0, 0);
    auto* inner = dynamic_cast<SvgRootElement*>(engine.FindElementById("inner"));
    ASSERT_NE(inner, nullptr);
    Matrix m{};
    inner->ComputeViewportMatrix();
    inner->GetViewportElements(m.m);
    ExpectMatrix(m, 2, 2, 0, 10);
}

TEST(Viewport, MissingSizeComesFromTheViewBox) {
    const struct {
        const char* attributes;
        float width, height;
    } rows[] = {{"viewBox=\"0 0 64 32\"", 64, 32},
                {"width=\"100%\" height=\"2em\" viewBox=\"0 0 64 32\"", 64, 32},
                {"width=\"1in\" height=\"12pt\" viewBox=\"0 0 64 32\"", 96, 16},
                {"viewBox=\"0,0,64,32 \"", 64, 32},
                {"viewBox=\"0,0,64\"", 0, 0}};
    for (const auto& row : rows) {
        SvgEngine engine;
        ParseText(engine, Svg(row.attributes, ""));
        EXPECT_FLOAT_EQ(engine.GetWidth(), row.width) << row.attributes;
        EXPECT_FLOAT_EQ(engine.GetHeight(), row.height) << row.attributes;
    }
}

} // namespace
