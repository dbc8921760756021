#include "tools/growthgen/GrowthTableGenerator.h"

#include <cmath>

#include "platform/FileSystem.h"
#include "platform/StringUtil.h"

namespace growthgen {

namespace {

constexpr const char* kHadlock1984 =
    "Hadlock FP, Deter RL, Harrist RB, Park SK. Estimating fetal age: computer-assisted analysis of "
    "multiple fetal growth parameters. Radiology 1984;152:497-501";
constexpr const char* kHadlock1992 =
    "Hadlock FP, Shah YP, Kanon DJ, Lindsey JV. Fetal crown-rump length: reevaluation of relation to "
    "menstrual age (5-18 weeks) with high-resolution real-time US. Radiology 1992;182:501-505";
constexpr const char* kRobinson1975 =
    "Robinson HP, Fleming JEE. A critical evaluation of sonar \"crown-rump length\" measurements. "
    "Br J Obstet Gynaecol 1975;82:702-710; with the correction factor of Loughna P, Chitty L, Evans T, "
    "Chudleigh T. Fetal size and dating: charts recommended for clinical obstetric practice. "
    "Ultrasound 2009;17:161-167";

}  // namespace

GrowthRow RowAt(const DatingSource& source, int mm) {
    const int totalDays = static_cast<int>(std::floor(source.daysAt(mm / 10.0) + 0.5));
    return {mm, totalDays / 7, totalDays % 7};
}

std::vector<GrowthRow> Rows(const DatingSource& source) {
    std::vector<GrowthRow> rows;
    for (int mm = source.minMm; mm <= source.maxMm; ++mm) {
        const GrowthRow row = RowAt(source, mm);
        if (!rows.empty() && row.weeks * 7 + row.days < rows.back().weeks * 7 + rows.back().days)
            break;  // past a turning point of the curve
        rows.push_back(row);
    }
    return rows;
}

std::string HeaderLine(const DatingSource& source) {
    return source.citation + ". " + source.equation + "; range " + source.range +
           platform::Format(", rows %.1f-%.1f cm", source.minMm / 10.0, source.maxMm / 10.0) +
           "; size cm,weeks,days with the age rounded to the nearest whole day; not clinically reviewed";
}

std::string FileText(const DatingSource& source) {
    std::string text = HeaderLine(source) + "\r\n";
    for (const GrowthRow& row : Rows(source))
        text += platform::Format("%.1f,%d,%d\r\n", row.mm / 10.0, row.weeks, row.days);
    return text;
}

std::vector<DatingSource> KnownSources() {
    return {
        {"USA", "BPD.DAT", kHadlock1984, "GA (weeks) = 9.54 + 1.482 BPD + 0.1676 BPD^2, BPD in cm",
         "14-42 weeks", 24, 101, [](double x) { return 7.0 * (9.54 + 1.482 * x + 0.1676 * x * x); }},
        {"USA", "FL.DAT", kHadlock1984, "GA (weeks) = 10.35 + 2.460 FL + 0.170 FL^2, FL in cm", "14-42 weeks",
         14, 82, [](double x) { return 7.0 * (10.35 + 2.460 * x + 0.170 * x * x); }},
        {"USA", "CRL.DAT", kHadlock1992,
         "GA (weeks) = exp(1.684969 + 0.315646 CRL - 0.049306 CRL^2 + 0.004057 CRL^3 - 0.000120456 CRL^4), "
         "CRL in cm",
         "0.2-12 cm (5-18 weeks)", 2, 120,
         [](double x) {
             return 7.0 * std::exp(1.684969 + 0.315646 * x - 0.049306 * x * x + 0.004057 * x * x * x -
                                   0.000120456 * x * x * x * x);
         }},
        {"Europe1", "CRL.DAT", kRobinson1975, "GA (days) = 8.052 sqrt(1.037 CRL) + 23.73, CRL in mm",
         "7-84 mm (6-14 weeks)", 7, 84,
         [](double x) { return 8.052 * std::sqrt(1.037 * (x * 10.0)) + 23.73; }},
    };
}

bool WriteAll(const std::string& root, std::string* error) {
    for (const DatingSource& source : KnownSources()) {
        const std::string folder = platform::JoinPath(root, source.set);
        const std::string path = platform::JoinPath(folder, source.file);
        if (!platform::CreateDirectories(folder, 0755) ||
            !platform::WriteFileAtomic(path, FileText(source), 0644)) {
            if (error)
                *error = "cannot write " + path;
            return false;
        }
    }
    return true;
}

}  // namespace growthgen
