// data: URLs: base64 read as browsers do, other data with %XX escapes.

#include "syntax/SvgDataUrl.h"

#include <gtest/gtest.h>

namespace {

TEST(DataUrl, ReadsBase64AndEscapedDataAndRefusesTheRest) {
    const struct {
        const char* text;
        bool readable;
        const char* bytes;
    } cases[] = {
        {"data:image/png;base64,SGVsbG8=", true, "Hello"},
        {"DATA:;BASE64,SGVs bG8\n", true, "Hello"},         // any case, white space skipped
        {"data:image/png; base64 ,SGVsbA==", true, "Hell"}, // spaces around the word
        {"data:image/png;base64,SGVsbA", true, "Hell"},     // padding may be left out
        {"data:,a%20b%2", true, "a b%2"},                   // a broken escape stays
        {"data:image/png;base64,SGVsbG8=x", false, ""},     // data after the padding
        {"data:image/png;base64,S", false, ""},             // one lone sextet
        {"data:image/png;base64,SG!s", false, ""},
        {"data:image/png;base64", false, ""}, // no comma
        {"image.png", false, ""},
        {"dat", false, ""},
    };
    for (const auto& c : cases) {
        std::vector<unsigned char> out = {1};
        EXPECT_EQ(c.readable, SvgDataUrl::Decode(c.text, out)) << c.text;
        EXPECT_EQ(std::string(c.bytes), std::string(out.begin(), out.end())) << c.text;
    }
    EXPECT_FALSE(SvgDataUrl::IsDataUrl(nullptr));
}

} // namespace
