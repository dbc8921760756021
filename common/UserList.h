// Every patient of the archive, one CUser per patient folder under the data root, with a
// cursor search by id, name or stored birthdate. Used on the UI thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/User.h"

enum UserSearchMode : int32_t {
    UserSearchById = 1,         // id equals the text
    UserSearchByName = 2,       // name contains the text (case-sensitive)
    UserSearchByBirthdate = 3,  // stored birthdate "YYYY-MM-DD" equals the text
};

class CUserList {
public:
    int32_t m_nSearchMode = UserSearchById;
    int32_t m_nCursor = 0;
    std::string m_strSearchText;    // white space removed at both ends
    std::vector<CUser> m_lstUsers;  // in folder-name order
    bool m_bMatchAll = false;       // the search text is empty: every patient matches
    bool m_bSearchBegun = false;

    // Loads every folder of the data root whose name is a valid patient id and whose
    // patient file loads, whatever the id's length. A folder that should hold a patient
    // but does not load (a short name as new ids have, or a patient file that is there but
    // unreadable or holds another id) brings "File is not found." and is left out; loading
    // goes on.
    void LoadAll();

    // Begins a search (by id unless another mode is given) from the first patient.
    void BeginSearch(const std::string& text, int32_t mode = UserSearchById);
    // True when the cursor stands on a matching patient; the caller takes the patient at
    // m_nCursor and advances m_nCursor itself. False when the list is exhausted.
    bool FindNext();

    static bool LoadUser(const std::string& id, CUser& user) { return user.Load(id); }
};
