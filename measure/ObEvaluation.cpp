#include "measure/ObEvaluation.h"

#include <cmath>
#include <optional>

#include "common/CommonUtil.h"
#include "measure/FetalWeight.h"
#include "measure/MeasureText.h"
#include "measure/PregnancyDates.h"
#include "platform/StringUtil.h"

const std::array<const char*, kObResultElementCount> kObResultElementIds = {
    "ID_RES_IDNAME", "ID_RES_DATE", "ID_RES_LMP1", "ID_RES_LMP2",    "ID_RES_LMP3",
    "ID_RES_BBT1",   "ID_RES_BBT2", "ID_RES_BBT3", "ID_RES_BBTmode", "ID_RES_BPD1",
    "ID_RES_BPD3",   "ID_RES_CRL1", "ID_RES_CRL3", "ID_RES_FL1",     "ID_RES_FL3",
    "ID_RES_AC1",    "ID_RES_AC3",  "ID_RES_GS1",  "ID_RES_GS3",     "ID_RES_WEIGHT"};

const std::array<const char*, kObResultElementCount> kObResultElementDefaults = {"ID: xxxx  name: ssss ssss",
                                                                                 "yyyy-mm-dd",
                                                                                 "-",
                                                                                 "-",
                                                                                 "-",
                                                                                 "-",
                                                                                 "-",
                                                                                 "-",
                                                                                 "(auto)",
                                                                                 "-",
                                                                                 "-",
                                                                                 "-",
                                                                                 "-",
                                                                                 "-",
                                                                                 "-",
                                                                                 "-",
                                                                                 "-",
                                                                                 "-",
                                                                                 "-",
                                                                                 "(not calculated yet)"};

