#include "style/SvgAttributeTable.h"

#include <cstdint>
#include <cstring>

namespace {

// The names in number order: entry i has number i + 1.
const char* const kAttributeNames[kAttributeCount] = {
    "id",                                       // 1
    "inkscape:collect",                         // 2
    "inkscape:label",                           // 3
    "transform",                                // 4
    "sodipodi:insensitive",                     // 5
    "sodipodi:nonprintable",                    // 6
    "inkscape:connector-avoid",                 // 7
    "style",                                    // 8
    "inkscape:transform-center-x",              // 9
    "inkscape:transform-center-y",              // 10
    "inkscape:path-effect",                     // 11
    "xlink:href",                               // 12
    "xlink:type",                               // 13
    "xlink:role",                               // 14
    "xlink:arcrole",                            // 15
    "xlink:title",                              // 16
    "xlink:show",                               // 17
    "xlink:actuate",                            // 18
    "target",                                   // 19
    "inkscape:groupmode",                       // 20
    "version",                                  // 21
    "width",                                    // 22
    "height",                                   // 23
    "viewBox",                                  // 24
    "preserveAspectRatio",                      // 25
    "sodipodi:version",                         // 26
    "inkscape:version",                         // 27
    "viewonly",                                 // 28
    "showguides",                               // 29
    "showgrid",                                 // 30
    "gridtolerance",                            // 31
    "guidetolerance",                           // 32
    "objecttolerance",                          // 33
    "guidecolor",                               // 34
    "guideopacity",                             // 35
    "guidehicolor",                             // 36
    "guidehiopacity",                           // 37
    "showborder",                               // 38
    "inkscape:showpageshadow",                  // 39
    "borderlayer",                              // 40
    "bordercolor",                              // 41
    "borderopacity",                            // 42
    "pagecolor",                                // 43
    "inkscape:pageopacity",                     // 44
    "inkscape:pageshadow",                      // 45
    "inkscape:zoom",                            // 46
    "inkscape:cx",                              // 47
    "inkscape:cy",                              // 48
    "inkscape:window-width",                    // 49
    "inkscape:window-height",                   // 50
    "inkscape:window-x",                        // 51
    "inkscape:window-y",                        // 52
    "inkscape:snap-global",                     // 53
    "inkscape:snap-bbox",                       // 54
    "inkscape:snap-nodes",                      // 55
    "inkscape:snap-guide",                      // 56
    "inkscape:snap-center",                     // 57
    "inkscape:snap-intersection-grid-guide",    // 58
    "inkscape:snap-intersection-line-segments", // 59
    "inkscape:object-paths",                    // 60
    "inkscape:object-nodes",                    // 61
    "inkscape:bbox-paths",                      // 62
    "inkscape:bbox-nodes",                      // 63
    "inkscape:current-layer",                   // 64
    "inkscape:document-units",                  // 65
    "inkscape:connector-spacing",               // 66
    "local",                                    // 67
    "name",                                     // 68
    "rendering-intent",                         // 69
    "orientation",                              // 70
    "position",                                 // 71
    "x",                                        // 72
    "y",                                        // 73
    "d",                                        // 74
    "inkscape:original-d",                      // 75
    "inkscape:connector-type",                  // 76
    "inkscape:connection-start",                // 77
    "inkscape:connection-end",                  // 78
    "rx",                                       // 79
    "ry",                                       // 80
    "inkscape:perspectiveID",                   // 81
    "inkscape:corner0",                         // 82
    "inkscape:corner7",                         // 83
    "inkscape:box3dsidetype",                   // 84
    "inkscape:persp3d",                         // 85
    "inkscape:vp_x",                            // 86
    "inkscape:vp_y",                            // 87
    "inkscape:vp_z",                            // 88
    "inkscape:persp3d-origin",                  // 89
    "r",                                        // 90
    "cx",                                       // 91
    "cy",                                       // 92
    "sodipodi:cx",                              // 93
    "sodipodi:cy",                              // 94
    "sodipodi:rx",                              // 95
    "sodipodi:ry",                              // 96
    "sodipodi:start",                           // 97
    "sodipodi:end",                             // 98
    "sodipodi:open",                            // 99
    "sodipodi:sides",                           // 100
    "sodipodi:r1",                              // 101
    "sodipodi:r2",                              // 102
    "sodipodi:arg1",                            // 103
    "sodipodi:arg2",                            // 104
    "inkscape:flatsided",                       // 105
    "inkscape:rounded",                         // 106
    "inkscape:randomized",                      // 107
    "sodipodi:expansion",                       // 108
    "sodipodi:revolution",                      // 109
    "sodipodi:radius",                          // 110
    "sodipodi:argument",                        // 111
    "sodipodi:t0",                              // 112
    "sodipodi:original",                        // 113
    "inkscape:original",                        // 114
    "inkscape:href",                            // 115
    "inkscape:radius",                          // 116
    "x1",                                       // 117
    "y1",                                       // 118
    "x2",                                       // 119
    "y2",                                       // 120
    "points",                                   // 121
    "dx",                                       // 122
    "dy",                                       // 123
    "rotate",                                   // 124
    "sodipodi:role",                            // 125
    "sodipodi:linespacing",                     // 126
    "startOffset",                              // 127
    "offset",                                   // 128
    "filterUnits",                              // 129
    "primitiveUnits",                           // 130
    "filterRes",                                // 131
    "in",                                       // 132
    "result",                                   // 133
    "mode",                                     // 134
    "in2",                                      // 135
    "type",                                     // 136
    "values",                                   // 137
    "tableValues",                              // 138
    "slope",                                    // 139
    "intercept",                                // 140
    "amplitude",                                // 141
    "exponent",                                 // 142
    "operator",                                 // 143
    "k1",                                       // 144
    "k2",                                       // 145
    "k3",                                       // 146
    "k4",                                       // 147
    "order",                                    // 148
    "kernelMatrix",                             // 149
    "divisor",                                  // 150
    "bias",                                     // 151
    "targetX",                                  // 152
    "targetY",                                  // 153
    "edgeMode",                                 // 154
    "kernelUnitLength",                         // 155
    "preserveAlpha",                            // 156
    "surfaceScale",                             // 157
    "diffuseConstant",                          // 158
    "scale",                                    // 159
    "xChannelSelector",                         // 160
    "yChannelSelector",                         // 161
    "azimuth",                                  // 162
    "elevation",                                // 163
    "z",                                        // 164
    "pointsAtX",                                // 165
    "pointsAtY",                                // 166
    "pointsAtZ",                                // 167
    "limitingConeAngle",                        // 168
    "flood-color",                              // 169
    "flood-opacity",                            // 170
    "stdDeviation",                             // 171
    "radius",                                   // 172
    "specularConstant",                         // 173
    "specularExponent",                         // 174
    "baseFrequency",                            // 175
    "numOctaves",                               // 176
    "seed",                                     // 177
    "stitchTiles",                              // 178
    "gradientUnits",                            // 179
    "gradientTransform",                        // 180
    "spreadMethod",                             // 181
    "fx",                                       // 182
    "fy",                                       // 183
    "patternUnits",                             // 184
    "patternContentUnits",                      // 185
    "patternTransform",                         // 186
    "clipPathUnits",                            // 187
    "maskUnits",                                // 188
    "maskContentUnits",                         // 189
    "markerUnits",                              // 190
    "refX",                                     // 191
    "refY",                                     // 192
    "markerWidth",                              // 193
    "markerHeight",                             // 194
    "orient",                                   // 195
    "attributeName",                            // 196
    "attributeType",                            // 197
    "begin",                                    // 198
    "dur",                                      // 199
    "end",                                      // 200
    "min",                                      // 201
    "max",                                      // 202
    "restart",                                  // 203
    "repeatCount",                              // 204
    "repeatDur",                                // 205
    "calcMode",                                 // 206
    "keyTimes",                                 // 207
    "keySplines",                               // 208
    "from",                                     // 209
    "to",                                       // 210
    "by",                                       // 211
    "additive",                                 // 212
    "accumulate",                               // 213
    "xml:space",                                // 214
    "inkscape:srcNoMarkup",                     // 215
    "inkscape:srcPango",                        // 216
    "inkscape:dstShape",                        // 217
    "inkscape:dstPath",                         // 218
    "inkscape:dstBox",                          // 219
    "inkscape:dstColumn",                       // 220
    "inkscape:excludeShape",                    // 221
    "inkscape:layoutOptions",                   // 222
    "-inkscape-font-specification",             // 223
    "font",                                     // 224
    "font-family",                              // 225
    "font-size",                                // 226
    "font-size-adjust",                         // 227
    "font-stretch",                             // 228
    "font-style",                               // 229
    "font-variant",                             // 230
    "font-weight",                              // 231
    "text-indent",                              // 232
    "text-align",                               // 233
    "text-decoration",                          // 234
    "line-height",                              // 235
    "letter-spacing",                           // 236
    "word-spacing",                             // 237
    "text-transform",                           // 238
    "direction",                                // 239
    "block-progression",                        // 240
    "writing-mode",                             // 241
    "unicode-bidi",                             // 242
    "alignment-baseline",                       // 243
    "baseline-shift",                           // 244
    "dominant-baseline",                        // 245
    "glyph-orientation-horizontal",             // 246
    "glyph-orientation-vertical",               // 247
    "kerning",                                  // 248
    "text-anchor",                              // 249
    "clip",                                     // 250
    "color",                                    // 251
    "cursor",                                   // 252
    "display",                                  // 253
    "overflow",                                 // 254
    "visibility",                               // 255
    "clip-path",                                // 256
    "clip-rule",                                // 257
    "mask",                                     // 258
    "opacity",                                  // 259
    "enable-background",                        // 260
    "filter",                                   // 261
    "flood-color",                              // 262
    "flood-opacity",                            // 263
    "lighting-color",                           // 264
    "stop-color",                               // 265
    "stop-opacity",                             // 266
    "pointer-events",                           // 267
    "color-interpolation",                      // 268
    "color-interpolation-filters",              // 269
    "color-profile",                            // 270
    "color-rendering",                          // 271
    "fill",                                     // 272
    "fill-opacity",                             // 273
    "fill-rule",                                // 274
    "image-rendering",                          // 275
    "marker",                                   // 276
    "marker-end",                               // 277
    "marker-mid",                               // 278
    "marker-start",                             // 279
    "shape-rendering",                          // 280
    "stroke",                                   // 281
    "stroke-dasharray",                         // 282
    "stroke-dashoffset",                        // 283
    "stroke-linecap",                           // 284
    "stroke-linejoin",                          // 285
    "stroke-miterlimit",                        // 286
    "stroke-opacity",                           // 287
    "stroke-width",                             // 288
    "text-rendering",                           // 289
    "systemLanguage",                           // 290
    "requiredFeatures",                         // 291
    "requiredExtensions",                       // 292
    "effect",                                   // 293
    "transform-origin",                         // 294
    "mix-blend-mode",                           // 295
    "isolation",                                // 296
    "paint-order",                              // 297
    "font-kerning",                             // 298
    "font-variation-settings",                  // 299
};

// Open-addressing hash set of name numbers, built on first use. Names that
// occur twice in the table (flood-color, flood-opacity) keep the later number,
// the one in the style-property rows.
class AttributeMap {
public:
    AttributeMap() {
        for (int id = 1; id <= kAttributeCount; ++id) {
            const char* name = kAttributeNames[id - 1];
            size_t len = std::strlen(name);
            m_lengths[id] = static_cast<uint8_t>(len);
            if (len > m_maxLength)
                m_maxLength = len;
            uint32_t slot = Hash(name, len) & kMask;
            while (m_slots[slot] != 0 && std::strcmp(kAttributeNames[m_slots[slot] - 1], name) != 0)
                slot = (slot + 1) & kMask;
            m_slots[slot] = static_cast<uint16_t>(id);
        }
    }

