// The OB/GY evaluation behind the G-Age button: due dates and gestational ages from the LMP
// and BBT dates, the gestational age of each measured item from its growth table, the
// estimated fetal weight, and the list of report images to write. Inputs in, the twenty
// texts of the results table and the report images out; the caller shows the table and
// writes the images. Growth-table messages go through the message-box seam.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "common/DateFormatter.h"
#include "measure/GrowthTable.h"
#include "measure/ObItems.h"
#include "platform/Clock.h"

// The elements of the results page, in table order.
enum ObResultElement : int {
    ObResIdName = 0,
    ObResDate,
    ObResLmp1,
    ObResLmp2,
    ObResLmp3,
    ObResBbt1,
    ObResBbt2,
    ObResBbt3,
    ObResBbtMode,
    ObResBpd1,
    ObResBpd3,
    ObResCrl1,
    ObResCrl3,
    ObResFl1,
    ObResFl3,
    ObResAc1,
    ObResAc3,
    ObResGs1,
    ObResGs3,
    ObResWeight,
    kObResultElementCount
};
// The page's element ids, by ObResultElement.
extern const std::array<const char*, kObResultElementCount> kObResultElementIds;
// The texts the page shows before the evaluation fills it.
extern const std::array<const char*, kObResultElementCount> kObResultElementDefaults;

// The patient line is cut to this many code points.
inline constexpr size_t kPatientHeaderMaxCodePoints = 60;

struct ObEvaluationInput {
    // m_adObValue and m_anObImageIndex by item index (ObItem − 1): the committed values.
    std::array<double, kObItemCount> values{};
    std::array<int, kObItemCount> imageIndices{-1, -1, -1, -1, -1, -1, -1};
    // m_abObSaveImage, order BPD, CRL, FL, AC, GS.
    std::array<bool, kObEvalItemCount> saveImage{};
    int gaModel = 0;        // ob_gamodel
    int efwEquation = 0;    // 0 JSUM, 1 Hadlock
    std::string tableRoot;  // the program folder + "gs_data/"
    // The main dialog's LMP and BBT dates and the texts the OB/GY panel shows for them (empty:
    // not set).
    platform::SystemTime lmpDate;
    platform::SystemTime bbtDate;
    std::string lmpText;
    std::string bbtText;
    std::string patientHeader;  // "ID: %s  Name: %s"
    std::string patientFolder;  // the patient's archive folder
    DateFormatter dateFormat;
    // The 14-digit stamp of the stored still at a thumbnail-list index, taken from its
    // StoreItemRecord; empty when there is none.
    std::function<std::string(int imageIndex)> stillStamp;
    // Reads a growth table; LoadGrowthTable when empty.
    GrowthTableLoader loadTable;
};

// One report image: preview the still, then write the shown image to reportPath.
struct ObReportImage {
    ObItem item = ObItemNone;
    int imageIndex = -1;
    std::string stamp;
    std::string stillPath;   // patient folder + stamp: the still to preview
    std::string reportPath;  // patient folder + item name + stamp + ".bmp"
};

struct ObEvaluationResult {
    std::array<std::string, kObResultElementCount> texts;
    // In evaluation order (BPD, CRL, FL, AC, GS); the last one's still stays selected.
    std::vector<ObReportImage> reportImages;
    // The save-image flags after the evaluation: each flag it acted on is cleared.
    std::array<bool, kObEvalItemCount> saveImage{};

    const std::string& Text(ObResultElement e) const { return texts[e]; }
};

ObEvaluationResult EvaluateOb(const ObEvaluationInput& input);

// Text for HTML: & < > " ' escaped.
std::string HtmlEscape(const std::string& text);
// The page template with each "{{ID_RES_...}}" replaced by its escaped text.
std::string FillResultsPage(const std::string& pageTemplate, const ObEvaluationResult& result);
