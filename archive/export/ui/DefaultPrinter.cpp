#include "archive/export/ui/DefaultPrinter.h"

#include <dlfcn.h>
#include <glib.h>

#include <list>

namespace exportui {
namespace {

// GTK is in the process already (wx's GTK port loaded it); its print headers are not needed
// for these four calls.
struct GtkPrinterCalls {
    using PrinterFunc = gboolean (*)(void* printer, gpointer data);
    void (*enumeratePrinters)(PrinterFunc, gpointer, GDestroyNotify, gboolean wait) = nullptr;
    gboolean (*isDefault)(void* printer) = nullptr;
    gboolean (*isVirtual)(void* printer) = nullptr;
    const char* (*name)(void* printer) = nullptr;

    GtkPrinterCalls() {
        Load(enumeratePrinters, "gtk_enumerate_printers");
        Load(isDefault, "gtk_printer_is_default");
        Load(isVirtual, "gtk_printer_is_virtual");
        Load(name, "gtk_printer_get_name");
    }
    bool Loaded() const { return enumeratePrinters && isDefault && isVirtual && name; }

private:
    template <typename F>
    static void Load(F& f, const char* symbol) {
        f = reinterpret_cast<F>(dlsym(RTLD_DEFAULT, symbol));
    }
};

const GtkPrinterCalls& Calls() {
    static const GtkPrinterCalls calls;
    return calls;
}

struct Search {
    std::optional<std::string> found;
    bool listed = false;     // GTK has let go of the search: every backend listed, or we stopped it
    bool abandoned = false;  // we stopped waiting; GTK may still call back
};

// Searches live here so that GTK can still call back into one we stopped waiting for (a
// backend that never finishes listing keeps its search for the life of the process).
std::list<Search>& Searches() {
    static std::list<Search> searches;
    return searches;
}

gboolean OnPrinter(void* printer, gpointer data) {
    auto* search = static_cast<Search*>(data);
    if (search->abandoned)
        return TRUE;
    // GTK's own lookup skips virtual printers (print to file): naming one would leave it waiting.
    const GtkPrinterCalls& gtk = Calls();
    if (!gtk.isDefault(printer) || gtk.isVirtual(printer))
        return FALSE;
    const char* name = gtk.name(printer);
    if (!name || !*name)
        return FALSE;
    search->found = name;
    return TRUE;
}

void OnListed(gpointer data) {
    auto* search = static_cast<Search*>(data);
    search->listed = true;
    if (search->abandoned)
        Searches().remove_if([search](const Search& s) { return &s == search; });
}

gboolean OnBound(gpointer data) {
    *static_cast<bool*>(data) = true;
    return G_SOURCE_REMOVE;
}

}  // namespace

std::optional<std::string> FindDefaultPrinter(std::chrono::milliseconds bound) {
    const GtkPrinterCalls& gtk = Calls();
    if (!gtk.Loaded())
        return std::nullopt;
    Search& search = Searches().emplace_back();
    gtk.enumeratePrinters(&OnPrinter, &search, &OnListed, FALSE);

    bool late = false;
    const guint timer = g_timeout_add(static_cast<guint>(bound.count()), &OnBound, &late);
    while (!search.found && !search.listed && !late)
        g_main_context_iteration(nullptr, TRUE);
    if (!late)
        g_source_remove(timer);

    std::optional<std::string> found = search.found;
    if (search.listed)
        Searches().remove_if([&search](const Search& s) { return &s == &search; });
    else
        search.abandoned = true;
    return found;
}

}  // namespace exportui
