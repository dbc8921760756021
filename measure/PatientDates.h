// The LMP and BBT dates of the OB/GY panel: the dates and the texts shown for them, their
// loading from and saving to the patient record, and where the date picker starts.
#pragma once

#include <string>

#include "common/DateFormatter.h"
#include "platform/Clock.h"

class CUser;

struct ObPatientDates {
    platform::SystemTime lmpDate;  // only year, month and day are used
    platform::SystemTime bbtDate;
    std::string lmpText;  // the date in the user's format; empty when not set
    std::string bbtText;
};

// LoadPatientDates: both texts are emptied first, so a patient whose record cannot be read
// (user null) never shows the previous patient's dates. A stored date that does not read as
// a real year-month-day (such as "2024-02-30") is ignored: its text stays empty and its date
// unchanged.
void ReadPatientDates(const CUser* user, const DateFormatter& format, ObPatientDates& dates);

// SavePatientDates: a set text writes its date as "%04d-%02d-%02d"; an empty text leaves the
// record's value as it was (a date cannot be cleared from the panel).
void WritePatientDates(const ObPatientDates& dates, CUser& user);

// The date the picker opens at: LMP at the LMP date when set; BBT at the BBT date when set,
// else at the LMP date when set; otherwise today (local).
platform::SystemTime LmpPickerStart(const ObPatientDates& dates);
platform::SystemTime BbtPickerStart(const ObPatientDates& dates);

// OK in the picker: the date and its text in the user's format.
void SetLmpDate(ObPatientDates& dates, const platform::SystemTime& picked, const DateFormatter& format);
void SetBbtDate(ObPatientDates& dates, const platform::SystemTime& picked, const DateFormatter& format);
