#include "interface/SvgCommand.h"

SvgCommand::~SvgCommand() {
    delete[] floatArray;
    delete[] intArray;
    delete[] reserved;
    floatArray = nullptr;
    intArray = nullptr;
    reserved = nullptr;
    reservedWord1 = 0;
    reservedWord2 = 0;
    dc = nullptr;
}

void SvgCommand::AllocateRect() {
    delete[] intArray;
    intArray = new int[4]{0, 0, 0, 0};
    intCount = 4;
}
