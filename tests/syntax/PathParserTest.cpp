#include "syntax/SvgPathParser.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <string>
#include <vector>

namespace {

// Records every callback as one line of text, values in their shortest exact form.
class RecordingParser : public SvgPathParser {
public:
    std::vector<std::string> calls;
    bool closeResult = true;

    bool moveTo(bool abs, float x, float y) override { return add("M", abs, {x, y}); }
    bool closePath() override {
        calls.push_back("Z");
        return closeResult;
    }
    bool lineTo(bool abs, float x, float y) override { return add("L", abs, {x, y}); }
    bool lineToHorizontal(bool abs, float x) override { return add("H", abs, {x}); }
    bool lineToVertical(bool abs, float y) override { return add("V", abs, {y}); }
    bool curveTo(bool abs, float x, float y, float x1, float y1, float x2, float y2) override {
        return add("C", abs, {x, y, x1, y1, x2, y2});
    }
    bool smoothCurveTo(bool abs, float x, float y, float x2, float y2) override {
        return add("S", abs, {x, y, x2, y2});
    }
    bool quadTo(bool abs, float x, float y, float x1, float y1) override {
        return add("Q", abs, {x, y, x1, y1});
    }
    bool smoothQuadTo(bool abs, float x, float y) override { return add("T", abs, {x, y}); }
    bool arcTo(bool abs, float x, float y, float rx, float ry, float rotation, bool large,
               bool sweep) override {
        return add("A", abs, {x, y, rx, ry, rotation, float(large), float(sweep)});
    }

private:
    bool add(const char* name, bool abs, std::initializer_list<float> values) {
        std::string line = abs ? name : std::string(1, char(name[0] - 'A' + 'a'));
        char buffer[32];
        for (float v : values) {
            // Shortest exact form, independent of the locale.
            const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
            line += ' ';
            line.append(buffer, end);
        }
        calls.push_back(line);
        return true;
    }
};

struct Outcome {
    bool ok;
    std::vector<std::string> calls;
};

Outcome parse(const std::string& text) {
    RecordingParser parser;
    const bool ok = parser.run(text);
    return {ok, parser.calls};
}

using Calls = std::vector<std::string>;

TEST(PathParser, EmptyAndBlankTextsAreValidEmptyPaths) {
    for (const char* text : {"", " ", " \t\r\n "}) {
        const Outcome r = parse(text);
        EXPECT_TRUE(r.ok) << '"' << text << '"';
        EXPECT_TRUE(r.calls.empty());
    }
    RecordingParser parser;
    EXPECT_TRUE(parser.run(static_cast<const char*>(nullptr)));
}

TEST(PathParser, SeparatorsAreOptionalWhereTheGrammarAllows) {
    const Calls expected = {"M 10 20", "L 30 40"};
    for (const char* text : {"M10 20L30 40", "M 10,20 L 30,40", "M10,20L30,40", "M10 ,20L30, 40"})
        EXPECT_EQ(parse(text).calls, expected) << text;
    EXPECT_TRUE(parse("M10 20L30 40").ok);
    EXPECT_TRUE(parse("  M 10 , 20 \n L\t30 ,40  ").ok);
    // A comma may not come before a command letter.
    EXPECT_FALSE(parse("M10,20,L30,40").ok);
    // Two commas in a row are not one separator.
    const Outcome twoCommas = parse("M10,,20");
    EXPECT_FALSE(twoCommas.ok);
    EXPECT_TRUE(twoCommas.calls.empty());
}

TEST(PathParser, PairsAfterAMoveAreLinesOfTheSameCase) {
    EXPECT_EQ(parse("m10 20 30 40").calls, (Calls{"m 10 20", "l 30 40"}));
    EXPECT_EQ(parse("M10 20 30 40,50 60").calls, (Calls{"M 10 20", "L 30 40", "L 50 60"}));
    EXPECT_TRUE(parse("M10 20 30 40").ok);
}

TEST(PathParser, SignsPeriodsAndExponentsSplitNumbers) {
    EXPECT_EQ(parse("M0 0L10-5").calls.back(), "L 10 -5");
    EXPECT_EQ(parse("M0 0L.5.5").calls.back(), "L 0.5 0.5");
    EXPECT_EQ(parse("M0 0L1e2 1E-1").calls.back(), "L 100 0.1");
    EXPECT_EQ(parse("M0 0L+3-.25").calls.back(), "L 3 -0.25");
    EXPECT_EQ(parse("M0 0L1.e1 2").calls.back(), "L 10 2");
    EXPECT_EQ(parse("M0 0L1e+2 0").calls.back(), "L 100 0");
    EXPECT_TRUE(parse("M0 0L10-5").ok);
    EXPECT_TRUE(parse("M0 0L.5.5").ok);
    // Hexadecimal is not a number form: 0x10 reads as 0, then fails at the x.
    EXPECT_FALSE(parse("M0 0x10").ok);
}

TEST(PathParser, AnExponentWithoutDigitsFallsBackToTheLeadingDigits) {
    // "1e" reads as 1, then the e stops the run.
    const Outcome r = parse("M0 0L1e 2");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.calls, (Calls{"M 0 0"}));
    // The number ends before its period; the value is that of the mantissa.
    const Outcome trailing = parse("M0 0L10 1.5e");
    EXPECT_FALSE(trailing.ok);
    EXPECT_EQ(trailing.calls, (Calls{"M 0 0", "L 10 1.5"}));
    const Outcome plain = parse("M0 0L10 7e");
    EXPECT_FALSE(plain.ok);
    EXPECT_EQ(plain.calls, (Calls{"M 0 0", "L 10 7"}));
    // Without leading digits there is nothing to fall back on.
    EXPECT_EQ(parse("M0 0L10 .5e").calls, (Calls{"M 0 0"}));
}

