#include "app/core/AboutContent.h"

#include "app/core/CoreStrings.h"
#include "app/core/VersionInfo.h"
#include "common/AppFolders.h"
#include "probe/ProbeIdentityText.h"
#include "resources/StringTable.h"

AboutContent MakeAboutContent() {
    AboutContent c;
    c.caption = resources::LoadString(kStrVersionInformation) + " " + GetProductName();
    c.title = GetAppTitle();
    c.hardware = GetHardwareIdLine();
    c.fixedText = "Ultrasound image viewer.\nFor research and education only.";
    return c;
}
