// What the main window keeps about the current exam for the archive: the exam's stamp, the
// last stored name, the names stored in this exam (the exam list shows exactly these, so a
// clock set back cannot hide one) and the rendered stills, each keyed by its image path so
// OB/GY always measures the picture it names.
#pragma once

#include <string>
#include <vector>

#include "platform/Image.h"

namespace archive {

struct ExamStill {
    std::string imagePath;  // the stored still's .bmp
    Image32 bitmap;         // the 480 x 480 rendered still
    // A still of two halves side by side (BB with its halves apart, BM) has no one scale: the
    // column of the still where the right half starts, and each half's depth (-1 where no
    // length scale holds, as across the M-mode strip). 0: one image at its sidecar's depth.
    int splitColumn = 0;
    int halfDepth[2] = {-1, -1};
};

struct ExamState {
    std::string examStamp;                 // m_strExamStamp: 14-digit stamp of the exam's start
    std::string lastStoredName;            // m_strLastStoredName: "<stamp>.bmp" or "<stamp>.cine"
    std::vector<std::string> storedNames;  // item names stored in this exam, in store order
    std::vector<ExamStill> stills;         // m_vecExamStills, in store order

    // A new exam: everything above is forgotten; the stamp is the new exam's.
    void Start(const std::string& stamp) {
        examStamp = stamp;
        lastStoredName.clear();
        storedNames.clear();
        stills.clear();
    }
    bool StoredInExam(const std::string& name) const {
        for (const std::string& n : storedNames) {
            if (n == name)
                return true;
        }
        return false;
    }
    // Index of the still of that image path in `stills`, or -1.
    int FindStill(const std::string& imagePath) const {
        for (size_t i = 0; i < stills.size(); ++i) {
            if (stills[i].imagePath == imagePath)
                return static_cast<int>(i);
        }
        return -1;
    }
    // A successful store of an item named `name` with stamp `stamp`.
    void NoteStored(const std::string& name, const std::string& stamp) {
        lastStoredName = name;
        if (examStamp.empty())
            examStamp = stamp;
        storedNames.push_back(name);
    }
};

}  // namespace archive