TEST(PathParser, FlagsAreSingleBytes) {
    const Outcome r = parse("M0 0A10 10 0 1120 20");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.calls.back(), "A 20 20 10 10 0 1 1");
    EXPECT_EQ(parse("M0 0a5,6,-30,0,1,7,8").calls.back(), "a 7 8 5 6 -30 0 1");
    // A flag must be 0 or 1.
    EXPECT_FALSE(parse("M0 0A10 10 0 2 1 20 20").ok);
    // Radii carry no sign.
    const Outcome signedRadius = parse("M0 0A-10 10 0 0 1 20 20");
    EXPECT_FALSE(signedRadius.ok);
    EXPECT_EQ(signedRadius.calls, (Calls{"M 0 0"}));
    // A sign cannot start a further arc set either.
    EXPECT_FALSE(parse("M0 0A10 10 0 0 1 20 20 -5 5 0 0 1 1 1").ok);
}

TEST(PathParser, EveryCommandReportsItsArgumentsEndPointFirst) {
    const Outcome r = parse("M1 2 C3 4 5 6 7 8 S9 10 11 12 Q13 14 15 16 T17 18 H19 V20 "
                            "c1 2 3 4 5 6 s1 2 3 4 q1 2 3 4 t1 2 h3 v4 l5 6 z");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.calls, (Calls{"M 1 2", "C 7 8 3 4 5 6", "S 11 12 9 10", "Q 15 16 13 14", "T 17 18",
                              "H 19", "V 20", "c 5 6 1 2 3 4", "s 3 4 1 2", "q 3 4 1 2", "t 1 2",
                              "h 3", "v 4", "l 5 6", "Z"}));
}

TEST(PathParser, RepeatedArgumentSetsRepeatTheCommand) {
    EXPECT_EQ(parse("M0 0h1 2-3").calls, (Calls{"M 0 0", "h 1", "h 2", "h -3"}));
    EXPECT_EQ(parse("M0 0C1 2 3 4 5 6,7 8 9 10 11 12").calls.size(), 3u);
    EXPECT_EQ(parse("M0 0A1 1 0 0 0 2 2 .5 1 0 0 0 3 3").calls.size(), 3u);
}

TEST(PathParser, SubpathsAndCloses) {
    const Outcome r = parse("M0 0 Z M5 5 z");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.calls, (Calls{"M 0 0", "Z", "M 5 5", "Z"}));
    EXPECT_EQ(parse("M0 0zzm1 1").calls, (Calls{"M 0 0", "Z", "Z", "m 1 1"}));
    // Close takes no arguments.
    EXPECT_FALSE(parse("M0 0 z 5 5").ok);
    // A close refused by the callback fails the run.
    RecordingParser refusing;
    refusing.closeResult = false;
    EXPECT_FALSE(refusing.run("M0 0 L1 1 Z L2 2"));
    EXPECT_EQ(refusing.calls, (Calls{"M 0 0", "L 1 1", "Z"}));
}

