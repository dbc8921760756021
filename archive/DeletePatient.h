// Deleting a patient from the selection dialog: the question, the move of the patient folder
// to the trash, and the patient's removal from the loaded list, so a later search does not
// list it again. A failed move is reported and changes nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/UserList.h"

// Moves a path to the trash: 0 on success; otherwise the path stays and `errorText` may say why.
using TrashFunction = std::function<int32_t(const std::string& path, std::string* errorText)>;

// The trash of the desktop (CCommonUtil::DeleteToRecycleBin).
TrashFunction DefaultTrashFunction();

// "May I delete it?" with the patient's id and name; true when the user answers OK.
bool ConfirmDeletePatient(const std::string& id, const std::string& name);

// Moves the patient's folder to the trash. On success the patient leaves `users`, and when
// it is the main window's current patient, `currentId` is emptied (the dialog then turns its
// Cancel button back into Exit). On failure one message names the folder and the reason, and
// the folder and the list stay. True when the folder went to the trash.
bool DeletePatient(CUserList& users, const std::string& id, std::string* currentId,
                   const TrashFunction& trash = DefaultTrashFunction());
