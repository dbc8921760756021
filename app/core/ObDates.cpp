// The LMP and BBT dates of the OB/GY panel and the evaluation behind G-Age.
#include "app/core/KALVEXDlg.h"
#include "app/core/MeasureTools.h"
#include "archive/ArchiveMessages.h"
#include "common/AppFolders.h"
#include "common/CommonUtil.h"
#include "common/User.h"
#include "measure/GrowthTable.h"
#include "measure/ObEvaluation.h"
#include "platform/MessageBox.h"
#include "resources/StringTable.h"

namespace {

constexpr int kStrLmpTitle = 208;
constexpr int kStrBbtTitle = 218;

bool SaveDatesTo(const ObPatientDates& dates, CUser& user) {
    WritePatientDates(dates, user);
    return user.SaveXml(CUser::GetXmlPath(user.m_strId));
}

}  // namespace

void CMeasureTools::EditLmpDate() {
    platform::SystemTime date = LmpPickerStart(m_dates);
    if (!d_.m_ports.measureWindows->PickDate(resources::LoadString(kStrLmpTitle), date))
        return;
    const ObPatientDates before = m_dates;
    SetLmpDate(m_dates, date, CCommonUtil::GetDateFormatter());
    CommitPatientDates(before);
}

void CMeasureTools::EditBbtDate() {
    platform::SystemTime date = BbtPickerStart(m_dates);
    if (!d_.m_ports.measureWindows->PickDate(resources::LoadString(kStrBbtTitle), date))
        return;
    const ObPatientDates before = m_dates;
    SetBbtDate(m_dates, date, CCommonUtil::GetDateFormatter());
    CommitPatientDates(before);
}

void CMeasureTools::CommitPatientDates(const ObPatientDates& before) {
    // A patient record that does not load leaves the dates unsaved, without a message; one
    // that loads but is not written back is said, and the panel goes on showing what the
    // patient file holds, not a date that was lost.
    CUser user;
    if (user.Load(d_.m_strPatientId) && !SaveDatesTo(m_dates, user)) {
        m_dates = before;
        platform::ShowMessageBox(archive::kMsgFileWriteError, GetProductName(), platform::MsgIcon::Error);
    }
    d_.m_ports.obPanel->SetDateTexts(m_dates.lmpText, m_dates.bbtText);
}

bool CMeasureTools::SavePatientDates() {
    CUser user;
    return user.Load(d_.m_strPatientId) && SaveDatesTo(m_dates, user);
}

bool CMeasureTools::LoadPatientDatesResult() {
    CUser user;
    const bool ok = user.Load(d_.m_strPatientId);
    ReadPatientDates(ok ? &user : nullptr, CCommonUtil::GetDateFormatter(), m_dates);
    d_.m_ports.obPanel->SetDateTexts(m_dates.lmpText, m_dates.bbtText);
    return ok;
}

void CMeasureTools::LoadPatientDates() {
    LoadPatientDatesResult();
}

void CMeasureTools::ShowObResults() {
    ObEvaluationInput in;
    in.values = m_obValues.Values();
    in.imageIndices = m_obValues.ImageIndices();
    in.saveImage = m_abObSaveImage;
    in.gaModel = d_.m_nObGaModel;
    in.efwEquation = d_.m_nEfwEquation;
    in.tableRoot = DefaultGrowthTableRoot();
    in.lmpDate = m_dates.lmpDate;
    in.bbtDate = m_dates.bbtDate;
    in.lmpText = m_dates.lmpText;
    in.bbtText = m_dates.bbtText;
    in.patientHeader = d_.m_strPatientHeader;
    in.patientFolder = d_.m_strPatientFolder;
    in.dateFormat = CCommonUtil::GetDateFormatter();
    IObStills& stills = *d_.m_ports.obStills;
    in.stillStamp = [&stills](int index) { return stills.StillStamp(index); };
    const ObEvaluationResult result = EvaluateOb(in);
    m_abObSaveImage = result.saveImage;
    bool allWritten = true;
    for (const ObReportImage& image : result.reportImages) {
        d_.m_nObSelectedImage = image.imageIndex;
        stills.PreviewStill(image.imageIndex);
        d_.RedrawImages();
        allWritten = stills.RenderReportImage(image.reportPath) && allWritten;
    }
    // A report image that did not reach the disk is said once, before the results.
    if (!allWritten)
        platform::ShowMessageBox(archive::kMsgFileWriteError, archive::kCaptionImageStore,
                                 platform::MsgIcon::Error);
    d_.m_ports.measureWindows->ShowResults(result);
}
