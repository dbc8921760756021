#include "archive/StoreItemList.h"

#include "archive/ArchiveMessages.h"
#include "common/AppFolders.h"
#include "common/ArchiveNames.h"
#include "common/BitmapInfo.h"
#include "common/CommonUtil.h"
#include "common/RecycleBin.h"
#include "common/StoreInfo.h"
#include "common/User.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"

namespace archive {

namespace {

void ShowListMessage(const char* text) {
    platform::ShowMessageBox(text, GetProductName(), platform::MsgIcon::None);
}

int64_t StampNumber(const std::string& name) {
    int64_t value = 0;
    for (size_t i = 0; i < name.size() && i < kStampLength; ++i) {
        if (name[i] < '0' || name[i] > '9')
            break;
        value = value * 10 + (name[i] - '0');
    }
    return value;
}

}  // namespace

bool ReadStoreInfo(const std::string& sidecarPath, FrameRecord& record) {
    CBitmapInfo info;
    if (!info.LoadXml(sidecarPath))
        return false;
    record.time = info.time;
    record.depth = info.depth;
    record.gain = info.gain;
    record.contrast = info.contrast;
    record.focus = info.focus;
    record.freq_mode = info.freq_mode;
    record.gamma = info.gamma;
    return true;
}

bool IsMeasurableDepth(int depthMm) {
    return depthMm >= 20 && depthMm <= 240;
}

int SweepStoreLeftovers(const std::string& patientFolder) {
    std::vector<platform::DirEntry> entries;
    if (!platform::ListDirectory(patientFolder, entries))
        return 0;
    int swept = 0;
    for (const platform::DirEntry& e : entries) {
        const bool part = e.isDirectory && CUser::MatchWildcard("*.cine.part", e.name);
        const bool temporary = !e.isDirectory && CUser::MatchWildcard("*.tmp.??????", e.name);
        if (part || temporary) {
            if (MoveToTrash(platform::JoinPath(patientFolder, e.name)) == TrashStatus::Ok)
                ++swept;
        }
    }
    return swept;
}

void StoreItemList::Fill(const FillRequest& request, const ExamState& exam) {
    if (request.reset) {
        items_.clear();
        swept_ = 0;
        unreadFiles_.clear();
    }
    CUser user;
    if (!user.Load(request.patientId)) {
        ShowListMessage(kMsgFileNotFound);
        return;
    }
    if (request.reset)
        swept_ = SweepStoreLeftovers(user.m_strFolder);
    user.ScanStoreFiles();

    std::vector<std::string> names;
    if (request.reset) {
        for (const std::string& name : user.m_lstStoreNames) {
            if (!request.examList || exam.StoredInExam(name))
                names.push_back(name);
        }
    } else {
        for (const std::string& name : user.m_lstStoreNames) {
            if (name == exam.lastStoredName && (!request.examList || exam.StoredInExam(name)))
                names.push_back(name);
        }
    }

    const DateFormatter dates = CCommonUtil::GetDateFormatter();
    bool infoErrorShown = false;
    int counter = request.reset ? 0 : Count();
    for (const std::string& name : names) {
        const CStoreInfo store = CStoreInfo::FromUserFile(user.m_strId, name);
        StoreItemRecord r;
        r.patientId = user.m_strId;
        r.patientName = user.m_strName;
        r.patientSex = user.m_strSex;
        r.birthdate = user.m_strBirthdateText;
        r.timeText = store.GetTimeText();
        r.isCine = store.store_type == StoreTypeCine ? 1 : 0;
        r.typeText = r.isCine ? kTypeCine : kTypeImage;
        r.imagePath = store.GetBmpPath();
        r.sidecarPath = store.GetInfoPath();
        r.cineFolder = store.GetCinePath();
        r.number = counter + 1;
        r.stamp = StampNumber(name);

        bool leftOut = false;
        FrameRecord first;
        if (ReadStoreInfo(r.sidecarPath, first)) {
            r.captureTime = dates.FormatDateTime(first.time, true);
        } else {
            if (r.isCine && !platform::IsRegularFile(r.sidecarPath) &&
                CCommonUtil::ListFiles(r.cineFolder).empty()) {
                // An empty cine folder holds nothing to show: it goes to the trash.
                leftOut = MoveToTrash(r.cineFolder) == TrashStatus::Ok;
            }
            unreadFiles_.insert(r.sidecarPath);
            if (!infoErrorShown) {
                ShowListMessage(kMsgInfoReadError);
                infoErrorShown = true;
            }
        }
        if (!leftOut && (request.withCines || !r.isCine))
            items_.push_back(std::move(r));
        ++counter;
    }
}

bool StoreItemList::ReportUnreadFile(const std::string& path) {
    return unreadFiles_.insert(path).second;
}

int ListIndexToImageIndex(const std::vector<StoreItemRecord>& items, int i) {
    if (i < 0)
        return i;
    int cines = 0;
    for (size_t k = 0; k <= static_cast<size_t>(i) && k < items.size(); ++k)
        cines += items[k].isCine ? 1 : 0;
    return i - cines;
}

bool HasStoredImage(const std::vector<StoreItemRecord>& items) {
    return !items.empty() && ListIndexToImageIndex(items, static_cast<int>(items.size()) - 1) >= 0;
}

int PreviewObgyImage(const std::vector<StoreItemRecord>& items, int i, const ExamState& exam) {
    if (i < 0 || static_cast<size_t>(i) >= items.size() || items[static_cast<size_t>(i)].isCine)
        return -1;
    return exam.FindStill(items[static_cast<size_t>(i)].imagePath);
}

std::string PreviewStem(const StoreItemRecord& item) {
    const std::string& path = item.imagePath;
    return path.ends_with(kBitmapExtension) ? path.substr(0, path.size() - 4) : path;
}

int StoreItemList::ListIndexToImageIndex(int i) const {
    return archive::ListIndexToImageIndex(items_, i);
}

bool StoreItemList::HasStoredImage() const {
    return archive::HasStoredImage(items_);
}

}  // namespace archive
