// The export buttons of the thumbnail list: the work is behind the exports port.
#include "app/core/KALVEXDlg.h"

void CKALVEXDlg::OnBnClickedExpJpeg() {
    m_ports.exports->ExportJpeg();
}

void CKALVEXDlg::OnBnClickedExpVideo() {
    m_ports.exports->ExportVideo();
}
