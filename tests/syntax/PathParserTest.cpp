#include "syntax/SvgPathParser.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>

namespace {

// Records every callback as text: "M 10 20;l 30 40;Z", values in shortest form.
class RecordingParser : public SvgPathParser {
public:
    std::string calls;
    bool closeResult = true;

    bool moveTo(bool abs, float x, float y) override { return add('M', abs, {x, y}); }
    bool closePath() override {
        add('Z', true, {});
        return closeResult;
    }
    bool lineTo(bool abs, float x, float y) override { return add('L', abs, {x, y}); }
    bool lineToHorizontal(bool abs, float x) override { return add('H', abs, {x}); }
    bool lineToVertical(bool abs, float y) override { return add('V', abs, {y}); }
    bool curveTo(bool abs, float x, float y, float x1, float y1, float x2, float y2) override {
        return add('C', abs, {x, y, x1, y1, x2, y2});
    }
    bool smoothCurveTo(bool abs, float x, float y, float x2, float y2) override {
        return add('S', abs, {x, y, x2, y2});
    }
    bool quadTo(bool abs, float x, float y, float x1, float y1) override {
        return add('Q', abs, {x, y, x1, y1});
    }
    bool smoothQuadTo(bool abs, float x, float y) override { return add('T', abs, {x, y}); }
    bool arcTo(bool abs, float x, float y, float rx, float ry, float rotation, bool large,
               bool sweep) override {
        return add('A', abs, {x, y, rx, ry, rotation, float(large), float(sweep)});
    }

private:
    bool add(char name, bool abs, std::initializer_list<float> values) {
        if (!calls.empty())
            calls += ';';
        calls += abs ? name : char(name - 'A' + 'a');
        char buffer[32];
        for (float v : values) {
            calls += ' ';
            calls.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
        }
        return true;
    }
};

struct Case {
    const char* text;
    bool ok;
    const char* calls;
};

void check(const Case& c) {
    RecordingParser parser;
    EXPECT_EQ(parser.run(c.text), c.ok) << c.text;
    EXPECT_EQ(parser.calls, c.calls) << c.text;
}

TEST(PathParser, Grammar) {
    const Case cases[] = {
        // Empty and blank texts are empty paths; no move, no path.
        {"", true, ""},
        {" \t\r\n ", true, ""},
        {"L10 10", false, ""},
        // Separators.
        {"M10 20L30 40", true, "M 10 20;L 30 40"},
        {" M 10 , 20 \n L\t30 ,40  ", true, "M 10 20;L 30 40"},
        {"M10,20,L30,40", false, "M 10 20"},
        {"M10,,20", false, ""},
        // Pairs after a move are lines of the move's case.
        {"m10 20 30 40", true, "m 10 20;l 30 40"},
        {"M1 2 3 4,5 6", true, "M 1 2;L 3 4;L 5 6"},
        // Signs, periods and exponents.
        {"M0 0L10-5", true, "M 0 0;L 10 -5"},
        {"M0 0L.5.5", true, "M 0 0;L 0.5 0.5"},
        {"M0 0L1e2 1E-1", true, "M 0 0;L 100 0.1"},
        {"M0.05 10H90.05V100.5", true, "M 0.05 10;H 90.05;V 100.5"},
        {"M0 0L+3-.25 1.e1+0", true, "M 0 0;L 3 -0.25;L 10 0"},
        {"M0 0x10", false, "M 0 0"},
        // An e without exponent: the number is its leading digits, its value
        // the whole mantissa; nothing falls back without leading digits.
        {"M0 0L1e 2", false, "M 0 0"},
        {"M0 0L10 1.5e", false, "M 0 0;L 10 1.5"},
        {"M0 0L10 .5e", false, "M 0 0"},
        // Flags are single bytes; radii carry no sign.
        {"M0 0A10 10 0 1120 20", true, "M 0 0;A 20 20 10 10 0 1 1"},
        {"M0 0a5,6,-30,0,1,7,8", true, "M 0 0;a 7 8 5 6 -30 0 1"},
        {"M0 0A10 10 0 2 1 20 20", false, "M 0 0"},
        {"M0 0A-10 10 0 0 1 20 20", false, "M 0 0"},
        {"M0 0A1 1 0 0 1 2 2 -1 1 0 0 1 3 3", false, "M 0 0;A 2 2 1 1 0 0 1"},
        // Every command, end point first; repeated argument sets.
        {"M1 2C3 4 5 6 7 8S9 10 11 12Q13 14 15 16T17 18H19V20", true,
         "M 1 2;C 7 8 3 4 5 6;S 11 12 9 10;Q 15 16 13 14;T 17 18;H 19;V 20"},
        {"m0 0c1 2 3 4 5 6s1 2 3 4q1 2 3 4t1 2h3-4v4", true,
         "m 0 0;c 5 6 1 2 3 4;s 3 4 1 2;q 3 4 1 2;t 1 2;h 3;h -4;v 4"},
        // Closes and subpaths.
        {"M0 0 Z M5 5 z", true, "M 0 0;Z;M 5 5;Z"},
        {"M0 0zzm1 1", true, "M 0 0;Z;Z;m 1 1"},
        {"M0 0 z 5 5", false, "M 0 0;Z"},
        // Errors keep the callbacks made before them.
        {"M0 0 L10 10 X 5", false, "M 0 0;L 10 10"},
        {"M0 0 L10", false, "M 0 0"},
        {"M0 0 L10 -", false, "M 0 0"},
        {"M0 0 L10 +.", false, "M 0 0"},
        {"M0 0 L1 1 ;", false, "M 0 0;L 1 1"},
        // Only tab, line feed, carriage return and space are white space.
        {"M0 0 L10\f20", false, "M 0 0"},
        {"\fM0 0", false, ""},
        {"M0 0\v", false, "M 0 0"},
        // Numbers beyond a float's range end the path.
        {"M0 0L1e39 0", false, "M 0 0"},
        {"M0 0L-1e99999999999999999 0", false, "M 0 0"},
        {"M0 0L3.4028234e38 1e-400", true, "M 0 0;L 3.4028235e+38 0"},
    };
    for (const Case& c : cases)
        check(c);
}

TEST(PathParser, RunDetails) {
    RecordingParser parser;
    EXPECT_TRUE(parser.run(static_cast<const char*>(nullptr)));
    // A zero byte ends the text.
    EXPECT_TRUE(parser.run(std::string("M0 0\0garbage", 12)));
    // A close refused by its callback fails the run.
    RecordingParser refusing;
    refusing.closeResult = false;
    EXPECT_FALSE(refusing.run("M0 0 L1 1 Z L2 2"));
    EXPECT_EQ(refusing.calls, "M 0 0;L 1 1;Z");
}

TEST(PathParser, NumberConversion) {
    auto convert = [](const std::string& text, float& v) {
        return SvgPathParser::convertNumber(text.data(), text.data() + text.size(), v);
    };
    float v = 1;
    // Converted as a double, then narrowed: ties round to even.
    ASSERT_TRUE(convert("16777217", v));
    EXPECT_EQ(v, 16777216.0f);
    ASSERT_TRUE(convert("-0.000001e-999999999999", v));
    EXPECT_TRUE(v == 0 && std::signbit(v));
    EXPECT_FALSE(convert("1e400", v));
    EXPECT_FALSE(convert("inf", v));
    EXPECT_FALSE(convert("-nan", v));
    ASSERT_TRUE(convert("-2.5", v));
    EXPECT_EQ(v, -2.5f);
    // Long numbers take the slow path and agree with the short one.
    const std::string nines(5000, '9');
    check({("M0 0L0." + nines + " 0.1000000000000000000000001").c_str(), true, "M 0 0;L 1 0.1"});
    check({("M0 0L" + nines + " 0").c_str(), false, "M 0 0"});
}

} // namespace
