#include "Viewer.h"

#include "interface/KelSvg.h"
#include "platform/mfc/Afx.h"
#include "tools/kelsvg/ToolPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Zooming stops where the picture's longer side reaches this many pixels.
const double kMaxSide = 16384;
const double kMinZoom = 0.01;
const double kZoomStep = 1.25;
// One arrow key moves the picture this many window pixels.
const double kPanStep = 40;
// Squares of the checkerboard behind transparent pictures, in window pixels.
const int kCheckerSide = 8;
// Changes to the file are taken this long after the last one.
const guint kReloadDelayMs = 150;

bool SameFileState(const struct stat& a, const struct stat& b) {
    return a.st_ino == b.st_ino && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

} // namespace

Viewer::Viewer(std::string path) : m_path(std::move(path)) {
    size_t slash = m_path.find_last_of('/');
    m_name = slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

Viewer::~Viewer() {
    if (m_reloadTimer)
        g_source_remove(m_reloadTimer);
    if (m_monitor)
        g_object_unref(m_monitor);
}

bool Viewer::Load() {
    // The picture is taken only when the file held one and stayed the same
    // while it was read; a later change brings another load.
    struct stat before, after;
    bool stable = stat(m_path.c_str(), &before) == 0;
    auto picture = std::make_unique<CKelSvg>();
    std::vector<char> name(m_path.begin(), m_path.end());
    name.push_back('\0');
    picture->CommandParseSVGFile(name.data());
    float width = 0, height = 0;
    KelSvgParseResult result = picture->KelGetParseResult(width, height);
    if (result != KelSvgParsed) {
        m_problem = DiagnoseInput(m_path, result);
        return false;
    }
    if (!stable || stat(m_path.c_str(), &after) != 0 || !SameFileState(before, after)) {
        m_problem = "the file changed while it was read";
        return false;
    }
    int x = 0, y = 0;
    picture->CommandGetSVGWinRect(x, y, m_docWidth, m_docHeight);
    if (m_docWidth < 1 || m_docHeight < 1)
        m_docWidth = m_docHeight = 0; // drawn at the window's size
    m_picture = std::move(picture);
    m_problem.clear();
    m_cacheValid = false;
    return true;
}

void Viewer::PreferredSize(int screenWidth, int screenHeight, int& width, int& height) const {
    if (m_docWidth < 1 || m_docHeight < 1) {
        width = height = 400;
        return;
    }
    double room = std::min(0.9 * screenWidth / m_docWidth, 0.9 * screenHeight / m_docHeight);
    double scale = std::min(1.0, room);
    width = std::max(64, static_cast<int>(m_docWidth * scale));
    height = std::max(64, static_cast<int>(m_docHeight * scale));
}

void Viewer::Show(int width, int height) {
    m_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(m_window), width, height);
    m_area = gtk_drawing_area_new();
    gtk_container_add(GTK_CONTAINER(m_window), m_area);
    g_signal_connect(m_area, "draw", G_CALLBACK(OnDraw), this);
    g_signal_connect(m_window, "key-press-event", G_CALLBACK(OnKey), this);
    gtk_widget_add_events(m_area,
                          GDK_BUTTON_PRESS_MASK | GDK_BUTTON1_MOTION_MASK | GDK_SCROLL_MASK);
    g_signal_connect(m_area, "button-press-event", G_CALLBACK(OnButton), this);
    g_signal_connect(m_area, "motion-notify-event", G_CALLBACK(OnMotion), this);
    g_signal_connect(m_area, "scroll-event", G_CALLBACK(OnScroll), this);
    g_signal_connect(m_window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);

    GFile* file = g_file_new_for_path(m_path.c_str());
    m_monitor = g_file_monitor_file(file, G_FILE_MONITOR_NONE, nullptr, nullptr);
    g_object_unref(file);
    if (m_monitor) {
        g_file_monitor_set_rate_limit(m_monitor, 50);
        g_signal_connect(m_monitor, "changed", G_CALLBACK(OnFileChanged), this);
    } else {
        std::fprintf(stderr, "kelsvg-view: %s: changes to the file will not be followed\n",
                     m_path.c_str());
    }
    UpdateTitle();
    gtk_widget_show_all(m_window);
}

