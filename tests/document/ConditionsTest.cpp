#include "SvgTestSupport.h"
#include "document/SvgConditions.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

namespace {

TEST(Conditions, UserLanguageFromTheEnvironment) {
    const struct {
        const char *all, *messages, *lang, *expected;
    } rows[] = {
        {nullptr, nullptr, nullptr, "en"},
        {nullptr, nullptr, "C", "en"},
        {nullptr, nullptr, "POSIX", "en"},
        {nullptr, nullptr, "C.UTF-8", "en"},
        {nullptr, nullptr, "de_DE.UTF-8@euro", "de-de"},
        {nullptr, "fr_CA", "de_DE", "fr-ca"},
        {"pt_BR.UTF-8", "fr_CA", "de_DE", "pt-br"},
        {"", "", "nl", "nl"}, // empty counts as unset
    };
    for (const auto& row : rows) {
        ScopedEnv all("LC_ALL", row.all), messages("LC_MESSAGES", row.messages),
            lang("LANG", row.lang);
        EXPECT_EQ(SvgConditions::UserLanguage(), row.expected) << (row.lang ? row.lang : "-");
    }
}

TEST(Conditions, EachAttributeAndItsLists) {
    const std::string kShape = "http://www.w3.org/TR/SVG11/feature#Shape";
    const struct {
        const char* name;
        std::string value;
        bool passes;
    } rows[] = {
        {"systemLanguage", "en", true},
        {"systemLanguage", "EN-GB", true},
        {"systemLanguage", " fr ,en-US", true},
        {"systemLanguage", "fr, de", false},
        {"systemLanguage", "eng", false},
        {"systemLanguage", "", false},
        {"requiredFeatures", kShape, true},
        {"requiredFeatures", kShape + " http://www.w3.org/TR/SVG11/feature#Mask", true},
        {"requiredFeatures", kShape + " http://www.w3.org/TR/SVG11/feature#Script", false},
        {"requiredFeatures", "http://www.w3.org/TR/SVG11/feature#Shapes", false},
        {"requiredFeatures", "org.w3c.svg.static", false},
        {"requiredFeatures", " ", false},
        {"requiredExtensions", "http://example.org/x", false},
        {"requiredExtensions", "", false},
        {"unrelated", "", true},
    };
    for (const auto& row : rows) {
        TiXmlElement xml("rect");
        xml.SetAttribute(row.name, row.value.c_str());
        EXPECT_EQ(SvgConditions::Pass(&xml, "en-us"), row.passes) << row.name << "=" << row.value;
    }
}

} // namespace
