#pragma once

#include <string>
#include <vector>

// Where the "rotate: A X Y" line of each parsed rotate function goes: by
// default nowhere (the library writes nothing to standard output or error).
// A host that wants the lines installs a callback for the thread that parses.
using SvgRotationCallback = void (*)(const char* line, void* context);

// Installs a callback for the calling thread while it lives, and puts the one
// before it back when it ends. A null callback turns the lines off.
class SvgRotationScope {
public:
    SvgRotationScope(SvgRotationCallback callback, void* context);
    ~SvgRotationScope();
    SvgRotationScope(const SvgRotationScope&) = delete;
    SvgRotationScope& operator=(const SvgRotationScope&) = delete;

    // Whether the calling thread has a callback.
    static bool Active();
    // Appends each line to a vector of strings (context): lines reported on a
    // helper thread are kept, then handed on in document order.
    static void Collect(const char* line, void* lines);

private:
    SvgRotationCallback m_previous;
    void* m_previousContext;
};

// Reports one rotate function to the calling thread's callback, if any, as
// the line "rotate: %f %f %f\n" with a full stop whatever the locale.
void SvgReportRotation(double angle, double cx, double cy);
// Hands a line made earlier (SvgRotationScope::Collect) to the calling
// thread's callback, if any.
void SvgReportRotationLine(const char* line);
