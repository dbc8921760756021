// Writes growth-table files (gs_data/<set>/<ITEM>.DAT) from published dating regressions:
// gestational age from fetal size, one line per whole millimetre of the source's size range.
//
// Line format: "%.1f,%d,%d" (cm, weeks, days) with the age rounded to the nearest whole day,
// floor(days + 0.5); CR LF line ends, no blank lines. The header line names the authors, the
// title, the journal and year, the equation with its units and the range, so that the file
// can be checked against the paper on its own. Out of range gives no line, never an
// extrapolation, and the table stops before any size whose age would go down.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace growthgen {

struct DatingSource {
    std::string set;       // "USA", "Europe1", "Europe2", "JSUM"
    std::string file;      // "BPD.DAT", ...
    std::string citation;  // authors, title, journal year;volume:pages
    std::string equation;  // with its units
    std::string range;     // the source's valid range, as it states it
    int minMm = 0;         // first and last whole millimetre inside that range
    int maxMm = 0;
    std::function<double(double cm)> daysAt;  // age in days, unrounded
};

struct GrowthRow {
    int mm = 0;
    int weeks = 0;
    int days = 0;
};

// The age of a size in whole days, as weeks and days.
GrowthRow RowAt(const DatingSource& source, int mm);
// Every whole millimetre of the range while ages do not decrease.
std::vector<GrowthRow> Rows(const DatingSource& source);
// The header line, without its line end.
std::string HeaderLine(const DatingSource& source);
// The whole file: header and rows, CR LF.
std::string FileText(const DatingSource& source);

// The regressions that ship: USA BPD, FL and CRL, Europe1 CRL.
std::vector<DatingSource> KnownSources();

// Writes every known source under root/<set>/<file>. False when a file cannot be written.
bool WriteAll(const std::string& root, std::string* error = nullptr);

}  // namespace growthgen
