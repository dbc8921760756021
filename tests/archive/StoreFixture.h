// A private archive with one patient, a frozen clock, the message-box recorder and a record of
// every write the stores make, plus a hand-filled cine.
#pragma once

#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "archive/CineSource.h"
#include "archive/ExamState.h"
#include "archive/StoreIdentity.h"
#include "common/User.h"
#include "platform/FileSystem.h"
#include "tests/common/ArchiveTestFixture.h"

namespace archivetest {

inline constexpr const char* kPatient = "0001";

// A cine shaped like the live ring: slot s holds a picture whose pixels say s, and a record
// 50 ms after the slot before it.
class FakeCine : public archive::ICineSource {
public:
    FakeCine(int count, int newest) : count_(count), newest_(newest) {}
    int FrameCount() const override { return std::min(count_, 512); }
    int NewestIndex() const override { return newest_; }
    bool GetFrame(int slot, Image8& out) const override {
        out.Resize(480, 480);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 480; ++x)
                out.At(x, y) = static_cast<uint8_t>((slot * 31 + x + y) & 0xFF);
        return true;
    }
    std::optional<FrameRecord> GetRecord(int slot) const override {
        FrameRecord r;
        r.time = MakeTime(2023, 11, 14, 22, 13, 0, 0);
        r.time.wSecond = static_cast<uint16_t>(slot * 50 / 1000 % 60);
        r.time.wMinute = static_cast<uint16_t>(13 + slot * 50 / 60000);
        r.time.wMilliseconds = static_cast<uint16_t>(slot * 50 % 1000);
        const auto d = depthOfSlot.find(slot);
        r.depth = d == depthOfSlot.end() ? 100 : d->second;
        r.focus = 40;
        r.gain = 50;
        r.contrast = 60;
        r.freq_mode = 1;
        r.gamma = 1.25;
        return r;
    }
    std::map<int, int> depthOfSlot;

private:
    int count_;
    int newest_;
};

class StoreTest : public ArchiveTest {
protected:
    void SetUp() override {
        ArchiveTest::SetUp();
        UsePatient(kPatient);
        who.probeType = 1;
        who.hwInfo = "00000001-00000002-0000ABCD";
        who.appVersion = "1.4.2.0";
    }

    // A new patient becomes the current one, with a new exam.
    void UsePatient(const std::string& id) {
        CUser user;
        user.m_strId = id;
        user.m_strName = "Test Patient";
        ASSERT_TRUE(user.Save());
        who.patientId = id;
        exam = archive::ExamState();
    }
    std::string Folder() { return PatientFolder(who.patientId); }
    uint64_t LastId() {
        CUser user;
        return user.Load(who.patientId) ? user.m_nLastStoreInfoId : 9999;
    }
    std::vector<std::string> Files() {
        std::vector<platform::DirEntry> entries;
        platform::ListDirectory(Folder(), entries);
        std::vector<std::string> names;
        for (const auto& e : entries)
            names.push_back(e.name + (e.isDirectory ? "/" : ""));
        return names;
    }
    // Records the file name of every write from now on; fails the write whose name ends
    // with `failSuffix`.
    void RecordWrites(std::string failSuffix = {}) {
        platform::SetWriteFaultHook([this, failSuffix](const std::string& path) {
            writes.push_back(platform::FileNamePart(path));
            return !failSuffix.empty() && path.ends_with(failSuffix);
        });
    }
    void NextSecond() { clock.Advance(1'000'000); }
    // Texts of the message boxes shown since the message `from`.
    std::vector<std::string> MessageTexts(size_t from = 0) {
        std::vector<std::string> texts;
        for (size_t i = from; i < boxes.shown().size(); ++i)
            texts.push_back(boxes.shown()[i].text);
        return texts;
    }

    archive::StoreIdentity who;
    archive::ExamState exam;
    std::vector<std::string> writes;
};

inline Image32 RenderedStill(uint32_t seed) {
    Image32 still(480, 480);
    for (size_t i = 0; i < still.size(); ++i)
        still.data()[i] = static_cast<uint32_t>((i * 2654435761u + seed) & 0xFFFFFF);
    return still;
}

inline FrameRecord ShownFrame() {
    FrameRecord r;
    r.time = MakeTime(2023, 11, 14, 22, 13, 20, 345);
    r.depth = 120;
    r.focus = 60;
    r.gain = 55;
    r.contrast = 45;
    r.freq_mode = 2;
    r.gamma = 1.5;
    return r;
}

}  // namespace archivetest
