// kelsvg: renders SVG files to PNG, PDF, SVG and PostScript images through the
// library's host surface.
#include "ToolInput.h"
#include "ToolOptions.h"
#include "ToolOutput.h"
#include "ToolPicture.h"

#include "engine/SvgXmlReader.h"

#include "interface/KelSvg.h"
#include "interface/KelSvgVersion.h"
#include "platform/gdiplus/GdiPlus.h"

#include <malloc.h>
#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

using namespace Gdiplus;

namespace {

const char kHelpHint[] = "Try 'kelsvg --help' for more.\n";

// Documents read from files at least this large (in bytes) are freed on a
// thread of their own while their image is written.
constexpr off_t kLargeInput = 1 << 20;
// Free memory kept by the allocator past which it goes back to the system.
constexpr size_t kKeepFreeBytes = size_t(16) << 20;

// What a large picture freed goes back to the system before the next input,
// so that a batch takes about as much memory as its largest file, not more
// (the allocator would keep freed blocks of many sizes for later).
// Sanitizers bring their own allocator; glibc's statistics then describe an
// arena that was never set up and reading them crashes.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KELSVG_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) ||                         \
    __has_feature(memory_sanitizer)
#define KELSVG_OWN_ALLOCATOR 1
#endif
#endif

void ReturnFreedMemory() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33) && !defined(KELSVG_OWN_ALLOCATOR)
    if (mallinfo2().fordblks > kKeepFreeBytes)
        malloc_trim(0);
#endif
}

// What became of one input: the exit code and, unless all went well, the
// whole line that tells why on standard error.
struct Outcome {
    int code = ExitOk;
    std::string message;
    std::string rotations; // the library's rotate lines, with --print-rotations
};

Outcome Problem(int code, const std::string& file, const std::string& message) {
    return {code, "kelsvg: " + file + ": " + message + "\n", {}};
}

// True when output names the very file input is (writing would destroy it).
bool SameFile(const std::string& input, const std::string& output) {
    struct stat in, out;
    return stat(input.c_str(), &in) == 0 && stat(output.c_str(), &out) == 0 &&
           in.st_dev == out.st_dev && in.st_ino == out.st_ino;
}

Outcome Problem(const std::string& file, const ToolProblem& problem) {
    return Problem(problem.code, file, problem.message);
}

std::string ErrnoText(const char* what) {
    return std::string(what) + (errno ? ": " + ErrorText(errno) : std::string());
}

void KeepRotation(const char* line, void* rotations) {
    try {
        static_cast<std::string*>(rotations)->append(line);
    } catch (const std::bad_alloc&) {
    }
}

// The format asked for, or named by the output's extension; a usage problem
// when that extension names no format the tool writes.
Outcome OutputFormat(const ToolOptions& options, const std::string& output, ImageFormat& format) {
    format = options.format;
    if (options.formatGiven || output == "-" || FormatOfPath(output, format))
        return {};
    return Problem(ExitUsage, output,
                   std::string("cannot write this kind of file (give a name ending in ") +
                       ImageFormatList() + ", or --format)");
}

// Draws the loaded picture in format to sink; `drawn` (when given) is called
// once the picture is no longer needed, before a bitmap is written.
Outcome WriteImage(CKelSvg& picture, const ToolOptions& options, const ToolWindow& window,
                   ImageFormat format, const std::string& outputName, ImageSink& sink,
                   const std::function<void()>& drawn) {
    bool written = false;
    errno = 0;
    if (!IsVectorFormat(format)) {
        GpBitmap* bitmap = nullptr;
        ToolProblem problem = DrawPicture(picture, options, window, bitmap);
        if (problem)
            return Problem(outputName, problem);
        if (drawn)
            drawn();
        written = WriteRasterImage(bitmap, format, options.quality, sink);
        GdipDisposeImage(bitmap);
    } else {
        written = WriteVectorImage(picture, options, format, window.width, window.height, sink);
    }
    if (!written)
        return Problem(ExitOutput, outputName, ErrnoText("cannot write the image"));
    return {};
}

// The path the library reads input through: standard input ("-") is read
// once into memory, kept where the library and the diagnosis can read it again.
Outcome InputPath(const std::string& input, InMemoryFile& standardInput, std::string& path) {
    path = input;
    if (input != "-")
        return {};
    std::string bytes;
    errno = 0;
    if (!SvgXmlReader::ReadFile("/dev/stdin", bytes))
        return Problem(ExitInput, "standard input", ErrnoText("cannot read"));
    if (!standardInput.Open(bytes))
        return Problem(ExitInput, "standard input", ErrnoText("cannot keep the document"));
    path = standardInput.Path();
    return {};
}

