// The export save dialog (template 196): what is being saved (id, name and time lines), the
// output folder chosen through "Select", the file name as a fixed prefix, a free part the user
// types (at most 128 characters) and the extension, and either the quality buttons or the
// camera list. It writes nothing: the caller fills the members, runs it, and reads them after
// OK (the settings through ReadSaveDialogSettings / WriteSaveDialogSettings).
#pragma once

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <functional>
#include <string>
#include <vector>

class CSaveJpegAvi : public wxDialog {
public:
    enum : int {
        IDC_ID_LABEL = 1114,
        IDC_NAME_LABEL = 1115,
        IDC_TIME_LABEL = 1116,
        IDC_FOLDER_LABEL = 1117,
        IDC_FOLDER = 1118,
        IDC_ID = 1119,
        IDC_NAME = 1120,
        IDC_TIME = 1121,
        IDC_FILENAME_LABEL = 1122,
        IDC_PREFIX = 1123,
        IDC_FILENAME = 1124,
        IDC_EXT = 1125,
        IDC_HIGH = 1126,
        IDC_MIDDLE = 1127,
        IDC_LOW = 1128,
        IDC_CAMERA_LABEL = 1129,
        IDC_CAMERA = 1133,
        IDC_QUALITY = 1200,
        IDC_SEL = 1052,
        IDC_SELECT = 1058,
        IDC_OK = 1,
        IDC_CANCEL = 2,
    };
    static constexpr int kFileNameLimit = 128;
    // The result when the camera list was requested and there is no camera.
    static constexpr int kNoCamera = -1;

    using CameraNames = std::function<std::vector<std::string>()>;
    // Chooses a folder: true with the path (ending in '/') in `out`. Tests replace it.
    using FolderBrowser = std::function<bool(std::string& out, const std::string& initial)>;

    // `cameraNames` fills the camera list when m_bCameraList is set (the recorder's devices).
    explicit CSaveJpegAvi(const std::string& title, wxWindow* parent = nullptr, CameraNames cameraNames = {});

    // Runs the dialog modally: wxID_OK, wxID_CANCEL, or kNoCamera before anything is shown.
    int DoModal();

    // The folder browser: a wxDirDialog titled "Select Folder" starting at `initial`.
    static bool BrowseFolder(std::string& out, bool newStyle, const std::string& initial);

    std::string m_strIdText;
    std::string m_strNameText;
    std::string m_strTimeText;
    std::string m_strOutputFolder;
    std::string m_strFilePrefix;
    std::string m_strFileName;
    std::string m_strFileExt;
    bool m_bShowQuality = false;
    int m_nQuality = -1;  // 0 High, 1 Middle, 2 Low, 3 Select; -1 none checked
    bool m_bCameraList = false;
    std::string m_strCamera;
    std::string m_strCameraPrev;

    FolderBrowser m_fnBrowseFolder;

    wxTextCtrl* m_edtId = nullptr;
    wxTextCtrl* m_edtName = nullptr;
    wxTextCtrl* m_edtTime = nullptr;
    wxTextCtrl* m_edtFolder = nullptr;
    wxTextCtrl* m_edtPrefix = nullptr;
    wxTextCtrl* m_edtFileName = nullptr;
    wxTextCtrl* m_edtExt = nullptr;
    wxChoice* m_cmbCamera = nullptr;
    wxStaticBox* m_grpQuality = nullptr;
    wxRadioButton* m_rdoQuality[4] = {};
    wxButton* m_btnSelect = nullptr;
    wxButton* m_btnOk = nullptr;
    wxButton* m_btnCancel = nullptr;

private:
    // Initialisation in the dialog's order; false when it ended with kNoCamera.
    bool OnInitDialog();
    void MembersToControls();
    void ControlsToMembers();
    void OnBnClickedOk();
    void OnBnClickedSelect();
    void PlaceForTouchLayout();

    CameraNames m_fnCameraNames;
    wxStaticText* m_lblTime = nullptr;
    wxStaticText* m_lblCamera = nullptr;
};
