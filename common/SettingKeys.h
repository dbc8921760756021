// The settings keys: name in the settings file, id (the cache key within a section) and
// the lowest section syntax at which the key is read.
#pragma once

#include <cstdint>

struct SettingKey {
    int32_t keyId;
    const char* keyName;
    int32_t minSyntax;
};

// Sections of the settings file. The probe keys live in the section of the connected probe.
enum SettingSection : int32_t {
    SettingSectionNone = 0,
    SettingSectionApp = 1,
    SettingSectionProbeConvex = 2,
    SettingSectionProbeLinear = 4,
};

namespace SettingKeyTable {

// Section "app".
inline constexpr SettingKey FCOLOR{1, "FCOLOR", 1};
inline constexpr SettingKey BCOLOR{2, "BCOLOR", 1};
inline constexpr SettingKey PCMODE{3, "PCMODE", 1};
inline constexpr SettingKey LOG{4, "LOG", 1};
inline constexpr SettingKey USB_LOG{5, "USB_LOG", 1};
inline constexpr SettingKey SELPRINTER{6, "SELPRINTER", 1};
inline constexpr SettingKey RAWDISP{7, "RAWDISP", 1};
inline constexpr SettingKey SHOW_STC_VALUE{8, "SHOW_STC_VALUE", 1};
inline constexpr SettingKey SHOW_FPS{9, "SHOW_FPS", 1};
inline constexpr SettingKey camera{10, "camera", 1};
inline constexpr SettingKey camera_quality{11, "camera_quality", 1};
inline constexpr SettingKey camera_outputfolder{12, "camera_outputfolder", 1};
inline constexpr SettingKey date_format{13, "date_format", 1};
inline constexpr SettingKey avi_quality{14, "avi_quality", 1};
inline constexpr SettingKey jpeg_quality{15, "jpeg_quality", 1};
inline constexpr SettingKey outputfolder{16, "outputfolder", 1};
inline constexpr SettingKey gamma{17, "gamma", 1};
inline constexpr SettingKey auto_stop_time{18, "auto_stop_time", 1};
inline constexpr SettingKey ob_gamodel{19, "ob_gamodel", 1};
inline constexpr SettingKey ob_display{20, "ob_display", 1};
inline constexpr SettingKey SHOW_TEMPERATURE{21, "SHOW_TEMPERATURE", 1};

// Sections "probe_convex" and "probe_linear".
inline constexpr SettingKey RAW2BITMAP{4097, "RAW2BITMAP", 1};
inline constexpr SettingKey GAIN_MIN{4098, "GAIN_MIN", 1};
inline constexpr SettingKey GAIN_MAX{4099, "GAIN_MAX", 1};
inline constexpr SettingKey GAIN_BASE{4100, "GAIN_BASE", 1};
inline constexpr SettingKey CONTRAST_MIN{4101, "CONTRAST_MIN", 1};
inline constexpr SettingKey CONTRAST_MAX{4102, "CONTRAST_MAX", 1};
inline constexpr SettingKey AVE{4103, "AVE", 1};
inline constexpr SettingKey AVE_Y{4104, "AVE_Y", 1};
inline constexpr SettingKey AVE_MODE{4105, "AVE_MODE", 1};
inline constexpr SettingKey BICUBIC{4106, "BICUBIC", 1};
inline constexpr SettingKey BICUBIC_A{4107, "BICUBIC_A", 1};
inline constexpr SettingKey mscroll{4108, "mscroll", 1};
inline constexpr SettingKey focus{4109, "focus", 1};
inline constexpr SettingKey tx_freq{4110, "tx_freq", 1};
inline constexpr SettingKey gain{4111, "gain", 1};
inline constexpr SettingKey contrast{4112, "contrast", 1};
inline constexpr SettingKey depth{4113, "depth", 1};
inline constexpr SettingKey tgc0{4114, "tgc0", 1};
inline constexpr SettingKey tgc1{4115, "tgc1", 1};
inline constexpr SettingKey tgc2{4116, "tgc2", 1};
inline constexpr SettingKey tgc3{4117, "tgc3", 1};
inline constexpr SettingKey tgc4{4118, "tgc4", 1};
inline constexpr SettingKey tgc5{4119, "tgc5", 1};
inline constexpr SettingKey tgc6{4120, "tgc6", 1};
inline constexpr SettingKey tgc7{4121, "tgc7", 1};
inline constexpr SettingKey tgc8{4122, "tgc8", 1};
inline constexpr SettingKey tgc9{4123, "tgc9", 1};
inline constexpr SettingKey tgc10{4124, "tgc10", 1};
inline constexpr SettingKey invert{4125, "invert", 1};
inline constexpr SettingKey smooth{4126, "smooth", 1};
inline constexpr SettingKey hi_frame_mode{4127, "hi_frame_mode", 1};
inline constexpr SettingKey auto_sleep_time{4128, "auto_sleep_time", 1};
inline constexpr SettingKey image_filter{4129, "image_filter", 1};

// The eleven STC knots in knot order.
inline constexpr SettingKey tgc[11] = {tgc0, tgc1, tgc2, tgc3, tgc4, tgc5, tgc6, tgc7, tgc8, tgc9, tgc10};

// Every key, for checks over the whole table.
inline constexpr SettingKey kAll[] = {
    FCOLOR, BCOLOR, PCMODE, LOG, USB_LOG, SELPRINTER, RAWDISP, SHOW_STC_VALUE, SHOW_FPS, camera,
    camera_quality, camera_outputfolder, date_format, avi_quality, jpeg_quality, outputfolder, gamma,
    auto_stop_time, ob_gamodel, ob_display, SHOW_TEMPERATURE, RAW2BITMAP, GAIN_MIN, GAIN_MAX, GAIN_BASE,
    CONTRAST_MIN, CONTRAST_MAX, AVE, AVE_Y, AVE_MODE, BICUBIC, BICUBIC_A, mscroll, focus, tx_freq, gain,
    contrast, depth, tgc0, tgc1, tgc2, tgc3, tgc4, tgc5, tgc6, tgc7, tgc8, tgc9, tgc10, invert, smooth,
    hi_frame_mode, auto_sleep_time, image_filter,
};

}  // namespace SettingKeyTable
