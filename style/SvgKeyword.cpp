#include "style/SvgKeyword.h"

#include "style/SvgBlendMode.h"
#include "style/SvgShapeRendering.h"

const SvgKeyword kFillRuleKeywords[] = {{"nonzero", 0}, {"evenodd", 2}, {nullptr, 0}};

const SvgKeyword kStrokeLinecapKeywords[] = {
    {"butt", 0}, {"round", 1}, {"square", 2}, {nullptr, 0}};

const SvgKeyword kStrokeLinejoinKeywords[] = {
    {"miter", 0}, {"round", 1}, {"bevel", 2}, {nullptr, 0}};

const SvgKeyword kFontStyleKeywords[] = {
    {"normal", 0}, {"italic", 1}, {"oblique", 2}, {nullptr, 0}};

const SvgKeyword kFontSizeKeywords[] = {
    {"xx-small", 0}, {"x-small", 1},  {"small", 2},   {"medium", 3}, {"large", 4},
    {"x-large", 5},  {"xx-large", 6}, {"smaller", 7}, {"larger", 8}, {nullptr, 0}};

const SvgKeyword kFontVariantKeywords[] = {{"normal", 0}, {"small-caps", 1}, {nullptr, 0}};

const SvgKeyword kFontWeightKeywords[] = {
    {"100", 0},   {"200", 1},      {"300", 2},     {"400", 3},  {"500", 4},
    {"600", 5},   {"700", 6},      {"800", 7},     {"900", 8},  {"normal", 9},
    {"bold", 10}, {"lighter", 11}, {"bolder", 12}, {nullptr, 0}};

const SvgKeyword kFontStretchKeywords[] = {
    {"ultra-condensed", 0}, {"extra-condensed", 1}, {"condensed", 2}, {"semi-condensed", 3},
    {"normal", 4},          {"semi-expanded", 5},   {"expanded", 6},  {"extra-expanded", 7},
    {"ultra-expanded", 8},  {"narrower", 9},        {"wider", 10},    {nullptr, 0}};

const float kFontStretchPercent[9] = {50, 62.5f, 75, 87.5f, 100, 112.5f, 125, 150, 200};

const SvgKeyword kTextAlignKeywords[] = {{"start", 0},  {"end", 1},     {"left", 2}, {"right", 3},
                                         {"center", 4}, {"justify", 5}, {nullptr, 0}};

const SvgKeyword kTextTransformKeywords[] = {
    {"capitalize", 0}, {"uppercase", 1}, {"lowercase", 2}, {"none", 3}, {nullptr, 0}};

const SvgKeyword kTextAnchorKeywords[] = {{"start", 0}, {"middle", 1}, {"end", 2}, {nullptr, 0}};

const SvgKeyword kDirectionKeywords[] = {{"ltr", 0}, {"rtl", 1}, {nullptr, 0}};

const SvgKeyword kBlockProgressionKeywords[] = {{"tb", 0}, {"rl", 1}, {"lr", 2}, {nullptr, 0}};

const SvgKeyword kWritingModeKeywords[] = {
    {"lr-tb", 0}, {"rl-tb", 1},         {"tb-rl", 2},       {"lr", 0},          {"rl", 1},
    {"tb", 2},    {"horizontal-tb", 0}, {"vertical-rl", 2}, {"vertical-lr", 3}, {nullptr, 0}};

const SvgKeyword kBaselineKeywords[] = {
    {"auto", 0},         {"use-script", 0},      {"no-change", 0},
    {"reset-size", 0},   {"baseline", 0},        {"alphabetic", 1},
    {"middle", 2},       {"central", 3},         {"hanging", 4},
    {"mathematical", 5}, {"ideographic", 6},     {"text-before-edge", 7},
    {"before-edge", 7},  {"text-after-edge", 8}, {"after-edge", 8},
    {"text-top", 9},     {"text-bottom", 10},    {nullptr, 0}};

const SvgKeyword kBaselineShiftKeywords[] = {
    {"baseline", 0}, {"sub", 1}, {"super", 2}, {nullptr, 0}};

const SvgKeyword kGlyphOrientationKeywords[] = {{"auto", 0}, {"0", 1},     {"0deg", 1},
                                                {"90", 2},   {"90deg", 2}, {nullptr, 0}};

