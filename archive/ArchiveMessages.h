// The texts and captions the archive shows, in one place. Store failures carry the store's
// caption and the error icon, except a cine's frame and folder failures ("Error", no icon);
// list, load and preview messages the product name and no icon.
#pragma once

namespace archive {

inline constexpr const char* kMsgFileWriteError = "File write error!";
inline constexpr const char* kMsgInfoWriteError = "info write error!";
inline constexpr const char* kMsgFileNotFound = "File is not found.";
inline constexpr const char* kMsgFolderCreateError = "Folder create error";
inline constexpr const char* kMsgNoData = "No data";
inline constexpr const char* kMsgInfoReadError = "Bitmap Inf Read Error.";
inline constexpr const char* kMsgBitmapLoadError = "Bitmap Load Error.";
inline constexpr const char* kMsgMayDelete = "May I delete it?";
inline constexpr const char* kMsgDiskFull =
    "There is not enough free disk space to store this cine.\nFree some space and try again.";
inline constexpr const char* kMsgNotTrashed =
    "These items could not be moved to the trash and are still listed:";

inline constexpr const char* kCaptionImageStore = "ImageStore";
inline constexpr const char* kCaptionCineStore = "CineStore";
inline constexpr const char* kCaptionError = "Error";

}  // namespace archive
