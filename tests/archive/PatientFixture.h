// A private archive with a few helpers to plant patients in it.
#pragma once

#include <string>

#include "common/SettingsStore.h"
#include "common/User.h"
#include "tests/common/ArchiveTestFixture.h"

class PatientTest : public ArchiveTest {
protected:
    // Writes a patient file through the record, so it is what the program itself writes.
    CUser AddPatient(const std::string& id, const std::string& name, const std::string& birthdate = "",
                     const std::string& sex = "Female") {
        CUser user;
        user.m_strId = id;
        user.m_strName = name;
        user.m_strSex = sex;
        user.m_strBirthdate = birthdate;
        EXPECT_TRUE(user.Save());
        return user;
    }

    void SetDateFormat(const std::string& name) {
        ASSERT_TRUE(SetSettingText(SettingSectionApp, SettingKeyTable::date_format, name));
    }
};
