// Printing through the real GTK print dialog onto GTK's own "Print to File" printer, which
// needs no print server: the dialog is answered from inside its loop and the PDF it writes is
// read back. GTK's print dialog has no wx window, so it is answered through GTK itself.
#include <gtest/gtest.h>
#include <wx/gtk/print.h>
#include <wx/timer.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

#include "archive/export/PrintJob.h"
#include "archive/export/ui/WxPrinter.h"
#include "common/AppFolders.h"
#include "common/SettingsStore.h"
#include "tests/exportui/ExportUiTestSupport.h"
#include "tests/exportui/GtkCalls.h"
#include "tests/support/TestSupport.h"

using exportuitest::Gtk;

namespace {

constexpr const char* kFilePrinter = "Print to File";

Image32 Quadrants() {
    Image32 img(480, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 480; ++x)
            img.At(x, y) = (y < 240) == (x < 240) ? 0x202020u : 0xE0E0E0u;
    return img;
}

int CountPages(const std::string& pdf) {
    int pages = 0;
    for (size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        if (pdf.compare(at, 12, "/Type /Pages") != 0)
            ++pages;
    return pages;
}

// Points the print server client somewhere for the life of the object, so that no real
// printer can take a test page, whatever the machine has.
class PrintServerAt {
public:
    explicit PrintServerAt(const char* server) {
        if (const char* old = std::getenv("CUPS_SERVER"))
            m_old = old;
        Use(server);
    }
    ~PrintServerAt() { Use(m_old ? m_old->c_str() : nullptr); }

private:
    static void Use(const char* server) {
        if (server)
            setenv("CUPS_SERVER", server, 1);
        else
            unsetenv("CUPS_SERVER");
        // The client library reads the variable once; once GTK's print backend has loaded it
        // (privately), it is told directly.
        void* cups = dlopen("libcups.so.2", RTLD_NOW | RTLD_NOLOAD);
        if (!cups)
            return;
        using SetServer = void (*)(const char*);
        if (auto set = reinterpret_cast<SetServer>(dlsym(cups, "cupsSetServer")))
            set(server);
        dlclose(cups);
    }
    std::optional<std::string> m_old;
};

// A print server that takes connections and never answers.
class SilentServer {
public:
    SilentServer() {
        m_fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof addr;
        if (m_fd < 0 || bind(m_fd, reinterpret_cast<sockaddr*>(&addr), size) != 0 || listen(m_fd, 16) != 0 ||
            getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &size) != 0)
            return;
        m_address = "127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
    }
    ~SilentServer() {
        if (m_fd >= 0)
            close(m_fd);
    }
    const std::string& Address() const { return m_address; }

private:
    int m_fd = -1;
    std::string m_address;
};

// Answers GTK's print dialog from inside its loop: OK once the file printer is chosen in it and
// the dialog had a few ticks to draw; Cancel when no printer is chosen within a minute, so that
// a broken dialog fails the test rather than hangs it. A dialog still up well after OK has a
// question over it (GTK asks before it replaces a file): both are cancelled, as a failure.
class PrintDialogAnswerer {
public:
    PrintDialogAnswerer(const Gtk& gtk, std::function<void()> beforeOk = {}) {
        const auto began = std::chrono::steady_clock::now();
        m_timer.Bind(wxEVT_TIMER, [this, &gtk, began, beforeOk](wxTimerEvent&) {
            void* dialog = gtk.PrintDialog();
            if (!dialog || answered)
                return;
            void* selected = gtk.selectedPrinter(dialog);
            const bool late = std::chrono::steady_clock::now() - began > testsupport::kPatience;
            if ((!selected || ++m_ticksChosen < 4) && !late)
                return;
            chosenPrinter = selected ? gtk.printerName(selected) : "";
            answered = true;
            m_answeredAt = std::chrono::steady_clock::now();
            if (late)
                ADD_FAILURE() << "no printer was chosen in the print dialog within a minute";
            else if (beforeOk)
                beforeOk();
            gtk.respond(dialog, late ? Gtk::kResponseCancel : Gtk::kResponseOk);
        });
        m_timer.Start(100);
        // A timer of its own: the question runs its loop inside the OK given by the one above.
        m_watch.Bind(wxEVT_TIMER, [this, &gtk](wxTimerEvent&) {
            void* dialog = gtk.PrintDialog();
            if (!dialog || !answered || m_gaveUp ||
                std::chrono::steady_clock::now() - m_answeredAt < std::chrono::seconds(30))
                return;
            m_gaveUp = true;
            ADD_FAILURE() << "the print dialog was still up after OK: it asked to replace a file";
            CancelDialogsOver(gtk, dialog);
            gtk.respond(dialog, Gtk::kResponseCancel);
        });
        m_watch.Start(250);
    }
    ~PrintDialogAnswerer() {
        m_timer.Stop();
        m_watch.Stop();
    }
    bool answered = false;
    std::string chosenPrinter;

private:
    static void CancelDialogsOver(const Gtk& gtk, void* printDialog) {
        using TypeOf = unsigned long (*)();
        static const auto dialogType = reinterpret_cast<TypeOf>(dlsym(RTLD_DEFAULT, "gtk_dialog_get_type"));
        if (!dialogType)
            return;
        Gtk::GList* all = gtk.listToplevels();
        for (Gtk::GList* l = all; l; l = l->next)
            if (l->data != printDialog && gtk.isA(l->data, dialogType()) && gtk.visible(l->data))
                gtk.respond(l->data, Gtk::kResponseCancel);
        gtk.freeList(all);
    }