TEST(PathParser, ErrorsKeepTheCallbacksMadeBeforeThem) {
    const Outcome noMove = parse("L10 10");
    EXPECT_FALSE(noMove.ok);
    EXPECT_TRUE(noMove.calls.empty());

    const Outcome badLetter = parse("M0 0 L10 10 X 5");
    EXPECT_FALSE(badLetter.ok);
    EXPECT_EQ(badLetter.calls, (Calls{"M 0 0", "L 10 10"}));

    const Outcome missingY = parse("M0 0 L10");
    EXPECT_FALSE(missingY.ok);
    EXPECT_EQ(missingY.calls, (Calls{"M 0 0"}));

    for (const char* text : {"M0 0 L10 -", "M0 0 L10 .", "M0 0 L10 +.", "M0 0 L10 20 -"}) {
        const Outcome r = parse(text);
        EXPECT_FALSE(r.ok) << text;
    }
    // A lower-case letter that is no command ends the list.
    EXPECT_FALSE(parse("M0 0 x").ok);
    // Trailing white space is fine, trailing garbage is not.
    EXPECT_TRUE(parse("M0 0 L1 1 \n").ok);
    EXPECT_FALSE(parse("M0 0 L1 1 ;").ok);
}

TEST(PathParser, OnlyFourBytesAreWhiteSpace) {
    const Outcome formFeed = parse("M0 0 L10\f20");
    EXPECT_FALSE(formFeed.ok);
    EXPECT_EQ(formFeed.calls, (Calls{"M 0 0"}));
    EXPECT_FALSE(parse("M0 0\v").ok);
    EXPECT_FALSE(parse("\fM0 0").ok);
    EXPECT_EQ(SvgPathScanner::classOf('\f'), SvgPathCharOther);
    EXPECT_EQ(SvgPathScanner::classOf('\r'), SvgPathCharWhiteSpace);
    EXPECT_EQ(SvgPathScanner::classOf('('), SvgPathCharOpenParenthesis);
    EXPECT_EQ(SvgPathScanner::classOf('\0'), SvgPathCharEnd);
    EXPECT_EQ(SvgPathScanner::classOf('\xB0'), SvgPathCharOther);
}

TEST(PathParser, TextAfterAZeroByteIsNotRead) {
    const std::string text("M0 0 L1 1\0garbage", 17);
    const Outcome r = parse(text);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.calls.size(), 2u);
}

TEST(PathParser, NumbersConvertExactlyAndWithoutTheLocale) {
    float v = 0;
    ASSERT_TRUE(SvgPathParser::convertNumber("0.1", "0.1" + 3, v));
    EXPECT_EQ(v, 0.1f);
    // Converted as a double first, then narrowed.
    const char* tie = "16777217"; // halfway between two floats: rounds to even
    ASSERT_TRUE(SvgPathParser::convertNumber(tie, tie + 8, v));
    EXPECT_EQ(v, 16777216.0f);

    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        EXPECT_EQ(parse("M0 0L1.5 2.25").calls.back(), "L 1.5 2.25");
        std::setlocale(LC_NUMERIC, saved.c_str());
    }
}

TEST(PathParser, HugeAndTinyNumbers) {
    float v = 1;
    const std::string tiny = "1e-400";
    ASSERT_TRUE(SvgPathParser::convertNumber(tiny.data(), tiny.data() + tiny.size(), v));
    EXPECT_EQ(v, 0.0f);
    const std::string negativeTiny = "-0.000001e-999999999999";
    ASSERT_TRUE(SvgPathParser::convertNumber(negativeTiny.data(),
                                             negativeTiny.data() + negativeTiny.size(), v));
    EXPECT_EQ(v, 0.0f);
    EXPECT_TRUE(std::signbit(v));
    // Values beyond a float's range are not numbers: the run stops there.
    for (const char* text : {"M0 0L1e39 0", "M0 0L1e400 0", "M0 0L-1e99999999999999999 0",
                             "M0 0L340282356779733661637539395458142568448 0"}) {
        const Outcome r = parse(text);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_EQ(r.calls, (Calls{"M 0 0"})) << text;
    }
    // The largest float is still a number.
    EXPECT_EQ(parse("M0 0L3.4028234e38 0").calls.size(), 2u);
    const std::string many(5000, '9');
    EXPECT_FALSE(parse("M0 0L" + many + " 0").ok);
    EXPECT_EQ(parse("M0 0L0." + many + " 0").calls.back(), "L 1 0");
}

} // namespace
