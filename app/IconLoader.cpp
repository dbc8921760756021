#include "app/IconLoader.h"

#include <tinyxml2.h>
#include <wx/bmpbndl.h>
#include <wx/filename.h>
#include <wx/stdpaths.h>

#include "app/core/CstmPictureCtrl.h"
#include "app/WxImage.h"
#include "platform/FileSystem.h"

std::string IconPath(int bitmapId) {
    const std::string name = std::to_string(bitmapId) + ".svg";
    const wxFileName exe(wxStandardPaths::Get().GetExecutablePath());
    const std::string beside = platform::JoinPath(exe.GetPath().utf8_string() + "/icons", name);
    if (platform::PathExists(beside))
        return beside;
    return platform::JoinPath(TORVIK_ICON_DIR, name);
}

namespace {

// wx's SVG reader guesses its way through files that are not well-formed XML (an attribute
// given twice takes its last value); such a picture is refused here instead.
bool IsWellFormedXml(const std::string& path) {
    tinyxml2::XMLDocument doc;
    return doc.LoadFile(path.c_str()) == tinyxml2::XML_SUCCESS;
}

}  // namespace

Image32 LoadIcon(int bitmapId, int width, int height, std::optional<uint32_t> transparentKey) {
    const std::string path = IconPath(bitmapId);
    if (!platform::PathExists(path) || !IsWellFormedXml(path))
        return {};
    const wxBitmapBundle bundle =
        wxBitmapBundle::FromSVGFile(wxString::FromUTF8(path), wxSize(width, height));
    if (!bundle.IsOk())
        return {};
    const wxBitmap bitmap = bundle.GetBitmap(wxSize(width, height));
    if (!bitmap.IsOk())
        return {};
    return FromWxImage(bitmap.ConvertToImage(), transparentKey);
}

void LoadBodyMarkPictures(CCstmPictureCtrl& view) {
    for (int i = 0; i < 7; ++i)
        view.SetBodyPicture(i, LoadIcon(kBodyPictureIds[i], kBodyPictureWidth, kBodyPictureHeight));
    view.SetProbeMarker(LoadIcon(kBitmapProbeMarker, 64, 64, CCstmPictureCtrl::kMarkerKey));
}
