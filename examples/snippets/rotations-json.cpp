// Prints, as JSON on standard output, a document's size and the rotate
// transforms it uses: the library itself writes nothing there.
#include "interface/KelSvg.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2)
        return 1;
    std::string rotations; // "rotate: ANGLE CX CY\n" lines
    CKelSvg picture;
    picture.KelSetRotationCallback(
        [](const char* line, void* lines) { static_cast<std::string*>(lines)->append(line); },
        &rotations);
    picture.CommandParseSVGFile(argv[1]);
    float width = 0, height = 0;
    bool parsed = picture.KelGetParseResult(width, height) == KelSvgParsed;

    std::printf("{\"parsed\": %s, \"width\": %g, \"height\": %g, \"rotations\": [",
                parsed ? "true" : "false", width, height);
    double angle, cx, cy;
    int count = 0;
    for (const char* at = rotations.c_str();
         std::sscanf(at, "rotate: %lf %lf %lf", &angle, &cx, &cy) == 3;
         at = rotations.c_str() + rotations.find('\n', at - rotations.c_str()) + 1)
        std::printf("%s[%g, %g, %g]", count++ ? ", " : "", angle, cx, cy);
    std::printf("]}\n");
    return parsed ? 0 : 2;
}