gboolean Viewer::OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self) {
    static_cast<Viewer*>(self)->Draw(cr, gtk_widget_get_allocated_width(widget),
                                     gtk_widget_get_allocated_height(widget),
                                     gtk_widget_get_scale_factor(widget));
    return TRUE;
}

void Viewer::Draw(cairo_t* cr, int width, int height, int scale) {
    // A checkerboard of white and light grey squares from the window's corner.
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.8, 0.8, 0.8);
    for (int y = 0; y < height; y += kCheckerSide)
        for (int x = (y / kCheckerSide % 2) * kCheckerSide; x < width; x += 2 * kCheckerSide)
            cairo_rectangle(cr, x, y, kCheckerSide, kCheckerSide);
    cairo_fill(cr);
    if (!m_picture || width < 1 || height < 1)
        return;
    double docWidth = m_docWidth ? m_docWidth : width;
    double docHeight = m_docHeight ? m_docHeight : height;
    double zoom = m_fit ? std::min(width / docWidth, height / docHeight) : m_zoom;
    if (zoom != m_shownZoom) {
        m_shownZoom = zoom;
        UpdateTitle();
    }
    // The picture centred in the window, in the surface's pixels, so that the
    // cache is as sharp as the screen (scale 2 on a high-resolution screen).
    int w = std::max(1, static_cast<int>(std::lround(docWidth * zoom)));
    int h = std::max(1, static_cast<int>(std::lround(docHeight * zoom)));
    int x = static_cast<int>(std::lround((width - w) / 2 + m_panX)) * scale;
    int y = static_cast<int>(std::lround((height - h) / 2 + m_panY)) * scale;
    w *= scale;
    h *= scale;
    if (!m_cacheValid || w != m_cacheWidth || h != m_cacheHeight) {
        m_picture->CommandSetSVGWinRect(x, y, w, h);
        m_picture->CommandCreateBitmapCache();
        m_cacheValid = true;
        m_cacheWidth = w;
        m_cacheHeight = h;
    } else if (x != m_rectX || y != m_rectY) {
        m_picture->CommandDrawSVGWinRect(nullptr, x, y, w, h); // moves it, keeps the cache
    }
    m_rectX = x;
    m_rectY = y;

    cairo_save(cr);
    cairo_scale(cr, 1.0 / scale, 1.0 / scale);
    HDC hdc = CreateCairoDC(cr);
    CDC dc(hdc);
    m_picture->CommandDrawSVG(&dc);
    DeleteDC(hdc);
    cairo_restore(cr);
}

void Viewer::Zoom(double factor) {
    Zoom(factor, gtk_widget_get_allocated_width(m_area) / 2.0,
         gtk_widget_get_allocated_height(m_area) / 2.0);
}

void Viewer::Zoom(double factor, double atX, double atY) {
    int width = gtk_widget_get_allocated_width(m_area);
    int height = gtk_widget_get_allocated_height(m_area);
    double docWidth = m_docWidth ? m_docWidth : width;
    double docHeight = m_docHeight ? m_docHeight : height;
    double longest = std::max(docWidth, docHeight);
    double zoom = std::clamp(m_shownZoom * factor, kMinZoom, kMaxSide / std::max(1.0, longest));
    // The picture's corner before and after, so that the point under (atX, atY) stays.
    double oldW = std::max(1L, std::lround(docWidth * m_shownZoom));
    double oldH = std::max(1L, std::lround(docHeight * m_shownZoom));
    double newW = std::max(1L, std::lround(docWidth * zoom));
    double newH = std::max(1L, std::lround(docHeight * zoom));
    // As Draw centres the picture.
    auto centred = [](int room, double side) { return static_cast<double>((room - int(side)) / 2); };
    double left = centred(width, oldW) + m_panX;
    double top = centred(height, oldH) + m_panY;
    m_panX = atX - (atX - left) * (newW / oldW) - centred(width, newW);
    m_panY = atY - (atY - top) * (newH / oldH) - centred(height, newH);
    m_fit = false;
    m_zoom = zoom;
    m_shownZoom = zoom;
    UpdateTitle();
    gtk_widget_queue_draw(m_area);
}

void Viewer::Pan(double dx, double dy) {
    m_panX += dx;
    m_panY += dy;
    gtk_widget_queue_draw(m_area);
}