    wxTimer m_timer;
    wxTimer m_watch;
    int m_ticksChosen = 0;  // the dialog is drawn a moment after it has its printer
    std::chrono::steady_clock::time_point m_answeredAt;
    bool m_gaveUp = false;
};

}  // namespace

class GtkPrintWindow : public wxtest::WindowTest {};

TEST_F(GtkPrintWindow, PrintToFileFromTheDialogGivesOnePdfPage) {
    const Gtk gtk;
    ASSERT_TRUE(gtk.Loaded());
    testsupport::TempDir dir;
    const std::string pdfPath = dir / "page.pdf";

    wxPrintData start;
    start.SetPrinterName(kFilePrinter);
    start.SetPaperId(wxPAPER_A4);
    void* settings = static_cast<wxGtkPrintNativeData*>(start.GetNativeData())->GetPrintConfig();
    gtk.setSetting(settings, "output-uri", ("file://" + pdfPath).c_str());
    gtk.setSetting(settings, "output-file-format", "pdf");
    CWxPrinter printer(start);

    std::filesystem::path artifacts;
    PrintDialogAnswerer answer(gtk, [&] {
        artifacts = std::filesystem::path(exportuitest::SaveScreenArtifact("gtk_print_dialog")).parent_path();
    });
    testsupport::MessageBoxRecorder boxes;
    const bool printed = exportfile::PrintImage(printer, true, "0001 Test",
                                                "Measurement Time:2020-08-20 12:34:56", Quadrants());
    EXPECT_TRUE(answer.answered);
    EXPECT_EQ(answer.chosenPrinter, kFilePrinter);
    EXPECT_TRUE(printed);
    EXPECT_TRUE(boxes.shown().empty());

    if (!artifacts.empty())
        std::filesystem::copy_file(pdfPath, artifacts / "gtk_printed_page.pdf",
                                   std::filesystem::copy_options::overwrite_existing);
    const std::string pdf = testsupport::ReadAll(pdfPath);
    EXPECT_EQ(CountPages(pdf), 1);
    EXPECT_NE(pdf.find("/MediaBox [ 0 0 595.27"), std::string::npos) << "an A4 page";
    EXPECT_NE(pdf.find("/Subtype /Image"), std::string::npos) << "the image was drawn";
}

TEST_F(GtkPrintWindow, PrintToFileOffersTheExportFolderUnderEachJobsName) {
    const Gtk gtk;
    ASSERT_TRUE(gtk.Loaded());
    testsupport::TempDir dir;
    testsupport::ScopedEnv programData("ProgramData", dir / "data");
    ResetSettingsForTesting();
    ResetAppFoldersForTesting();
    const std::string out = dir / "exports/";
    ASSERT_TRUE(std::filesystem::create_directories(out));
    ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::outputfolder, out));

    wxPrintData start;
    start.SetPrinterName(kFilePrinter);
    start.SetPaperId(wxPAPER_A4);
    void* settings = static_cast<wxGtkPrintNativeData*>(start.GetNativeData())->GetPrintConfig();
    gtk.setSetting(settings, "output-file-format", "pdf");
    // One printer for the viewer's life: the second patient's page is not offered under the
    // first one's name. A slash of the name cannot be part of a file name.
    CWxPrinter printer(start);
    // A long id and a 64-character name in Japanese run over the 255 bytes a file name holds:
    // the name is cut at a character's start.
    std::string longName;
    for (int i = 0; i < 64; ++i)
        longName += "\u3042";
    const std::string longTitle = std::string(63, '7') + " " + longName;
    const std::string longFile = longTitle.substr(0, 64 + 3 * 62) + ".pdf";
    const struct {
        std::string title;
        std::string file;
    } jobs[] = {{"0001 Test/Name", "0001 Test_Name.pdf"},
                {"0002 Other #50%", "0002 Other #50%.pdf"},
                {longTitle, longFile}};
    for (const auto& job : jobs) {
        SCOPED_TRACE(job.title);
        const PrintDialogAnswerer answer(gtk);
        testsupport::MessageBoxRecorder boxes;
        const bool printed = exportfile::PrintImage(printer, true, job.title,
                                                    "Measurement Time:2020-08-20 12:34:56", Quadrants());
        EXPECT_TRUE(answer.answered);
        EXPECT_TRUE(printed);
        const std::string pdf = out + job.file;
        EXPECT_TRUE(std::filesystem::is_regular_file(pdf)) << "not in the export folder";
        EXPECT_EQ(CountPages(testsupport::ReadAll(pdf)), 1);
    }
    ResetSettingsForTesting();
    ResetAppFoldersForTesting();
}

TEST_F(GtkPrintWindow, WithoutTheDialogAMissingPrinterIsAnError) {
    // No printer takes the page. Nobody cancelled, so the user is told; a hang would show as
    // the test's timeout.
    const SilentServer silent;
    ASSERT_FALSE(silent.Address().empty());
    struct Case {
        const char* backends;
        const char* server;
        const char* what;
    };
    const Case cases[] = {
        {"file", "/nonexistent/print-server.sock", "only a file printer, which is never the default"},
        {"cups,file", "/nonexistent/print-server.sock", "no print server running (GTK alone waits forever)"},
        {"cups,file", silent.Address().c_str(), "a print server that never answers: the wait is bounded"},
    };
    const Gtk gtk;
    ASSERT_TRUE(gtk.Loaded());
    const std::string backends = gtk.PrintBackends();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const PrintServerAt server(c.server);
        gtk.UsePrintBackends(c.backends);
        CWxPrinter printer;
        testsupport::MessageBoxRecorder boxes;
        EXPECT_FALSE(exportfile::PrintImage(printer, false, "0001 Test", "x", Quadrants()));
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Error);
    }
    gtk.UsePrintBackends(backends);
}