// One input to one image file; "-" reads standard input or writes the image
// to imageFd. `drawn` (when given) is called once the picture is no longer
// needed, before the image is written.
Outcome RenderFileOnce(CKelSvg& picture, const ToolOptions& options, const std::string& input,
                       const std::string& output, const std::function<void()>& drawn, int imageFd) {
    bool toStream = output == "-";
    std::string inputName = input == "-" ? "standard input" : input;
    std::string outputName = toStream ? "standard output" : output;
    ImageFormat format;
    Outcome formatProblem = OutputFormat(options, output, format);
    if (formatProblem.code)
        return formatProblem;
    if (input != "-" && !toStream && SameFile(input, output))
        return Problem(ExitUsage, output, "the output would overwrite the input");
    InMemoryFile standardInput;
    std::string path;
    Outcome read = InputPath(input, standardInput, path);
    if (read.code)
        return read;

    ToolWindow window;
    ToolProblem problem = LoadPicture(picture, options, path, window, IsVectorFormat(format));
    if (problem)
        return Problem(inputName, problem);
    if (toStream) {
        DescriptorSink stream(imageFd);
        return WriteImage(picture, options, window, format, outputName, stream, drawn);
    }
    FileSink file;
    errno = 0;
    if (!file.Open(output))
        return Problem(ExitOutput, outputName, ErrnoText("cannot write the image"));
    Outcome outcome = WriteImage(picture, options, window, format, outputName, file, drawn);
    if (outcome.code == ExitOk && !file.Commit())
        return Problem(ExitOutput, outputName, ErrnoText("cannot write the image"));
    return outcome;
}

// Several inputs as the pages of one PDF or PostScript file, in order; the
// file is written only when every input could be drawn.
Outcome RenderPages(const ToolOptions& options) {
    const std::string& output = options.output;
    bool toStream = output == "-";
    std::string outputName = toStream ? "standard output" : output;
    ImageFormat format;
    Outcome formatProblem = OutputFormat(options, output, format);
    if (formatProblem.code)
        return formatProblem;
    if (format != ImageFormat::Pdf && format != ImageFormat::Ps)
        return Problem(ExitUsage, outputName,
                       "several inputs make one file only as pdf or ps (--out-dir gives an "
                       "image for each)");
    if (std::count(options.inputs.begin(), options.inputs.end(), "-") > 1)
        return Problem(ExitUsage, "standard input", "read more than once");
    FileSink file;
    DescriptorSink stream(STDOUT_FILENO);
    MemorySink pages; // nothing reaches the output unless every page was drawn
    VectorImageWriter writer(format, options, pages);
    Outcome outcome;
    for (const std::string& input : options.inputs) {
        if (input != "-" && !toStream && SameFile(input, output))
            return Problem(ExitUsage, output, "the output would overwrite the input");
        std::string rotations;
        CKelSvg picture;
        picture.KelSetRotationCallback(options.printRotations ? KeepRotation : nullptr, &rotations);
        InMemoryFile standardInput;
        std::string path;
        Outcome read = InputPath(input, standardInput, path);
        if (read.code)
            return read;
        ToolWindow window;
        ToolProblem problem = LoadPicture(picture, options, path, window, true);
        outcome.rotations += rotations;
        if (problem) {
            Outcome failed = Problem(input == "-" ? "standard input" : input, problem);
            failed.rotations = outcome.rotations;
            return failed;
        }
        errno = 0;
        if (!writer.AddPage(picture, window.width, window.height))
            return Problem(ExitOutput, outputName, ErrnoText("cannot write the image"));
    }
    errno = 0;
    bool written = writer.Finish();
    if (written && toStream) {
        written = stream.Write(reinterpret_cast<const unsigned char*>(pages.bytes.data()),
                               pages.bytes.size());
    } else if (written) {
        written = file.Open(output) &&
                  file.Write(reinterpret_cast<const unsigned char*>(pages.bytes.data()),
                             pages.bytes.size()) &&
                  file.Commit();
    }
    if (!written) {
        Outcome failed = Problem(ExitOutput, outputName, ErrnoText("cannot write the image"));
        failed.rotations = outcome.rotations;
        return failed;
    }
    return outcome;
}

