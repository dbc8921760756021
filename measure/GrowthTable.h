// Growth tables: gestational age (weeks and days) by fetal size, read from text files under
// the program's folder, one per item and growth-table set. Read at every evaluation on the
// user-interface thread; nothing keeps them between evaluations.
//
// File format: 8-bit text; the first line is a header and never an entry; every further line
// is "size in cm,weeks,days" read with atof/atoi rules (no number reads as 0, a missing field
// as 0, anything after the third number is ignored). CR LF reads as LF. The key is the size
// in whole millimetres, trunc(cm × 10); the first line of a key wins.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "measure/ObItems.h"

struct GrowthEntry {
    int weeks = 0;
    int days = 0;
    friend bool operator==(const GrowthEntry&, const GrowthEntry&) = default;
};

// The growth-table sets of the setting "ob_gamodel" (default 0, USA: the first set with tables).
inline constexpr int kGrowthModelCount = 4;
inline constexpr const char* kGrowthModelFolders[kGrowthModelCount] = {"USA/", "Europe1/", "Europe2/",
                                                                       "JSUM/"};

class GrowthTable {
public:
    // Fills the table from the file. A file that cannot be opened shows string 251 with the
    // path and leaves the table empty; a header that cannot be read shows string 256 with the
    // path and the system's reason and reads on. Each message shows at most once per call.
    void Load(const std::string& path);
    // Reads the file's text (the header line is skipped); the same entries as Load.
    void Parse(const std::string& text);

    // The entry of key trunc(cm × 10). Throws std::out_of_range for a key that is not in the
    // table, and for a size that is not finite or has no int key: no interpolation, no
    // nearest match.
    GrowthEntry Lookup(double centimetres) const;

    bool empty() const { return entries_.empty(); }
    const std::map<int, GrowthEntry>& entries() const { return entries_; }

private:
    void AddLine(const std::string& line);

    std::map<int, GrowthEntry> entries_;
};

// The file of an item in a set, or none where the set has no age for the item (and no file
// may be opened): BPD and FL in all four; CRL not in Europe2; AC and GS only in JSUM; SL and
// HC nowhere. A set outside 0..3 has none.
const char* GrowthTableFileName(int model, ObItem item);
// Root + set folder + file name, or none as above.
std::optional<std::string> GrowthTablePath(const std::string& root, int model, ObItem item);

// The folder of the running executable + "gs_data/".
std::string DefaultGrowthTableRoot();

// Reads a table from a path; the evaluation takes one so tests can see which files open.
using GrowthTableLoader = std::function<GrowthTable(const std::string& path)>;
GrowthTable LoadGrowthTable(const std::string& path);

// The caller's conversion of a measured value to a lookup size: (int)(mm + 0.5) / 10.0 cm,
// so the key is the nearest whole millimetre with halves going up. None for a value that is
// not finite or does not round to 1..1000 mm: no table holds such a size.
std::optional<double> LookupCentimetres(double millimetres);

// "%d W %d D" of the looked-up age, or "-" when the table has no entry for the value.
std::string LookupAgeText(const GrowthTable& table, double millimetres);
