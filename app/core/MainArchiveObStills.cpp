// The exam's stills as OB/GY mode measures on them: found by their index among the exam's
// stills, each keyed by its own image path.
#include <algorithm>

#include "app/core/KALVEXDlg.h"
#include "app/core/MainArchive.h"

using namespace maindlg;

std::string CMainArchive::StillPath(int index) const {
    if (index < 0 || index >= static_cast<int>(exam_.stills.size()))
        return {};
    return exam_.stills[static_cast<size_t>(index)].imagePath;
}

std::string CMainArchive::StillStamp(int index) const {
    const std::string path = StillPath(index);
    if (path.size() < 18 || !path.ends_with(".bmp"))
        return {};
    return path.substr(path.size() - 18, 14);
}

int CMainArchive::StillDepth(int index) const {
    const std::string path = StillPath(index);
    if (path.empty())
        return -1;
    FrameRecord record{};
    // Only a sane depth may become the measuring scale.
    if (!archive::ReadStoreInfo(path.substr(0, path.size() - 4) + ".info", record) ||
        !archive::IsMeasurableDepth(record.depth))
        return -1;
    return record.depth;
}

int CMainArchive::StillDepthOver(int index, int xFrom, int xTo) const {
    if (index < 0 || index >= static_cast<int>(exam_.stills.size()))
        return -1;
    const archive::ExamStill& still = exam_.stills[static_cast<size_t>(index)];
    if (still.splitColumn <= 0)
        return StillDepth(index);
    // Each half at its own depth; what reaches into both has one scale only when they share it.
    int depth = -1;
    if (xTo < still.splitColumn)
        depth = still.halfDepth[0];
    else if (xFrom >= still.splitColumn || still.halfDepth[0] == still.halfDepth[1])
        depth = still.halfDepth[1];
    return archive::IsMeasurableDepth(depth) ? depth : -1;
}

const Image32* CMainArchive::StillBitmap(int index) const {
    if (index < 0 || index >= static_cast<int>(exam_.stills.size()))
        return nullptr;
    return &exam_.stills[static_cast<size_t>(index)].bitmap;
}

void CMainArchive::PreviewStill(int index) {
    const Image32* found = StillBitmap(index);
    if (!dlg_ || !found)
        return;
    dlg_->m_viewMain.BackBuffer().CopyTopLeftFrom(*found);
    dlg_->m_ports.views->RepaintView(kViewMain);
}

void CMainArchive::SelectStill(int index) {
    const std::string path = StillPath(index);
    const auto& items = list_.Items();
    const auto row = std::find_if(items.begin(), items.end(), [&](const archive::StoreItemRecord& item) {
        return item.imagePath == path;
    });
    if (!dlg_ || !view_ || path.empty() || row == items.end()) {
        PreviewStill(index);
        return;
    }
    view_->SetSelection({static_cast<int>(row - items.begin())});
    OnSelectionChanged();
    view_->RefreshRows();
}

void CMainArchive::SetTag(const std::string& path, const std::string& tag) {
    if (tag.empty())
        obImageTags_.erase(path);
    else
        obImageTags_[path] = tag;
    if (view_)
        view_->RefreshRows();
}