// RenderFileOnce, with the library's rotate lines kept in the outcome when
// the options ask for them.
Outcome RenderFile(CKelSvg& picture, const ToolOptions& options, const std::string& input,
                   const std::string& output, const std::function<void()>& drawn = nullptr,
                   int imageFd = STDOUT_FILENO) {
    std::string rotations;
    picture.KelSetRotationCallback(options.printRotations ? KeepRotation : nullptr, &rotations);
    // Only the parse reports; `drawn` may free the picture, so it is not touched after.
    Outcome outcome = RenderFileOnce(picture, options, input, output, drawn, imageFd);
    outcome.rotations = std::move(rotations);
    return outcome;
}

// DIR/NAME.EXT for INPUT: the file name without its directory and ".svg".
std::string OutputPathFor(const std::string& dir, const std::string& input,
                          const std::string& extension) {
    std::string name = input;
    size_t slash = name.find_last_of('/');
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name = name.substr(0, dot);
    std::string path = dir;
    if (path.back() != '/')
        path += '/';
    return path + name + "." + extension;
}

// The processors this process may run on.
int Processors() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? static_cast<int>(count) : 1;
}

// A line on standard error, when it is a terminal, telling how a batch goes:
// files done and failed, and the time left. It is rewritten in place at most
// ten times a second, and cleared before other messages and at the end.
class BatchProgress {
public:
    explicit BatchProgress(size_t total)
        : m_total(total), m_shown(total > 1 && isatty(STDERR_FILENO)),
          m_start(std::chrono::steady_clock::now()) {}

    void Show(size_t done, size_t failed, bool now) {
        if (!m_shown)
            return;
        auto time = std::chrono::steady_clock::now();
        if (!now && done < m_total && time - m_last < std::chrono::milliseconds(100))
            return;
        m_last = time;
        double elapsed = std::chrono::duration<double>(time - m_start).count();
        long left = std::lround(elapsed / done * (m_total - done));
        std::fprintf(stderr, "\r\033[K%zu of %zu files done, %zu failed, about %ld:%02ld left",
                     done, m_total, failed, left / 60, left % 60);
        std::fflush(stderr);
        m_visible = true;
    }
    void Clear() {
        if (m_visible)
            std::fputs("\r\033[K", stderr);
        m_visible = false;
    }

private:
    size_t m_total;
    bool m_shown;
    bool m_visible = false;
    std::chrono::steady_clock::time_point m_start, m_last;
};

