// The headless main window with the real archive behind its ports: a patient "TEST", the
// thumbnail list and progress windows faked, stores one second apart.
#pragma once

#include <gtest/gtest.h>

#include <thread>

#include "CoreFixture.h"
#include "app/core/MainArchive.h"
#include "common/User.h"

namespace coretest {

class FakeListView : public IThumbnailView {
public:
    void SetItemCount(int n) override {
        count = n;
        selection.clear();
    }
    std::vector<int> GetSelection() const override { return selection; }
    int GetFocusedItem() const override { return focused; }
    void SetSelection(const std::vector<int>& rows) override {
        selection = rows;
        focused = rows.empty() ? -1 : rows.back();
    }
    int GetTopIndex() const override { return top; }
    void ScrollToRow(int row) override { top = row; }
    void RefreshRows() override {}
    void SetFocusToList() override { listFocused = true; }

    int count = 0;
    std::vector<int> selection;
    int focused = -1;
    int top = 0;
    bool listFocused = false;
};

class FakeProgress : public ICineStoreProgress {
public:
    void Begin(int t, const std::string& c) override {
        total = t;
        caption = c;
        up = true;
    }
    void Update(int d) override {
        done = d;
        if (cancelAt >= 0 && d >= cancelAt)
            cancelled = true;
    }
    bool Cancelled() const override { return cancelled; }
    void End() override { up = false; }
    int total = 0;
    int done = 0;
    int cancelAt = -1;
    bool cancelled = false;
    bool up = false;
    std::string caption;
};

class ArchiveCoreTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(SavePatient("TEST", "Test"));
        archive.nowMs = [] { return s_now; };
        archive.pumpDuringStore = false;
        s_now = 1'000'000;
    }

    // A patient record in the data folder.
    static void SavePatient(const std::string& id, const std::string& name) {
        CUser user;
        user.m_strId = id;
        user.m_strName = name;
        ASSERT_TRUE(user.Save());
    }

    CKALVEXDlg& CreateWithArchive() {
        MainDlgPorts ports = side.Ports();
        ports.stores = &archive;
        ports.thumbnails = &archive;
        ports.review = &archive;
        ports.obStills = &archive;
        MorePorts(ports);
        return InitWith(ports, [this](CKALVEXDlg& d) { archive.Attach(&d, &view, &progress); });
    }
    // Windows a derived fixture puts behind further ports.
    virtual void MorePorts(MainDlgPorts& /*ports*/) {}
    // Live for a few frames, then frozen: the cine holds them.
    void Image(int frames) {
        Attach();
        CreateWithArchive();
        Unfreeze();
        ASSERT_TRUE(Step(frames));
        Freeze();
    }
    // Stores land in their own second (a second store in the same second is refused).
    void NextSecond() { wallClock.NextSecond(); }
    void Select(int row) {
        view.SetSelection({row});
        archive.OnSelectionChanged();
    }
    std::vector<std::string> Texts(size_t from = 0) {
        std::vector<std::string> t;
        for (size_t i = from; i < boxes.shown().size(); ++i)
            t.push_back(boxes.shown()[i].text);
        return t;
    }

    static inline int64_t s_now = 0;
    testsupport::ScopedEnv home{"HOME", dir.path()};
    testsupport::ScopedEnv dataHome{"XDG_DATA_HOME", dir / "xdg"};
    testsupport::SteppedWallClock wallClock;
    FakeListView view;
    FakeProgress progress;
    CMainArchive archive;
};

}  // namespace coretest
