// The patient entry dialog without its window: the values it opens with, the values the
// user has entered, the checks of OK and Cancel, and the edit written into a patient record.
// The dialog shows these fields, hands its controls' texts to ReadFields, and asks OnOk or
// OnCancel whether it may close.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/User.h"
#include "platform/Clock.h"

// The values the dialog collects, as the patient file stores them.
struct PatientEntry {
    std::string name;
    std::string sex;        // "Male" or "Female"
    std::string birthdate;  // "YYYY-MM-DD", or empty for no birthdate
    std::string note;

    friend bool operator==(const PatientEntry&, const PatientEntry&) = default;
};

class ExamEditModel {
public:
    static constexpr size_t kMaxNameLength = 64;   // code points
    static constexpr size_t kMaxNoteLength = 128;  // code points
    static constexpr int32_t kSexMale = 0;
    static constexpr int32_t kSexFemale = 1;

    std::string m_strEditId;  // the patient edited; empty for a new one

    // What the user has entered (results).
    std::string m_strEditName;
    std::string m_strEditSex;            // "Male" or "Female"
    std::string m_strEditBirthdateText;  // in the display format; empty for no birthdate
    std::string m_strEditBirthdate;      // "YYYY-MM-DD"; empty for no birthdate
    std::string m_strEditNote;
    platform::SystemTime m_stBirthdate;  // the chosen birthdate; all zero for none
    int32_t m_nSex = kSexFemale;

    // What the dialog opened with, for the Cancel check.
    std::string m_strOrgName;
    std::string m_strOrgSex;
    std::string m_strOrgBirthdate;
    std::string m_strOrgNote;

    // Opens for a new patient (empty id: birthdate today, Female) or for the patient of the
    // id. A patient file that does not load brings "File is not found." and returns false:
    // the dialog then opens empty with OK disabled, so nothing is written for it.
    bool Open(const std::string& id);
    // False after a failed load: OK must stay disabled.
    bool CanAccept() const { return m_bCanAccept; }

    // The date the picker opens on: the birthdate, or today when there is none.
    platform::SystemTime PickerDate() const;
    // A date chosen in the picker becomes the birthdate (its time part is ignored).
    void OnBirthdatePicked(const platform::SystemTime& date);

    // Takes the controls' values. Control characters (a pasted line break or tab) become
    // spaces and the texts are cut to their limits, so the file reads back as shown.
    void ReadFields(const std::string& name, int32_t sex, const std::string& note);

    // OK: true when the dialog may end with OK; false, after "Name is not input.", for an
    // empty name, and always when the patient could not be loaded.
    bool OnOk() const;
    // Cancel: true when the dialog may end; after a change the user is asked first.
    bool OnCancel() const;
    // True when an entered value differs from the one the dialog opened with.
    bool IsDirty() const;

    PatientEntry Entry() const;
    // Writes the entry into the record: name, sex, birthdate and note with their display
    // texts. The id, LMP, BBT and last stored-item id stay.
    void ApplyTo(CUser& user) const;

    // A text as an edit of that limit holds it: controls become spaces, then cut to the limit.
    static std::string CleanText(const std::string& text, size_t maxCodePoints);

private:
    void SetBirthdateFields(const platform::SystemTime& date);

    bool m_bCanAccept = true;
};
