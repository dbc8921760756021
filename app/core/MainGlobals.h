// The process-wide pointers the main window sets for the rest of the program: the running
// main dialog (for the static event-hub callbacks) and the two image processors. Atomic,
// because the raw-frame callback reads the live processor on the probe's and the image
// thread's threads.
#pragma once

#include <atomic>

class CKALVEXDlg;
class CImageProc;

extern std::atomic<CKALVEXDlg*> g_pMainDlg;
extern std::atomic<CImageProc*> g_pImageProc;
extern std::atomic<CImageProc*> g_pReviewImageProc;
