// Shows an SVG file in a GTK 3 window, drawn by the library onto the
// widget's own Cairo context: gtk-draw FILE.svg
#include "interface/KelSvg.h"
#include "platform/mfc/Afx.h"
#include "platform/win32/Win32.h"

#include <gtk/gtk.h>

static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
    auto* picture = static_cast<CKelSvg*>(data); // parsed once, in main
    picture->CommandSetSVGWinRect(0, 0, gtk_widget_get_allocated_width(widget),
                                  gtk_widget_get_allocated_height(widget));
    HDC hdc = CreateCairoDC(cr); // the widget keeps its cr
    CDC dc(hdc);
    picture->CommandDrawSVG(&dc); // cr's state is as before
    dc.Detach();
    DeleteDC(hdc);
    return FALSE;
}

int main(int argc, char** argv) {
    gtk_init(&argc, &argv);
    if (argc != 2)
        return 1;
    CKelSvg picture;
    picture.CommandParseSVGFile(argv[1]);
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWidget* area = gtk_drawing_area_new();
    gtk_container_add(GTK_CONTAINER(window), area);
    gtk_window_set_default_size(GTK_WINDOW(window), 480, 320);
    g_signal_connect(area, "draw", G_CALLBACK(OnDraw), &picture);
    g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_widget_show_all(window);
    gtk_main();
    return 0;
}