// --out-dir: every input to DIR/NAME.png (or the format's extension), options.jobs at once, each
// thread with a picture object of its own. Messages come out whole and in the order of the inputs,
// as soon as every earlier input is done; the exit code is the worst seen.
int RenderBatch(const ToolOptions& options) {
    struct stat info;
    if (stat(options.outDir.c_str(), &info) != 0) {
        if (mkdir(options.outDir.c_str(), 0777) != 0) {
            Outcome failed = Problem(ExitOutput, options.outDir,
                                     "cannot create the directory: " + ErrorText(errno));
            std::fputs(failed.message.c_str(), stderr);
            return failed.code;
        }
    } else if (!S_ISDIR(info.st_mode)) {
        std::fputs(Problem(ExitOutput, options.outDir, "not a directory").message.c_str(), stderr);
        return ExitOutput;
    }

    const std::vector<std::string>& inputs = options.inputs;
    const size_t count = inputs.size();
    std::vector<std::string> outputs(count);
    std::vector<Outcome> outcomes(count);
    std::vector<char> render(count, 1);
    std::set<std::string> written;
    for (size_t i = 0; i < count; ++i) {
        outputs[i] = OutputPathFor(options.outDir, inputs[i], ImageFormatName(options.format));
        if (!written.insert(outputs[i]).second) {
            // Two inputs of the same name: keep the first one's image.
            outcomes[i] = Problem(ExitOutput, inputs[i],
                                  "not rendered: " + outputs[i] +
                                      " already holds the image of an earlier input");
            render[i] = 0;
        }
    }

    std::mutex lock; // guards done, reported, failed, progress and standard error
    std::vector<char> done(count, 0);
    size_t reported = 0, finished = 0, failed = 0;
    BatchProgress progress(count);
    std::atomic<size_t> next{0};
    size_t threads = static_cast<size_t>(options.jobs > 0 ? options.jobs : Processors());
    size_t jobs = std::max<size_t>(1, std::min(threads, count));
    auto work = [&]() {
        std::unique_ptr<CKelSvg> picture(new CKelSvg);
        // Threads no input needs help draw large pictures.
        picture->KelSetThreads(static_cast<int>(threads / jobs));
        std::thread release;
        bool released = false; // the picture was handed to that thread
        // A large document takes a while to free: that goes on beside the
        // writing of its image (a fresh picture object takes the next input).
        auto releaseLarge = [&] {
            if (release.joinable())
                release.join();
            try {
                std::unique_ptr<CKelSvg> next(new CKelSvg);
                next->KelSetThreads(static_cast<int>(threads / jobs));
                CKelSvg* old = picture.get();
                release = std::thread([old] { delete old; });
                picture.release();
                picture = std::move(next);
                released = true;
            } catch (const std::exception&) {
            }
        };
        for (size_t i; (i = next++) < count;) {
            struct stat file;
            bool large = inputs[i] != "-" && stat(inputs[i].c_str(), &file) == 0 &&
                         file.st_size >= kLargeInput;
            Outcome outcome =
                render[i] ? RenderFile(*picture, options, inputs[i], outputs[i],
                                       large ? std::function<void()>(releaseLarge) : nullptr)
                          : outcomes[i];
            if (!released) {
                // The document, its cache and what its draws kept go before the
                // next file is read (a picture object keeps them until then).
                try {
                    std::unique_ptr<CKelSvg> next(new CKelSvg);
                    next->KelSetThreads(static_cast<int>(threads / jobs));
                    picture = std::move(next);
                } catch (const std::exception&) {
                }
            }
            released = false;
            ReturnFreedMemory();
            std::lock_guard<std::mutex> guard(lock);
            failed += outcome.code != ExitOk;
            outcomes[i] = std::move(outcome);
            done[i] = 1;
            ++finished;
            bool printing = reported < count && done[reported];
            if (printing)
                progress.Clear();
            for (; reported < count && done[reported]; ++reported) {
                std::fputs(outcomes[reported].rotations.c_str(), stdout);
                std::fflush(stdout);
                std::fputs(outcomes[reported].message.c_str(), stderr);
            }
            progress.Show(finished, failed, printing);
        }
        if (release.joinable())
            release.join();
    };

    std::vector<std::thread> helpers;
    try {
        while (helpers.size() + 1 < jobs)
            helpers.emplace_back(work);
    } catch (const std::system_error&) {
        // No more threads to be had: those started and this one do the work.
    }
    work();
    for (std::thread& helper : helpers)
        helper.join();
    progress.Clear();

    int worst = ExitOk;
    for (const Outcome& outcome : outcomes)
        worst = std::max(worst, outcome.code);
    return worst;
}

} // namespace

int main(int argc, char** argv) {
    ToolOptions options;
    std::string error;
    if (!ParseToolOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "kelsvg: %s\n%s", error.c_str(), kHelpHint);
        return ExitUsage;
    }
    if (options.help) {
        std::fputs(ToolUsage(), stdout);
        return ExitOk;
    }
    if (options.version) {
        std::printf("kelsvg %s\n", KelSvgVersion());
        return ExitOk;
    }
    if (!options.styleSheetPath.empty()) {
        errno = 0;
        if (!SvgXmlReader::ReadFile(options.styleSheetPath.c_str(), options.styleSheet)) {
            std::fputs(Problem(ExitInput, options.styleSheetPath, ErrnoText("cannot read"))
                           .message.c_str(),
                       stderr);
            return ExitInput;
        }
    }
    if (!options.outDir.empty())
        return RenderBatch(options);
    if (options.inputs.size() > 1) {
        Outcome outcome = RenderPages(options);
        std::fputs(outcome.rotations.c_str(), options.output == "-" ? stderr : stdout);
        std::fputs(outcome.message.c_str(), stderr);
        if (outcome.code == ExitUsage)
            std::fputs(kHelpHint, stderr);
        return outcome.code;
    }
    std::unique_ptr<CKelSvg> picture(new CKelSvg);
    picture->KelSetThreads(options.jobs > 0 ? options.jobs : Processors());
    std::thread release;
    Outcome outcome = RenderFile(*picture, options, options.inputs[0], options.output, [&] {
        // A large document takes a while to free: that goes on beside the
        // writing of the image.
        try {
            release = std::thread([&picture] { picture.reset(); });
        } catch (const std::system_error&) {
        }
    });
    if (release.joinable())
        release.join();
    // The image alone on standard output: rotate lines then go to standard error.
    std::fputs(outcome.rotations.c_str(), options.output == "-" ? stderr : stdout);
    std::fputs(outcome.message.c_str(), stderr);
    if (outcome.code == ExitUsage)
        std::fputs(kHelpHint, stderr);
    return outcome.code;
}
