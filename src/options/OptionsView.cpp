#include "OptionsView.h"

#include "platform/Translation.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>

namespace {

// Spacing as the GNOME guidelines give it: 12 pixels around the content and between groups,
// 6 between the controls of one group.
constexpr int kBorder = 12;
constexpr int kRelated = 6;

struct SView {
    COptionsDialog* dialog = nullptr;
    GtkWidget* window = nullptr;
    GtkWidget* boxes[kOptionCount] = {};
};

// Tells that the file could not be written. The options window stays open as it is, so the
// player can try again or cancel.
void ShowSaveError(const SView& view, const std::string& reason) {
    GtkWidget* message = gtk_message_dialog_new(
        GTK_WINDOW(view.window),
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
        GTK_MESSAGE_ERROR, GTK_BUTTONS_NONE, "%s",
        Tr("Die Einstellungen konnten nicht gespeichert werden."));
    // A file name need not be UTF-8; GTK shows only text that is.
    const std::unique_ptr<gchar, decltype(&g_free)> file(
        g_filename_display_name(view.dialog->GetFile().c_str()), &g_free);
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(message), "%s: %s", file.get(),
                                             reason.c_str());
    gtk_window_set_title(GTK_WINDOW(message), Tr("Fehler beim Speichern"));
    gtk_window_set_position(GTK_WINDOW(message), GTK_WIN_POS_CENTER_ON_PARENT);
    gtk_dialog_add_button(GTK_DIALOG(message), Tr("_Schließen"), GTK_RESPONSE_CLOSE);
    gtk_dialog_set_default_response(GTK_DIALOG(message), GTK_RESPONSE_CLOSE);
    gtk_dialog_run(GTK_DIALOG(message));
    gtk_widget_destroy(message);
}

void OnOk(GtkButton*, gpointer data) {
    SView& view = *static_cast<SView*>(data);
    for (int i = 0; i < kOptionCount; ++i) {
        view.dialog->SetChecked(i, gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(view.boxes[i])) !=
                                       FALSE);
    }
    std::string reason;
    if (!view.dialog->Save(&reason)) {
        ShowSaveError(view, reason);
        return;
    }
    gtk_widget_destroy(view.window);
}

void OnCancel(GtkButton*, gpointer data) {
    gtk_widget_destroy(static_cast<SView*>(data)->window);
}

// Escape cancels. Enter is left to the window: it activates the focused button, or the
// default button "OK" when a check box has the focus.
gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    if (event->keyval == GDK_KEY_Escape) {
        gtk_widget_destroy(static_cast<SView*>(data)->window);
        return TRUE;
    }
    return FALSE;
}

// Lets the Tab key visit the children of container in the given order.
void SetFocusOrder(GtkWidget* container, std::initializer_list<GtkWidget*> order) {
    GList* chain = nullptr;
    for (GtkWidget* widget : order) {
        chain = g_list_append(chain, widget);
    }
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    gtk_container_set_focus_chain(GTK_CONTAINER(container), chain);
#pragma GCC diagnostic pop
    g_list_free(chain);
}

} // namespace

int RunOptionsDialog(COptionsDialog& dialog, int& argc, char**& argv) {
    if (gtk_init_check(&argc, &argv) == FALSE) {
        std::fputs(Tr("zantor-options: Kein Bildschirm gefunden; das Fenster braucht "
                      "eine grafische Sitzung.\n"
                      "zantor-options: Ohne Fenster: zantor-options --list, "
                      "zantor-options --set NAME=0|1 ...\n"),
                   stderr);
        return 1;
    }
    SView view;
    view.dialog = &dialog;
    view.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWindow* window = GTK_WINDOW(view.window);
    gtk_window_set_title(window, Tr("Zantor Optionen"));
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    g_signal_connect(view.window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    g_signal_connect(view.window, "key-press-event", G_CALLBACK(OnKey), &view);

    // The check boxes in a column above the button row.
    GtkWidget* content = gtk_box_new(GTK_ORIENTATION_VERTICAL, kBorder);
    gtk_widget_set_margin_start(content, kBorder);
    gtk_widget_set_margin_end(content, kBorder);
    gtk_widget_set_margin_top(content, kBorder);
    gtk_widget_set_margin_bottom(content, kBorder);
    gtk_container_add(GTK_CONTAINER(view.window), content);

    GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, kRelated);
    gtk_box_pack_start(GTK_BOX(content), column, FALSE, FALSE, 0);
    for (int i = 0; i < kOptionCount; ++i) {
        view.boxes[i] =
            gtk_check_button_new_with_label(Tr(kOptions[static_cast<std::size_t>(i)].caption));
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(view.boxes[i]), dialog.IsChecked(i));
        gtk_box_pack_start(GTK_BOX(column), view.boxes[i], FALSE, FALSE, 0);
    }

    // At the bottom right, "OK" last, both as wide as the wider.
    GtkWidget* buttons = gtk_button_box_new(GTK_ORIENTATION_HORIZONTAL);
    gtk_button_box_set_layout(GTK_BUTTON_BOX(buttons), GTK_BUTTONBOX_END);
    gtk_box_set_spacing(GTK_BOX(buttons), kRelated);
    gtk_box_pack_end(GTK_BOX(content), buttons, FALSE, FALSE, 0);
    GtkWidget* cancel = gtk_button_new_with_label(Tr("Abbrechen"));
    GtkWidget* ok = gtk_button_new_with_label("OK");
    gtk_container_add(GTK_CONTAINER(buttons), cancel);
    gtk_container_add(GTK_CONTAINER(buttons), ok);
    g_signal_connect(ok, "clicked", G_CALLBACK(OnOk), &view);
    g_signal_connect(cancel, "clicked", G_CALLBACK(OnCancel), &view);

    // The Tab key goes as the dialog always went: the buttons, the six effects from the top,
    // then "fps anzeigen" and "Fenstermodus".
    SetFocusOrder(content, {buttons, column});
    SetFocusOrder(buttons, {ok, cancel});
    SetFocusOrder(column,
                  {view.boxes[2], view.boxes[3], view.boxes[4], view.boxes[5], view.boxes[6],
                   view.boxes[7], view.boxes[1], view.boxes[0], view.boxes[8]});

    gtk_widget_set_can_default(ok, TRUE);
    gtk_widget_show_all(view.window);
    gtk_widget_grab_default(ok);
    gtk_widget_grab_focus(ok);
    gtk_main();
    return 0;
}
