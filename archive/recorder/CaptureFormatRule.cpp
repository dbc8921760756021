#include "archive/recorder/CaptureFormatRule.h"

#include "common/CommonUtil.h"

namespace recorder {

namespace {

bool IsFourByThree(const camera::CameraFormat& f) {
    const int32_t g = CCommonUtil::Gcd(f.width, f.height);
    return g > 0 && f.width / g == 4 && f.height / g == 3;
}

}  // namespace

int ChooseCaptureFormat(const std::vector<camera::CameraFormat>& capabilities, int minWidth, int minHeight,
                        const std::function<bool(const camera::CameraFormat&)>& setFormat) {
    int fallback = -1;
    for (size_t i = 0; i < capabilities.size(); ++i) {
        const camera::CameraFormat& f = capabilities[i];
        if (!camera::IsVideoFormat(f))
            continue;
        if (IsFourByThree(f) && f.width >= minWidth) {
            if (setFormat(f))
                return static_cast<int>(i);
            break;
        }
        if (fallback < 0 && f.width >= minWidth && f.height >= minHeight)
            fallback = static_cast<int>(i);
    }
    if (fallback >= 0 && setFormat(capabilities[static_cast<size_t>(fallback)]))
        return fallback;
    return -1;
}

}  // namespace recorder