void Viewer::Reload() {
    if (!Load())
        std::fprintf(stderr, "kelsvg-view: %s: %s\n", m_path.c_str(), m_problem.c_str());
    UpdateTitle();
    gtk_widget_queue_draw(m_area);
}

gboolean Viewer::OnButton(GtkWidget*, GdkEventButton* event, gpointer self) {
    Viewer* viewer = static_cast<Viewer*>(self);
    if (event->button != 1)
        return FALSE;
    viewer->m_dragX = event->x;
    viewer->m_dragY = event->y;
    return TRUE;
}

gboolean Viewer::OnMotion(GtkWidget*, GdkEventMotion* event, gpointer self) {
    Viewer* viewer = static_cast<Viewer*>(self);
    viewer->Pan(event->x - viewer->m_dragX, event->y - viewer->m_dragY);
    viewer->m_dragX = event->x;
    viewer->m_dragY = event->y;
    return TRUE;
}

gboolean Viewer::OnScroll(GtkWidget*, GdkEventScroll* event, gpointer self) {
    Viewer* viewer = static_cast<Viewer*>(self);
    double dx = 0, dy = 0;
    if (event->direction == GDK_SCROLL_UP)
        dy = -1;
    else if (event->direction == GDK_SCROLL_DOWN)
        dy = 1;
    else if (event->direction == GDK_SCROLL_SMOOTH)
        gdk_event_get_scroll_deltas(reinterpret_cast<GdkEvent*>(event), &dx, &dy);
    if (dy == 0)
        return FALSE;
    viewer->Zoom(dy < 0 ? kZoomStep : 1 / kZoomStep, event->x, event->y);
    return TRUE;
}

gboolean Viewer::OnKey(GtkWidget*, GdkEventKey* event, gpointer self) {
    Viewer* viewer = static_cast<Viewer*>(self);
    switch (event->keyval) {
    case GDK_KEY_plus:
    case GDK_KEY_equal:
    case GDK_KEY_KP_Add:
        viewer->Zoom(kZoomStep);
        return TRUE;
    case GDK_KEY_minus:
    case GDK_KEY_KP_Subtract:
        viewer->Zoom(1 / kZoomStep);
        return TRUE;
    case GDK_KEY_Left:
    case GDK_KEY_Right:
        viewer->Pan(event->keyval == GDK_KEY_Left ? kPanStep : -kPanStep, 0);
        return TRUE;
    case GDK_KEY_Up:
    case GDK_KEY_Down:
        viewer->Pan(0, event->keyval == GDK_KEY_Up ? kPanStep : -kPanStep);
        return TRUE;
    case GDK_KEY_r:
    case GDK_KEY_F5:
        viewer->Reload();
        return TRUE;
    case GDK_KEY_0:
    case GDK_KEY_KP_0:
        viewer->m_panX = viewer->m_panY = 0;
        viewer->m_fit = true;
        viewer->UpdateTitle();
        gtk_widget_queue_draw(viewer->m_area);
        return TRUE;
    case GDK_KEY_q:
        gtk_widget_destroy(viewer->m_window);
        return TRUE;
    default:
        return FALSE;
    }
}

void Viewer::OnFileChanged(GFileMonitor*, GFile*, GFile*, GFileMonitorEvent, gpointer self) {
    // Writes come in bursts: read the file once they pause.
    Viewer* viewer = static_cast<Viewer*>(self);
    if (viewer->m_reloadTimer)
        g_source_remove(viewer->m_reloadTimer);
    viewer->m_reloadTimer = g_timeout_add(kReloadDelayMs, OnReloadDue, viewer);
}

gboolean Viewer::OnReloadDue(gpointer self) {
    Viewer* viewer = static_cast<Viewer*>(self);
    viewer->m_reloadTimer = 0;
    viewer->Reload();
    return G_SOURCE_REMOVE;
}

void Viewer::UpdateTitle() {
    if (!m_window)
        return;
    std::string title = m_name;
    if (!m_problem.empty())
        title += ": " + m_problem;
    else if (!m_fit || std::fabs(m_shownZoom - 1) > 1e-9)
        title += " (" + std::to_string(static_cast<int>(std::lround(m_shownZoom * 100))) + "%)";
    title += " \u2014 kelsvg-view";
    gtk_window_set_title(GTK_WINDOW(m_window), title.c_str());
}
