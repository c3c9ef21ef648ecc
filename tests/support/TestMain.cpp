// The main of every test program. Tests see only the fonts of the project's
// own fontconfig file (tests/fonts/fonts.conf.in), also when a program is run by
// hand; child processes, such as the tool, inherit the setting.

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("FONTCONFIG_FILE", KELSVG_TEST_FONTCONFIG_FILE, 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
