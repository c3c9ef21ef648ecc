// kelsvg-view: shows an SVG file in a window and follows its changes.
#include "Viewer.h"

#include "interface/KelSvgVersion.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

const char* kUsage =
    "usage: kelsvg-view [options] FILE.svg\n"
    "Shows an SVG file in a window and draws it again whenever it changes.\n"
    "\n"
    "Keys: + and - zoom (or the wheel, around the pointer), arrows pan (or drag),\n"
    "0 fits the picture to the window again, r reloads, q quits.\n"
    "\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n"
    "\n"
    "Exit codes: 0 success; 1 usage error or no display; 2 the file cannot be "
    "read.\n";

} // namespace

int main(int argc, char** argv) {
    std::string path;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("kelsvg-view %s\n", KelSvgVersion());
            return 0;
        }
        if ((arg.size() > 1 && arg[0] == '-') || !path.empty()) {
            std::fprintf(stderr, "kelsvg-view: %s\n%s",
                         path.empty() ? ("unknown option " + arg).c_str() : "one file only",
                         kUsage);
            return 1;
        }
        path = arg;
    }
    if (path.empty()) {
        std::fprintf(stderr, "kelsvg-view: no file\n%s", kUsage);
        return 1;
    }
    if (access(path.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "kelsvg-view: %s: cannot read: %s\n", path.c_str(),
                     std::strerror(errno));
        return 2;
    }
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "kelsvg-view: cannot open the display\n");
        return 1;
    }

    // A file that cannot be shown yet opens a window all the same, which shows
    // the picture once the file is mended.
    Viewer viewer(path);
    if (!viewer.Load())
        std::fprintf(stderr, "kelsvg-view: %s: %s\n", path.c_str(), viewer.Problem().c_str());
    int screenWidth = 1024, screenHeight = 768;
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (!monitor)
        monitor = gdk_display_get_monitor(display, 0);
    if (monitor) {
        GdkRectangle area;
        gdk_monitor_get_workarea(monitor, &area);
        screenWidth = area.width;
        screenHeight = area.height;
    }
    int width = 0, height = 0;
    viewer.PreferredSize(screenWidth, screenHeight, width, height);
    viewer.Show(width, height);
    gtk_main();
    return 0;
}
