// String ids of the image processor's messages (texts in resources/strings/imaging.inc).
// These developer-facing errors have no ids of their own elsewhere; 30100..30199 belong here.
#pragma once

enum ImagingStringId : int {
    IDS_IMG_SIZE_ERROR = 30101,
    IDS_IMG_IDX_ERROR = 30102,
    IDS_IMG_BITMAP_IDX_ERROR = 30103,
    IDS_IMG_BITMAP_INFO_IDX_ERROR = 30104,
    IDS_IMG_RAWADDRCACHE_ERROR = 30105,
    IDS_IMG_ADDR_CACHE_YMAX = 30106,
};
