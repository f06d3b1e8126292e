#include "OptionsView.h"

#include <gtk/gtk.h>

#include <cmath>
#include <cstdio>

namespace {

// The dialog was laid out in dialog units of an 8-point font; these turn them into pixels
// of today's desktop themes with the same proportions.
constexpr double kUnitX = 1.75;
constexpr double kUnitY = 1.75;

int X(int units) {
    return static_cast<int>(std::lround(units * kUnitX));
}
int Y(int units) {
    return static_cast<int>(std::lround(units * kUnitY));
}

struct SView {
    COptionsDialog* dialog = nullptr;
    GtkWidget* window = nullptr;
    GtkWidget* boxes[kOptionCount] = {};
    bool saved = false;
};

void Save(SView& view) {
    for (int i = 0; i < kOptionCount; ++i) {
        view.dialog->SetChecked(i, gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(view.boxes[i])) !=
                                       FALSE);
    }
    if (!view.dialog->Save()) {
        std::fprintf(stderr, "zantor-options: %s konnte nicht geschrieben werden.\n",
                     view.dialog->GetFile().c_str());
    }
    view.saved = true;
    gtk_widget_destroy(view.window);
}

void OnOk(GtkButton*, gpointer data) {
    Save(*static_cast<SView*>(data));
}

void OnCancel(GtkButton*, gpointer data) {
    gtk_widget_destroy(static_cast<SView*>(data)->window);
}

gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    SView& view = *static_cast<SView*>(data);
    if (event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter) {
        Save(view);
        return TRUE;
    }
    if (event->keyval == GDK_KEY_Escape) {
        gtk_widget_destroy(view.window);
        return TRUE;
    }
    return FALSE;
}

} // namespace

int RunOptionsDialog(COptionsDialog& dialog, int& argc, char**& argv) {
    if (gtk_init_check(&argc, &argv) == FALSE) {
        std::fprintf(stderr, "zantor-options: Kein Bildschirm gefunden; das Fenster braucht "
                             "eine grafische Sitzung.\n"
                             "zantor-options: Ohne Fenster: zantor-options --list, "
                             "zantor-options --set Schlüssel=0|1 ...\n");
        return 1;
    }
    SView view;
    view.dialog = &dialog;
    view.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(view.window);
    gtk_window_set_title(window, "Zantor Optionen");
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    gtk_window_set_default_size(window, X(142), Y(206));
    g_signal_connect(view.window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    g_signal_connect(view.window, "key-press-event", G_CALLBACK(OnKey), &view);

    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, X(142), Y(206));
    gtk_container_add(GTK_CONTAINER(view.window), fixed);

    GtkWidget* ok = gtk_button_new_with_label("OK");
    GtkWidget* cancel = gtk_button_new_with_label("Abbrechen");
    gtk_widget_set_size_request(ok, X(50), Y(14));
    gtk_widget_set_size_request(cancel, X(50), Y(14));
    gtk_widget_set_can_default(ok, TRUE);
    gtk_fixed_put(GTK_FIXED(fixed), ok, X(10), Y(185));
    gtk_fixed_put(GTK_FIXED(fixed), cancel, X(80), Y(185));
    g_signal_connect(ok, "clicked", G_CALLBACK(OnOk), &view);
    g_signal_connect(cancel, "clicked", G_CALLBACK(OnCancel), &view);

    // Where each box stands, top to bottom, in dialog units.
    static constexpr int kRows[kOptionCount] = {15, 35, 55, 76, 95, 116, 135, 156};
    for (int i = 0; i < kOptionCount; ++i) {
        view.boxes[i] =
            gtk_check_button_new_with_label(kOptions[static_cast<std::size_t>(i)].caption);
        gtk_widget_set_size_request(view.boxes[i], X(85), Y(15));
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(view.boxes[i]), dialog.IsChecked(i));
        gtk_fixed_put(GTK_FIXED(fixed), view.boxes[i], X(35), Y(kRows[i]));
    }

    // The Tab key goes as the dialog was made: the buttons, the six effects from the top,
    // then "fps anzeigen" and "Fenstermodus".
    GList* chain = nullptr;
    chain = g_list_append(chain, ok);
    chain = g_list_append(chain, cancel);
    for (const int i : {2, 3, 4, 5, 6, 7, 1, 0}) {
        chain = g_list_append(chain, view.boxes[i]);
    }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    gtk_container_set_focus_chain(GTK_CONTAINER(fixed), chain);
#pragma GCC diagnostic pop
    g_list_free(chain);

    gtk_window_set_default(window, ok);
    gtk_widget_show_all(view.window);
    gtk_widget_grab_focus(ok);
    gtk_main();
    return 0;
}
