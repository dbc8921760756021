#include "app/core/MainGlobals.h"

std::atomic<CKALVEXDlg*> g_pMainDlg{nullptr};
std::atomic<CImageProc*> g_pImageProc{nullptr};
std::atomic<CImageProc*> g_pReviewImageProc{nullptr};
