// Where the patient dialogs open: they stay where they open in the PC layout ("PCMODE" 1);
// otherwise they move to the top edge of the screen, at half the room to the work area's
// right edge.
#pragma once

class wxTopLevelWindow;

// The x of that place for a window whose right edge (exclusive) is `windowRight`.
int PatientDialogLeft(int workAreaRight, int windowRight);

// Moves the dialog when "PCMODE" is not 1; size and stacking stay.
void PlacePatientDialog(wxTopLevelWindow* dialog);
