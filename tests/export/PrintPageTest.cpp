#include <gtest/gtest.h>

#include <cairo-pdf.h>
#include <cairo.h>

#include "archive/export/PrintJob.h"
#include "archive/export/PrintPage.h"
#include "tests/support/TestSupport.h"

using namespace exportfile;

namespace {

constexpr uint32_t kPaperless = 0x808080;  // what the test surface holds where nothing is drawn
constexpr uint8_t kQuadrants[4] = {0, 255, 96, 176};

Image32 QuadrantImage() {
    Image32 img(480, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 480; ++x)
            img.At(x, y) = GreyPixel(kQuadrants[(y >= 240) * 2 + (x >= 240)]);
    return img;
}

// Renders the page into an RGB image of the printable size.
Image32 RenderPage(int width, int height, double dpi, const std::string& caption1) {
    Image32 page(width, height, kPaperless);
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(page.data()), CAIRO_FORMAT_RGB24, width, height, width * 4);
    cairo_t* cr = cairo_create(surface);
    DrawPrintPage(cr, ComputePrintLayout(width, height), QuadrantImage(), caption1,
                  "Measurement Time:2020/08/20", dpi);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
    for (size_t i = 0; i < page.size(); ++i)
        page.data()[i] &= 0xFFFFFF;  // cairo's unused byte
    return page;
}

}  // namespace

TEST(PrintPage, IntegerLayout) {
    struct Case {
        int h, v;
        int half, m, s;
        draw::Point caption;
    };
    const Case cases[] = {
        {4960, 7016, 3508, 233, 3042, {233, 116}},  // A4 at 600 dpi
        {7016, 4960, 2480, 165, 2150, {165, 82}},   // landscape: the square follows the height
        {100, 701, 350, 23, 304, {23, 11}},         // odd height
        {3, 3, 1, 0, 1, {0, 0}},                    // tiny page
        {0, 0, 0, 0, 0, {0, 0}},
    };
    for (const Case& c : cases) {
        const PrintLayout l = ComputePrintLayout(c.h, c.v);
        EXPECT_EQ(l.half, c.half) << c.h << "x" << c.v;
        EXPECT_EQ(l.margin, c.m) << c.h << "x" << c.v;
        EXPECT_EQ(l.side, c.s) << c.h << "x" << c.v;
        EXPECT_EQ(l.caption, c.caption) << c.h << "x" << c.v;
        EXPECT_EQ(l.image, draw::RectOfSize(c.m, c.m, c.s, c.s));
        EXPECT_EQ(l.frame, (draw::Rect{1, 1, c.h - 2, c.half - 2}));
    }
    EXPECT_EQ(PrintCaptionLine("0001 Test", "Measurement Time:x"), "0001 Test   Measurement Time:x");
}

TEST(PrintPage, RenderedIntoAnImage) {
    const Image32 page = RenderPage(496, 702, 60, "0001 Test");
    const PrintLayout l = ComputePrintLayout(496, 702);  // half 351, m 23, s 305
    // The frame: a black outline on (1, 1)-(493, 348); outside it nothing is drawn.
    for (const draw::Point p : {draw::Point{1, 1}, draw::Point{493, 1}, draw::Point{1, 348},
                                draw::Point{493, 348}, draw::Point{250, 1}, draw::Point{1, 200}})
        EXPECT_EQ(page.At(p.x, p.y), 0x000000u) << p.x << "," << p.y;
    for (const draw::Point p :
         {draw::Point{0, 0}, draw::Point{494, 200}, draw::Point{200, 349}, draw::Point{200, 500}})
        EXPECT_EQ(page.At(p.x, p.y), kPaperless) << p.x << "," << p.y;
    // White inside, beside the image.
    EXPECT_EQ(page.At(10, 200), 0xFFFFFFu);
    EXPECT_EQ(page.At(400, 200), 0xFFFFFFu);
    // The quadrants in place.
    const int q = l.side / 4;
    const int centres[4][2] = {{l.margin + q, l.margin + q},
                               {l.margin + 3 * q, l.margin + q},
                               {l.margin + q, l.margin + 3 * q},
                               {l.margin + 3 * q, l.margin + 3 * q}};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(PixelG(page.At(centres[i][0], centres[i][1])), kQuadrants[i], 2) << i;
    // Caption ink starts near (m, m / 2), above the image.
    int inkLeft = 1000, inkTop = 1000;
    for (int y = 2; y < l.margin; ++y)
        for (int x = 2; x < 490; ++x)
            if (PixelG(page.At(x, y)) < 0x80) {
                inkLeft = std::min(inkLeft, x);
                inkTop = std::min(inkTop, y);
            }
    EXPECT_NEAR(inkLeft, l.caption.x, 3);
    EXPECT_NEAR(inkTop, l.caption.y, 5);
}

