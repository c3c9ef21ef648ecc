#pragma once

#include <string>

class CDC;
namespace Gdiplus {
class Graphics;
}

// Command codes understood by SvgEngine::Dispatch.
enum SvgCommandCode {
    SvgCommandSetWinRect = 5,
    SvgCommandParseFile = 6,
    SvgCommandSetFileName = 7,
    SvgCommandGetWinRect = 15,
    SvgCommandCreateBitmapCache = 18,
    SvgCommandDraw = 20,
    SvgCommandDrawWinRect = 21,
    SvgCommandDrawGraphics = 22,
};

// One command of CKelSvg to its engine: a code and its argument slots. Lives for
// one call, on the calling method's stack.
class SvgCommand {
public:
    SvgCommand() = default;
    explicit SvgCommand(int code) : code(code) {}
    virtual ~SvgCommand();

    SvgCommand(const SvgCommand&) = delete;
    SvgCommand& operator=(const SvgCommand&) = delete;

    // Allocates the integer array of four (rectangle commands).
    void AllocateRect();

    int code = 0;
    int query = 0;         // 1 when the engine writes results into intArray
    int reservedCount = 0; // always 0
    int intCount = 0;      // 4 for the rectangle commands
    int floatCount = 0;    // always 0
    void** reserved = nullptr;
    int* intArray = nullptr;
    float* floatArray = nullptr;
    int reservedWord1 = 0;
    int reservedWord2 = 0;
    std::string reservedText;
    const char* fileName = nullptr;        // not owned
    CDC* dc = nullptr;                     // not owned
    Gdiplus::Graphics* graphics = nullptr; // not owned
};