const SvgKeyword kVisibilityKeywords[] = {
    {"hidden", 0}, {"collapse", 1}, {"visible", 2}, {nullptr, 0}};

const SvgKeyword kOverflowKeywords[] = {
    {"visible", 0}, {"hidden", 1}, {"scroll", 2}, {"auto", 3}, {nullptr, 0}};

const SvgKeyword kDisplayKeywords[] = {{"none", 0},
                                       {"inline", 1},
                                       {"block", 2},
                                       {"list-item", 3},
                                       {"run-in", 4},
                                       {"compact", 5},
                                       {"marker", 6},
                                       {"table", 7},
                                       {"inline-table", 8},
                                       {"table-row-group", 9},
                                       {"table-header-group", 10},
                                       {"table-footer-group", 11},
                                       {"table-row", 12},
                                       {"table-column-group", 13},
                                       {"table-column", 14},
                                       {"table-cell", 15},
                                       {"table-caption", 16},
                                       {nullptr, 0}};

const SvgKeyword kEnableBackgroundKeywords[] = {{"accumulate", 0}, {"new", 1}, {nullptr, 0}};

#define KEYWORD(name, value)                                                                       \
    { name, static_cast<unsigned char>(value) }

const SvgKeyword kShapeRenderingKeywords[] = {
    KEYWORD("auto", SvgShapeRendering::Auto),
    KEYWORD("optimizeSpeed", SvgShapeRendering::OptimizeSpeed),
    KEYWORD("crispEdges", SvgShapeRendering::CrispEdges),
    KEYWORD("geometricPrecision", SvgShapeRendering::GeometricPrecision),
    {nullptr, 0}};

const SvgKeyword kMixBlendModeKeywords[] = {KEYWORD("normal", SvgBlendMode::Normal),
                                            KEYWORD("multiply", SvgBlendMode::Multiply),
                                            KEYWORD("screen", SvgBlendMode::Screen),
                                            KEYWORD("overlay", SvgBlendMode::Overlay),
                                            KEYWORD("darken", SvgBlendMode::Darken),
                                            KEYWORD("lighten", SvgBlendMode::Lighten),
                                            KEYWORD("color-dodge", SvgBlendMode::ColorDodge),
                                            KEYWORD("color-burn", SvgBlendMode::ColorBurn),
                                            KEYWORD("hard-light", SvgBlendMode::HardLight),
                                            KEYWORD("soft-light", SvgBlendMode::SoftLight),
                                            KEYWORD("difference", SvgBlendMode::Difference),
                                            KEYWORD("exclusion", SvgBlendMode::Exclusion),
                                            KEYWORD("hue", SvgBlendMode::Hue),
                                            KEYWORD("saturation", SvgBlendMode::Saturation),
                                            KEYWORD("color", SvgBlendMode::Color),
                                            KEYWORD("luminosity", SvgBlendMode::Luminosity),
                                            {nullptr, 0}};

const SvgKeyword kIsolationKeywords[] = {
    KEYWORD("auto", SvgIsolation::Auto), KEYWORD("isolate", SvgIsolation::Isolate), {nullptr, 0}};

#undef KEYWORD

const SvgKeyword kColorRenderingKeywords[] = {
    {"auto", 0}, {"optimizeSpeed", 0}, {"optimizeQuality", 0}, {nullptr, 0}};

// optimizeSpeed, crisp-edges and pixelated (2 and up) ask for the nearest pixel.
const SvgKeyword kImageRenderingKeywords[] = {
    {"auto", 0},          {"optimizeQuality", 0}, {"smooth", 0},    {"high-quality", 0},
    {"optimizeSpeed", 2}, {"crisp-edges", 3},     {"pixelated", 4}, {nullptr, 0}};

const SvgKeyword kTextRenderingKeywords[] = {{"auto", 0},
                                             {"optimizeSpeed", 1},
                                             {"optimizeLegibility", 2},
                                             {"geometricPrecision", 3},
                                             {nullptr, 0}};

const SvgKeyword kUnicodeBidiKeywords[] = {
    {"normal", 0},           {"embed", 1},     {"isolate", 2}, {"bidi-override", 3},
    {"isolate-override", 4}, {"plaintext", 5}, {nullptr, 0}};

const SvgKeyword kFontKerningKeywords[] = {{"auto", 0}, {"normal", 1}, {"none", 2}, {nullptr, 0}};
