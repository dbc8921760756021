// The main dialog's measuring: the click sequence of the measuring mouse, the distance and
// M-mode calipers, the area trace, the ellipse caliper, the OB/GY mode with its items,
// resets, result lines and tags, and the LMP and BBT dates. It writes the calipers of the
// view models and the 16 result labels, and reaches windows only through the dialog's ports.
// Everything runs on the UI thread, so the trace points need no lock.
//
// Each view measures with the depth of what it shows (DepthOfView): the frame's record in B
// and the B image of BM, the special frames in BB, the depth the M-mode strip was swept at,
// the still's sidecar in OB/GY. An unknown depth gives no scale: dash texts, no value.
#pragma once

#include <array>
#include <map>
#include <string>

#include "app/core/IMeasurement.h"
#include "app/core/IObgy.h"
#include "measure/MeasureScale.h"
#include "measure/ObItemValues.h"
#include "measure/ObItems.h"
#include "measure/PatientDates.h"

class CKALVEXDlg;
class CCstmPictureCtrl;
class CEllipseCaliper;

class CMeasureTools : public IMeasurement, public IObgy {
public:
    explicit CMeasureTools(CKALVEXDlg& dlg);

    // ---- IMeasurement
    void ClearMeasurements() override;
    bool IsMeasureMode() const override;
    // The passed depth is not used: the view's own depth is (DepthOfView).
    void OnMeasureMouse(int viewCode, int otherViewCode, int depth, int message) override;
    bool ClearUnfinishedMeasures(int viewCode) override;
    void SetOverlayFlags(int viewCode) override;
    void ResetObMeasureResults(int viewCode) override;
    void UpdateObMeasureHighlight(int viewCode) override;
    void DrawObgyResults(Image32& buffer) override;
    void OnMeasureLButton(int viewCode, const MeasurePointer& pointer) override;
    void OnMeasureMouseMove(int viewCode, const MeasurePointer& pointer) override;
    void OnMeasureRButtonUp(int viewCode, const MeasurePointer& pointer) override;
    void CancelMeasureSequence() override;
    void SetShownStillDepth(int depth) override { m_nShownStillDepth = depth; }

    // ---- IObgy
    void ToggleObMode() override;
    void SelectObItem(int item) override;
    void OnObButton(int controlId) override;
    void EditLmpDate() override;
    void EditBbtDate() override;
    void ShowObResults() override;
    void LoadPatientDates() override;
    void ClearObgyMeasure(int item) override;
    void OnExamStillRemoved(int stillIndex) override;
    double ObValue(int item) const override { return m_obValues.Value(item); }

    bool SavePatientDates();
    // Saves the dates just picked; when the patient file is not written, says "File write
    // error!" and shows the dates as they were (`before`).
    void CommitPatientDates(const ObPatientDates& before);
    bool LoadPatientDatesResult();

    // ---- the texts and the scale
    // The depth of what the view shows; -1 when unknown.
    int DepthOfView(int viewCode) const;
    MeasureScale ScaleOfView(int viewCode) const;
    // The same for a measurement whose points lie in the image columns xFrom..xTo: a still of
    // two halves measures in each half at that half's depth, across them only at a depth both share.
    int DepthOfColumns(int viewCode, int xFrom, int xTo) const;
    MeasureScale ScaleOfColumns(int viewCode, int xFrom, int xTo) const;
    MeasureScale ScaleOfPoints(int viewCode, const std::vector<draw::Point>& points) const;
    void ShowDistanceText(int viewCode, int pointIndex, int label);
    void ShowMModeMeasureText(int pointIndex, int pair);
    // The one accessor of the 16 result labels; a number outside 0..15 is ignored.
    void SetResultLabel(int label, const std::string& text, bool show);
    const std::string& ResultLabelText(int label) const;
    void UpdateEllipseResults(int viewCode);
    void UpdateAcResult();
    void TagSelectedImage(const std::string& tag);
    // The item's panel button shows its committed value, "---" while pending, or nothing.
    void SetItemButton(int item);

    // ---- state
    ObItemValues m_obValues;
    std::array<bool, kObEvalItemCount> m_abObSaveImage{};  // BPD, CRL, FL, AC, GS
    int m_nObGuardReleased = -1;
    std::map<std::string, std::string> m_mapObImageTags;  // image path -> item tag
    ObPatientDates m_dates;
    int m_nShownStillDepth = -2;  // -2: not given, the still's sidecar through IObStills
    draw::Point m_ptMouse;        // the last pointer, client pixels of its view

private:
    CCstmPictureCtrl& View(int viewCode) const;
    draw::Point Scaled(int viewCode) const;
    int Span() const;
    bool BbDepthsDiffer() const;
    void Redraw(int viewCode);
    void Repaint(int viewCode);
    void RepaintLabels();
    void WarpToImagePoint(int viewCode, draw::Point p);
    void ShowLoupe();
    void HideLoupe();
    int CurrentCineFrame() const;

    void DistanceMouse(int viewCode, int otherViewCode, draw::Point p);
    void ShowPairText(int viewCode, int pointIndex, int pair);
    void DropOpenPair(int viewCode, bool showDash);

    void TraceMouse(int viewCode, int otherViewCode, draw::Point p, bool hc);
    void RubberBand(int viewCode, std::vector<draw::Point>& trace, draw::Point p);
    void UndoTracePoint(int viewCode, std::vector<draw::Point>& trace);
    void CloseTrace(int viewCode, std::vector<draw::Point>& trace, bool hc);

    void EllipseToolMouse(int viewCode, draw::Point p);
    void OnEllipseMouse(int viewCode, draw::Point p, CEllipseCaliper& e, bool isAc);
    void AcMouse(int viewCode, draw::Point p);

    // The OB slot of an item keeps the frame it was measured on: stored when the item
    // completes, recalled into the cine when the item is chosen again without an image.
    void StoreObSlot(int slot, int clickedView);
    void RecallObSlot(int slot);
    bool ViewsHoldItem(int item) const;

    void ObPairMouse(int viewCode, draw::Point p);
    void UpdateObCaliper(int viewCode, int item, bool click, int pointIndex, draw::Point p);
    void RemoveLoneObPoints();

    CKALVEXDlg& d_;
    std::array<std::string, kObItemCount + 1> m_astrButtonText;  // first sub-caption by item
};