TEST(PrintPage, PdfHasOneA4PageTitledCaptionOne) {
    testsupport::TempDir dir;
    const std::string path = dir / "page.pdf";
    cairo_surface_t* surface = cairo_pdf_surface_create(path.c_str(), 595.28, 841.89);
    cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, "0001 Test");
    cairo_t* cr = cairo_create(surface);
    DrawPrintPage(cr, ComputePrintLayout(595, 841), QuadrantImage(), "0001 Test", "Measurement Time:x", 72);
    cairo_show_page(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    ASSERT_EQ(cairo_surface_status(surface), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(surface);

    const std::string pdf = testsupport::ReadAll(path);
    int pages = 0;
    for (size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
        if (pdf.compare(at, 12, "/Type /Pages") != 0)
            ++pages;
    EXPECT_EQ(pages, 1);
    EXPECT_NE(pdf.find("/MediaBox [ 0 0 595.28 841.89 ]"), std::string::npos);
    EXPECT_NE(pdf.find("/Title (0001 Test)"), std::string::npos);
}

namespace {

// A printer that answers as scripted and prints onto a 496 x 702 image.
class ScriptedPrinter : public IPrinter {
public:
    explicit ScriptedPrinter(PrintStatus answer) : answer_(answer) {}
    PrintStatus PrintOnePage(bool showDialog, const std::string& title, const PageDrawer& draw) override {
        dialogShown = showDialog;
        jobTitle = title;
        if (answer_ != PrintStatus::Printed)
            return answer_;
        page = Image32(496, 702, 0xFFFFFF);
        cairo_surface_t* surface = cairo_image_surface_create_for_data(
            reinterpret_cast<unsigned char*>(page.data()), CAIRO_FORMAT_RGB24, 496, 702, 496 * 4);
        cairo_t* cr = cairo_create(surface);
        draw(cr, 496, 702, 60);
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        return answer_;
    }
    bool dialogShown = false;
    std::string jobTitle;
    Image32 page;

private:
    PrintStatus answer_;
};

}  // namespace

TEST(PrintJob, ThroughThePrinterSeam) {
    {
        testsupport::MessageBoxRecorder boxes;
        ScriptedPrinter printer(PrintStatus::Printed);
        EXPECT_TRUE(PrintImage(printer, false, "0001 Test", "Measurement Time:x", QuadrantImage()));
        EXPECT_FALSE(printer.dialogShown);  // SELPRINTER 0: straight to the default printer
        EXPECT_EQ(printer.jobTitle, "0001 Test");
        EXPECT_EQ(printer.page.At(1, 1) & 0xFFFFFF, 0u);  // the frame was drawn
        EXPECT_TRUE(boxes.shown().empty());
    }
    {
        testsupport::MessageBoxRecorder boxes;
        ScriptedPrinter printer(PrintStatus::Cancelled);
        EXPECT_FALSE(PrintImage(printer, true, "0001 Test", "x", QuadrantImage()));
        EXPECT_TRUE(printer.dialogShown);
        EXPECT_TRUE(boxes.shown().empty());  // cancelling says nothing
    }
    {
        testsupport::MessageBoxRecorder boxes;
        ScriptedPrinter printer(PrintStatus::Error);
        EXPECT_FALSE(PrintImage(printer, true, "0001 Test", "x", QuadrantImage()));
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Error);
    }
    {
        testsupport::MessageBoxRecorder boxes;
        ScriptedPrinter printer(PrintStatus::Printed);
        EXPECT_FALSE(PrintImage(printer, true, "0001 Test", "x", Image32()));
        EXPECT_TRUE(printer.jobTitle.empty());  // nothing reached the printer
        ASSERT_EQ(boxes.shown().size(), 1u);
        EXPECT_EQ(boxes.shown()[0].text, "Bitmap Load Error.");
    }
}