namespace {

// The value and age cells of each evaluated item, order BPD, CRL, FL, AC, GS.
constexpr ObResultElement kValueCell[kObEvalItemCount] = {ObResBpd1, ObResCrl1, ObResFl1, ObResAc1, ObResGs1};
constexpr ObResultElement kAgeCell[kObEvalItemCount] = {ObResBpd3, ObResCrl3, ObResFl3, ObResAc3, ObResGs3};

std::string AgeText(const platform::SystemTime& date) {
    platform::SystemTime copy = date;
    const GestationalAge age = CCommonUtil::CalcGestationalAge(&copy);
    return age.valid ? platform::Format("%d W %d D", age.weeks, age.days) : std::string("-");
}

std::string DateText(const DateFormatter& format, const std::optional<CivilDate>& date) {
    return date ? format.FormatDate(date->year, date->month, date->day) : std::string("-");
}

platform::SystemTime ToSystemTime(const CivilDate& d) {
    platform::SystemTime t;
    t.wYear = static_cast<uint16_t>(d.year);
    t.wMonth = static_cast<uint16_t>(d.month);
    t.wDay = static_cast<uint16_t>(d.day);
    t.wDayOfWeek = static_cast<uint16_t>(platform::DayOfWeek(d.year, d.month, d.day));
    return t;
}

bool IsStamp(const std::string& s) {
    if (s.size() != 14)
        return false;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

void DateRows(const ObEvaluationInput& in, ObEvaluationResult& out) {
    const DateFormatter& fmt = in.dateFormat;
    const bool bbtEntered = !in.bbtText.empty();
    std::string bbtText = in.bbtText;
    std::optional<CivilDate> bbt = bbtEntered ? ToCivilDate(in.bbtDate) : std::nullopt;

    if (!in.lmpText.empty()) {
        const std::optional<CivilDate> lmp = ToCivilDate(in.lmpDate);
        out.texts[ObResLmp1] = in.lmpText;
        out.texts[ObResLmp2] = DateText(fmt, lmp ? AddCivilDays(*lmp, kDueDaysFromLmp) : std::nullopt);
        out.texts[ObResLmp3] = lmp ? AgeText(ToSystemTime(*lmp)) : "-";
        if (!bbtEntered && lmp) {
            bbt = AddCivilDays(*lmp, kBbtDaysFromLmp);
            if (bbt)
                bbtText = fmt.FormatDate(bbt->year, bbt->month, bbt->day);
        }
    }
    if (!bbtText.empty()) {
        out.texts[ObResBbt1] = bbtText;
        out.texts[ObResBbt2] = DateText(fmt, bbt ? AddCivilDays(*bbt, kDueDaysFromBbt) : std::nullopt);
        out.texts[ObResBbt3] = bbt ? AgeText(ToSystemTime(*bbt)) : "-";
        if (bbtEntered)
            out.texts[ObResBbtMode].clear();
    }
}

}  // namespace

ObEvaluationResult EvaluateOb(const ObEvaluationInput& in) {
    ObEvaluationResult out;
    for (int e = 0; e < kObResultElementCount; ++e)
        out.texts[e] = kObResultElementDefaults[e];
    out.saveImage = in.saveImage;

    out.texts[ObResIdName] = platform::TruncateCodePoints(in.patientHeader, kPatientHeaderMaxCodePoints);
    const platform::SystemTime today = platform::GetLocalTime();
    out.texts[ObResDate] = in.dateFormat.FormatDate(today.wYear, today.wMonth, today.wDay);

    DateRows(in, out);

    const bool modelKnown = in.gaModel >= 0 && in.gaModel < kGrowthModelCount;
    const GrowthTableLoader& load = in.loadTable ? in.loadTable : GrowthTableLoader(LoadGrowthTable);
    auto present = [&](ObItem item) {
        const double v = in.values[item - 1];
        return modelKnown && std::isfinite(v) && v > 0.0;
    };

    for (int k = 0; k < kObEvalItemCount; ++k) {
        const ObItem item = kObEvalItems[k];
        if (!present(item))
            continue;
        const double mm = in.values[item - 1];
        out.texts[kValueCell[k]] = FormatLengthMm(mm);

        std::string age = "-";
        if (const std::optional<std::string> path = GrowthTablePath(in.tableRoot, in.gaModel, item))
            age = LookupAgeText(load(*path), mm);
        out.texts[kAgeCell[k]] = age;

        if (out.saveImage[k]) {
            out.saveImage[k] = false;
            const int index = in.imageIndices[item - 1];
            const std::string stamp = index >= 0 && in.stillStamp ? in.stillStamp(index) : std::string();
            if (IsStamp(stamp)) {
                const std::string folder = WithSlash(in.patientFolder);
                out.reportImages.push_back(
                    {item, index, stamp, folder + stamp, folder + ObItemName(item) + stamp + ".bmp"});
            }
        }
    }

    if (present(ObItemBpd) && present(ObItemFl) && present(ObItemAc)) {
        const std::optional<double> grams = EstimateFetalWeight(
            in.efwEquation, in.values[ObItemBpd - 1], in.values[ObItemFl - 1], in.values[ObItemAc - 1]);
        if (grams && std::isfinite(*grams))
            out.texts[ObResWeight] = FormatFetalWeight(*grams);
    }
    return out;
}

std::string HtmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string FillResultsPage(const std::string& pageTemplate, const ObEvaluationResult& result) {
    std::string page;
    page.reserve(pageTemplate.size() + 512);
    size_t pos = 0;
    while (pos < pageTemplate.size()) {
        const size_t open = pageTemplate.find("{{", pos);
        if (open == std::string::npos)
            break;
        const size_t close = pageTemplate.find("}}", open + 2);
        if (close == std::string::npos)
            break;
        const std::string name = pageTemplate.substr(open + 2, close - open - 2);
        page.append(pageTemplate, pos, open - pos);
        bool known = false;
        for (int e = 0; e < kObResultElementCount; ++e) {
            if (name == kObResultElementIds[e]) {
                page += HtmlEscape(result.texts[e]);
                known = true;
                break;
            }
        }
        if (!known)
            page.append(pageTemplate, open, close + 2 - open);
        pos = close + 2;
    }
    page.append(pageTemplate, pos, std::string::npos);
    return page;
}
