#include "app/core/KALVEXDlg.h"
