#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Test support for hostile input: the tool and library runs in child
// processes with their peak memory, and small pictures.

// Peak resident memory allowed to one hostile case, in kB, and to one run over
// many. The sanitizer runtime shadows every byte and keeps what was freed in a
// quarantine (256 MB) and caches, so a sanitizer build gets more room.
#if defined(__SANITIZE_ADDRESS__)
#define KELSVG_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KELSVG_TEST_ASAN 1
#endif
#endif
#ifdef KELSVG_TEST_ASAN
constexpr long kPeakMemoryKb = 900 * 1024, kBatchPeakMemoryKb = 1400 * 1024;
#else
constexpr long kPeakMemoryKb = 400 * 1024, kBatchPeakMemoryKb = kPeakMemoryKb;
#endif

// How a child process ended.
struct ChildRun {
    bool exited = false; // ended by exit, not by a signal
    int exitCode = -1;
    int signal = 0;
    long peakKb = 0;    // the child's peak resident memory
    std::string errors; // its standard error
};

// Runs the command-line tool with args (standard output discarded).
ChildRun RunTool(const std::vector<std::string>& args);
// Expects the child to have exited 0 within kPeakMemoryKb.
void ExpectClean(const ChildRun& run, const std::string& what);
// Runs work in a forked child, which exits 0 when work returns true and 1
// when it returns false.
ChildRun RunInChild(const std::function<bool()>& work);

// Parses the file through CKelSvg with its own window, optionally builds the
// bitmap cache, and draws onto a width x height bitmap. Returns the ARGB pixels.
std::vector<uint32_t> DrawFile(const std::string& path, int width, int height, bool cache = false);
// The same for SVG text.
std::vector<uint32_t> DrawText(const std::string& svg, int width, int height, bool cache = false);
// Number of pixels that are not fully transparent.
int Painted(const std::vector<uint32_t>& pixels);

// The files of a folder, sorted; none when it does not exist.
std::vector<std::string> FilesIn(const std::string& dir);
