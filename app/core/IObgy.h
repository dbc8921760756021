// OB/GY mode: entering and leaving it, the items and the patient dates. The default is a
// program without OB/GY mode.
#pragma once

class IObgy {
public:
    virtual ~IObgy() = default;
    virtual void ToggleObMode() {}
    // Commands 17..22 and 84: item BPD 1, CRL 2, GS 3, SL 4, FL 5, AC 6, HC 7.
    virtual void SelectObItem(int /*item*/) {}
    // Panel buttons 1008, 1009, 1010, 1036, 1049.
    virtual void OnObButton(int /*controlId*/) {}
    virtual void EditLmpDate() {}
    virtual void EditBbtDate() {}
    virtual void ShowObResults() {}
    virtual void LoadPatientDates() {}
    virtual void ClearObgyMeasure(int /*item*/) {}
    // The exam still at this index was deleted: the items measured on it are forgotten and
    // the items of later stills follow their stills down by one.
    virtual void OnExamStillRemoved(int /*stillIndex*/) {}
    // The measured value of an item in millimetres (0 when not measured).
    virtual double ObValue(int /*item*/) const { return 0.0; }
    // Stills of the current exam (m_vecExamStills): how many, and forget them all.
    virtual int ExamStillCount() const { return 0; }
    virtual void ClearExamStills() {}
};
