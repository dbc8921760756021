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

void CMainArchive::PreviewStill(int index) {
    if (!dlg_ || index < 0 || index >= static_cast<int>(exam_.stills.size()))
        return;
    const Image32& still = exam_.stills[static_cast<size_t>(index)].bitmap;
    Image32& back = dlg_->m_viewMain.BackBuffer();
    for (int y = 0; y < std::min(back.height(), still.height()); ++y)
        std::copy_n(still.Row(y), std::min(back.width(), still.width()), back.Row(y));
    dlg_->m_ports.views->RepaintView(kViewMain);
}

void CMainArchive::SetTag(const std::string& path, const std::string& tag) {
    if (tag.empty())
        obImageTags_.erase(path);
    else
        obImageTags_[path] = tag;
    if (view_)
        view_->RefreshRows();
}
