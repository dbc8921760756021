#include "tools/growthgen/GrowthTableGenerator.h"

#include <cmath>

#include "platform/FileSystem.h"
#include "platform/StringUtil.h"

namespace growthgen {

GrowthRow RowAt(const DatingSource& source, int mm) {
    const double weeks = source.weeksAt(mm / 10.0);
    const int totalDays = static_cast<int>(std::floor(weeks * 7.0 + 0.5));
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

std::string FileText(const DatingSource& source) {
    std::string text = source.citation + "; checked: " + source.checked + "; " + source.equation +
                       platform::Format("; range %d-%d mm\r\n", source.minMm, source.maxMm);
    for (const GrowthRow& row : Rows(source))
        text += platform::Format("%.1f,%d,%d\r\n", row.mm / 10.0, row.weeks, row.days);
    return text;
}

std::vector<DatingSource> KnownSources() {
    const std::string notChecked = "NOT YET CHECKED against the paper (coefficients from secondary listings)";
    return {
        {"USA", "BPD.DAT", "Radiology 1984;152:497-501", notChecked,
         "GA (weeks) = 9.54 + 1.482 BPD + 0.1676 BPD^2, BPD in cm", 24, 101,
         [](double x) { return 9.54 + 1.482 * x + 0.1676 * x * x; }},
        {"USA", "FL.DAT", "Radiology 1984;152:497-501", notChecked,
         "GA (weeks) = 10.35 + 2.460 FL + 0.170 FL^2, FL in cm", 14, 82,
         [](double x) { return 10.35 + 2.460 * x + 0.170 * x * x; }},
        {"USA", "CRL.DAT", "Radiology 1992;182:501-505", notChecked,
         "GA (weeks) = exp(1.684969 + 0.315646 CRL - 0.049306 CRL^2 + 0.004057 CRL^3 - 0.000120456 CRL^4), "
         "CRL in cm",
         2, 120,
         [](double x) {
             return std::exp(1.684969 + 0.315646 * x - 0.049306 * x * x + 0.004057 * x * x * x -
                             0.000120456 * x * x * x * x);
         }},
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