    int Find(const char* name, size_t len) const {
        if (len == 0 || len > m_maxLength)
            return 0;
        uint32_t slot = Hash(name, len) & kMask;
        while (uint16_t id = m_slots[slot]) {
            if (m_lengths[id] == len && std::memcmp(kAttributeNames[id - 1], name, len) == 0)
                return id;
            slot = (slot + 1) & kMask;
        }
        return 0;
    }

private:
    static constexpr uint32_t kSize = 1024; // power of two, about a quarter full
    static constexpr uint32_t kMask = kSize - 1;

    static uint32_t Hash(const char* s, size_t len) {
        uint32_t h = 2166136261u; // FNV-1a
        for (size_t i = 0; i < len; ++i) {
            h ^= static_cast<unsigned char>(s[i]);
            h *= 16777619u;
        }
        return h ^ (h >> 15);
    }

    uint16_t m_slots[kSize] = {};
    uint8_t m_lengths[kAttributeCount + 1] = {};
    size_t m_maxLength = 0;
};

const AttributeMap& Map() {
    static const AttributeMap map;
    return map;
}

} // namespace

int LookupAttributeId(const char* name) {
    if (!name)
        return 0;
    return Map().Find(name, std::strlen(name));
}

int LookupAttributeId(const char* name, size_t length) {
    if (!name)
        return 0;
    return Map().Find(name, length);
}

const char* AttributeName(int id) {
    if (id < 1 || id > kAttributeCount)
        return nullptr;
    return kAttributeNames[id - 1];
}
