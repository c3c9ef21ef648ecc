#pragma once

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <sys/stat.h>

class CKelSvg;

// One window showing one SVG file. It is a host in the library's sense: every
// expose draws the picture through a device context over the widget's Cairo
// context, from the bitmap cache, which is rebuilt when the picture's size on
// screen changes. The file is watched and read again when it changes; a file
// that cannot be shown leaves the last good picture in place and its problem
// in the title. The picture is panned with the arrow keys or by dragging,
// zoomed with + and - or the wheel (around the pointer), and shown over a
// checkerboard where it is transparent.
class Viewer {
public:
    explicit Viewer(std::string path);
    ~Viewer();
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    // Reads the file; false, with the reason in Problem(), when it cannot be shown.
    bool Load();
    const std::string& Problem() const { return m_problem; }

    // The window's initial size: the document's, within a screen of the given size.
    void PreferredSize(int screenWidth, int screenHeight, int& width, int& height) const;
    // Creates the window and starts watching the file.
    void Show(int width, int height);

private:
    static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
    static gboolean OnKey(GtkWidget* widget, GdkEventKey* event, gpointer self);
    static gboolean OnButton(GtkWidget* widget, GdkEventButton* event, gpointer self);
    static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer self);
    static gboolean OnScroll(GtkWidget* widget, GdkEventScroll* event, gpointer self);
    static void OnFileChanged(GFileMonitor* monitor, GFile* file, GFile* other,
                              GFileMonitorEvent event, gpointer self);
    static gboolean OnReloadDue(gpointer self);

    void Draw(cairo_t* cr, int width, int height, int scale);
    // Zooms by factor, keeping the document's point under (x, y) of the
    // window where it is.
    void Zoom(double factor, double x, double y);
    void Zoom(double factor);
    void Pan(double dx, double dy);
    void Reload();
    void UpdateTitle();

    std::string m_path;
    std::string m_name; // the file's name, for the title
    std::unique_ptr<CKelSvg> m_picture;
    int m_docWidth = 0; // the document's own size; 0 when it has none
    int m_docHeight = 0;
    std::string m_problem;

    bool m_fit = true; // the picture fills the window, keeping its shape
    double m_zoom = 1; // else its size is the document's times this
    double m_shownZoom = 1;
    double m_panX = 0; // the picture moved from the window's centre, in window pixels
    double m_panY = 0;
    double m_dragX = 0; // where the pointer was while a drag moves the picture
    double m_dragY = 0;

    // What the bitmap cache holds: the picture's size on screen, in pixels.
    bool m_cacheValid = false;
    int m_cacheWidth = 0;
    int m_cacheHeight = 0;
    int m_rectX = 0;
    int m_rectY = 0;

    GtkWidget* m_window = nullptr;
    GtkWidget* m_area = nullptr;
    GFileMonitor* m_monitor = nullptr;
    guint m_reloadTimer = 0;
};
