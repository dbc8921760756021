// The few GTK calls the window tests need to answer GTK's own dialogs (the print dialog, the
// folder chooser behind wxDirDialog), looked up in the process: wx has loaded GTK already, and
// its development headers are not needed for this.
#pragma once

#include <dlfcn.h>

#include <string>

namespace exportuitest {

struct Gtk {
    struct GList {
        void* data;
        GList* next;
        GList* prev;
    };
    static constexpr int kResponseAccept = -3;
    static constexpr int kResponseOk = -5;
    static constexpr int kResponseCancel = -6;

    GList* (*listToplevels)() = nullptr;
    void (*freeList)(GList*) = nullptr;
    void (*free)(void*) = nullptr;
    unsigned long (*printDialogType)() = nullptr;
    unsigned long (*folderChooserType)() = nullptr;
    const char* (*windowTitle)(void*) = nullptr;
    int (*isA)(void*, unsigned long) = nullptr;
    int (*visible)(void*) = nullptr;
    void* (*selectedPrinter)(void*) = nullptr;
    const char* (*printerName)(void*) = nullptr;
    void (*respond)(void*, int) = nullptr;
    void (*setSetting)(void*, const char*, const char*) = nullptr;
    char* (*chooserFolder)(void*) = nullptr;
    void* (*settings)() = nullptr;
    void (*setProperty)(void*, const char*, ...) = nullptr;
    void (*getProperty)(void*, const char*, ...) = nullptr;

    Gtk() {
        Load(listToplevels, "gtk_window_list_toplevels");
        Load(freeList, "g_list_free");
        Load(free, "g_free");
        Load(printDialogType, "gtk_print_unix_dialog_get_type");
        Load(folderChooserType, "gtk_file_chooser_dialog_get_type");
        Load(windowTitle, "gtk_window_get_title");
        Load(isA, "g_type_check_instance_is_a");
        Load(visible, "gtk_widget_get_visible");
        Load(selectedPrinter, "gtk_print_unix_dialog_get_selected_printer");
        Load(printerName, "gtk_printer_get_name");
        Load(respond, "gtk_dialog_response");
        Load(setSetting, "gtk_print_settings_set");
        Load(chooserFolder, "gtk_file_chooser_get_current_folder");
        Load(settings, "gtk_settings_get_default");
        Load(setProperty, "g_object_set");
        Load(getProperty, "g_object_get");
    }
    bool Loaded() const {
        return listToplevels && freeList && free && printDialogType && folderChooserType && windowTitle &&
               isA && visible && selectedPrinter && printerName && respond && setSetting && chooserFolder &&
               settings && setProperty;
    }

    // The shown GTK print dialog or file chooser dialog, or null.
    void* PrintDialog() const { return Shown(printDialogType()); }
    void* FileChooser() const { return Shown(folderChooserType()); }

    std::string Title(void* window) const {
        const char* title = windowTitle(window);
        return title ? title : "";
    }

    // Which print backends GTK loads for the next print job ("file", "file,cups").
    std::string PrintBackends() const {
        char* value = nullptr;
        getProperty(settings(), "gtk-print-backends", &value, nullptr);
        std::string backends = value ? value : "";
        free(value);
        return backends;
    }
    void UsePrintBackends(const std::string& backends) const {
        setProperty(settings(), "gtk-print-backends", backends.c_str(), nullptr);
    }

    // The folder a file chooser shows; empty until it has one.
    std::string CurrentFolder(void* chooser) const {
        char* folder = chooserFolder(chooser);
        std::string path = folder ? folder : "";
        free(folder);
        return path;
    }

private:
    void* Shown(unsigned long type) const {
        void* found = nullptr;
        GList* all = listToplevels();
        for (GList* l = all; l; l = l->next)
            if (isA(l->data, type) && visible(l->data))
                found = l->data;
        freeList(all);
        return found;
    }

    template <typename F>
    static void Load(F& f, const char* name) {
        f = reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
    }
};

}  // namespace exportuitest
