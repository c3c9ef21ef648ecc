#include "RobustSupport.h"
#include "SvgTestSupport.h"

#include "interface/KelSvg.h"

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

extern char** environ;

namespace {

ChildRun Finish(pid_t pid, int errorFd) {
    ChildRun run;
    std::string errors;
    char buffer[4096];
    ssize_t n;
    while ((n = read(errorFd, buffer, sizeof buffer)) > 0)
        errors.append(buffer, static_cast<size_t>(n));
    close(errorFd);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.errors = errors;
    run.peakKb = usage.ru_maxrss;
    run.exited = WIFEXITED(status);
    run.exitCode = run.exited ? WEXITSTATUS(status) : -1;
    run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return run;
}

} // namespace

ChildRun RunTool(const std::vector<std::string>& args) {
    std::vector<std::string> all{KELSVG_PEAK_RUN_PATH, KELSVG_TOOL_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);

    int errorFds[2], peakFds[2];
    if (pipe(errorFds) != 0)
        return {};
    if (pipe(peakFds) != 0) {
        close(errorFds[0]);
        close(errorFds[1]);
        return {};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Read ends closed first: one of them may be descriptor 3.
    posix_spawn_file_actions_addclose(&actions, errorFds[0]);
    posix_spawn_file_actions_addclose(&actions, peakFds[0]);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errorFds[1], 2);
    posix_spawn_file_actions_adddup2(&actions, peakFds[1], 3);
    pid_t pid = 0;
    int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(errorFds[1]);
    close(peakFds[1]);
    if (failed) {
        close(errorFds[0]);
        close(peakFds[0]);
        return {};
    }
    ChildRun run = Finish(pid, errorFds[0]);
    // The tool's own peak, as the small process that started it saw it
    // (without it, the larger figure of that process stands).
    char buffer[32] = {};
    ssize_t n = read(peakFds[0], buffer, sizeof buffer - 1);
    close(peakFds[0]);
    if (n > 0)
        run.peakKb = std::atol(buffer);
    return run;
}

ChildRun RunInChild(const std::function<bool()>& work) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid < 0)
        return {};
    if (pid == 0) {
        close(pipeFds[0]);
        dup2(pipeFds[1], 2);
        int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, 1); // rotate lines
        bool ok = work();
        std::fflush(nullptr);
        _exit(ok ? 0 : 1); // no exit handlers: the parent's test state stays its own
    }
    close(pipeFds[1]);
    return Finish(pid, pipeFds[0]);
}

void ExpectClean(const ChildRun& run, const std::string& what) {
    EXPECT_TRUE(run.exited) << what << ": signal " << run.signal << "\n" << run.errors;
    EXPECT_EQ(run.exitCode, 0) << what << "\n" << run.errors;
    EXPECT_LT(run.peakKb, kPeakMemoryKb) << what;
}

std::vector<uint32_t> DrawFile(const std::string& path, int width, int height, bool cache) {
    CKelSvg picture;
    std::string name = path;
    picture.CommandParseSVGFile(&name[0]);
    picture.CommandSetSVGWinRect(0, 0, width, height);
    if (cache)
        picture.CommandCreateBitmapCache();
    return Snapshot(picture, width, height).pixels;
}

std::vector<uint32_t> DrawText(const std::string& svg, int width, int height, bool cache) {
    TempSvgFile file(svg);
    return DrawFile(file.Path(), width, height, cache);
}

int Painted(const std::vector<uint32_t>& pixels) {
    return static_cast<int>(
        std::count_if(pixels.begin(), pixels.end(), [](uint32_t p) { return (p >> 24) != 0; }));
}

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> files;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* entry = readdir(d))
            if (entry->d_name[0] != '.')
                files.push_back(dir + "/" + entry->d_name);
        closedir(d);
    }
    std::sort(files.begin(), files.end());
    return files;
}
