// The settings keys: name in the settings file, id (the cache key within a section), the
// lowest section syntax at which the key is read, the sections it lives in, its type and its
// default. The default lives here only: the typed getters without a default take it from here.
#pragma once

#include <cstdint>

// Which sections hold a key: the "app" section, or the section of the connected probe.
enum class SettingScope : int32_t { App, Probe };

// The value type; it fixes the text form of the value in the file.
enum class SettingType : int32_t {
    Int,       // "%d", read as a signed decimal
    Hex,       // "%lx", read as unsigned hexadecimal; there is no setter
    Double,    // "%lf"
    Text,      // as is
    Unsigned,  // "%u", read as an unsigned decimal
};

struct SettingKey {
    int32_t keyId;
    const char* keyName;
    int32_t minSyntax;
    SettingScope scope;
    SettingType type;
    double defaultNumber;     // the default of a number key
    const char* defaultText;  // the default of a text key
    bool hasDefault;          // false for a key whose default the caller must give
};

// Sections of the settings file. The probe keys live in the section of the connected probe.
enum SettingSection : int32_t {
    SettingSectionNone = 0,
    SettingSectionApp = 1,
    SettingSectionProbeConvex = 2,
    SettingSectionProbeLinear = 4,
};

namespace SettingKeyTable {

namespace detail {
constexpr SettingKey Number(int32_t id, const char* name, SettingScope scope, SettingType type,
                            double value) {
    return SettingKey{id, name, 1, scope, type, value, nullptr, true};
}
constexpr SettingKey AppInt(int32_t id, const char* name, int32_t value) {
    return Number(id, name, SettingScope::App, SettingType::Int, value);
}
constexpr SettingKey AppHex(int32_t id, const char* name, uint32_t value) {
    return Number(id, name, SettingScope::App, SettingType::Hex, value);
}
constexpr SettingKey AppDouble(int32_t id, const char* name, double value) {
    return Number(id, name, SettingScope::App, SettingType::Double, value);
}
constexpr SettingKey AppUnsigned(int32_t id, const char* name, uint32_t value) {
    return Number(id, name, SettingScope::App, SettingType::Unsigned, value);
}
constexpr SettingKey AppText(int32_t id, const char* name, const char* value) {
    return SettingKey{id, name, 1, SettingScope::App, SettingType::Text, 0.0, value, true};
}
constexpr SettingKey ProbeInt(int32_t id, const char* name, int32_t value) {
    return Number(id, name, SettingScope::Probe, SettingType::Int, value);
}
constexpr SettingKey ProbeIntWithoutDefault(int32_t id, const char* name) {
    return SettingKey{id, name, 1, SettingScope::Probe, SettingType::Int, 0.0, nullptr, false};
}
constexpr SettingKey ProbeDouble(int32_t id, const char* name, double value) {
    return Number(id, name, SettingScope::Probe, SettingType::Double, value);
}
}  // namespace detail

// Section "app" (1).
inline constexpr SettingKey FCOLOR = detail::AppHex(1, "FCOLOR", 0xFFFFFF);
inline constexpr SettingKey BCOLOR = detail::AppHex(2, "BCOLOR", 0x0E0000);
inline constexpr SettingKey PCMODE = detail::AppInt(3, "PCMODE", 1);
inline constexpr SettingKey LOG = detail::AppInt(4, "LOG", 0);
inline constexpr SettingKey USB_LOG = detail::AppInt(5, "USB_LOG", 0);
inline constexpr SettingKey SELPRINTER = detail::AppInt(6, "SELPRINTER", 1);
inline constexpr SettingKey RAWDISP = detail::AppInt(7, "RAWDISP", 0);
inline constexpr SettingKey SHOW_STC_VALUE = detail::AppInt(8, "SHOW_STC_VALUE", 0);
inline constexpr SettingKey SHOW_FPS = detail::AppInt(9, "SHOW_FPS", 0);
inline constexpr SettingKey camera = detail::AppText(10, "camera", "");
inline constexpr SettingKey camera_quality = detail::AppText(11, "camera_quality", "LOW");
inline constexpr SettingKey camera_outputfolder = detail::AppText(12, "camera_outputfolder", "");
inline constexpr SettingKey date_format = detail::AppText(13, "date_format", "DD-MM-YYYY");
inline constexpr SettingKey avi_quality = detail::AppText(14, "avi_quality", "LOW");
inline constexpr SettingKey jpeg_quality = detail::AppText(15, "jpeg_quality", "LOW");
inline constexpr SettingKey outputfolder = detail::AppText(16, "outputfolder", "");
inline constexpr SettingKey gamma = detail::AppDouble(17, "gamma", 1.0);
inline constexpr SettingKey auto_stop_time = detail::AppUnsigned(18, "auto_stop_time", 7200);
// USA by default: the set whose tables ship (JSUM has none, so every age would fail).
inline constexpr SettingKey ob_gamodel = detail::AppInt(19, "ob_gamodel", 0);
inline constexpr SettingKey ob_display = detail::AppText(20, "ob_display", "JSUM");
inline constexpr SettingKey SHOW_TEMPERATURE = detail::AppInt(21, "SHOW_TEMPERATURE", 0);

// Sections "probe_convex" (2) and "probe_linear" (4).
inline constexpr SettingKey RAW2BITMAP = detail::ProbeInt(4097, "RAW2BITMAP", 1);
inline constexpr SettingKey GAIN_MIN = detail::ProbeDouble(4098, "GAIN_MIN", -100.0);
inline constexpr SettingKey GAIN_MAX = detail::ProbeDouble(4099, "GAIN_MAX", 0.0);
inline constexpr SettingKey GAIN_BASE = detail::ProbeDouble(4100, "GAIN_BASE", -60.0);
inline constexpr SettingKey CONTRAST_MIN = detail::ProbeDouble(4101, "CONTRAST_MIN", 0.5);
inline constexpr SettingKey CONTRAST_MAX = detail::ProbeDouble(4102, "CONTRAST_MAX", 1.5);
inline constexpr SettingKey AVE = detail::ProbeInt(4103, "AVE", 0);
inline constexpr SettingKey AVE_Y = detail::ProbeInt(4104, "AVE_Y", 0);
inline constexpr SettingKey AVE_MODE = detail::ProbeInt(4105, "AVE_MODE", 4);
inline constexpr SettingKey BICUBIC = detail::ProbeInt(4106, "BICUBIC", 0);
inline constexpr SettingKey BICUBIC_A = detail::ProbeDouble(4107, "BICUBIC_A", -1.0);
inline constexpr SettingKey mscroll = detail::ProbeInt(4108, "mscroll", 0);
inline constexpr SettingKey focus = detail::ProbeInt(4109, "focus", 100);
// The default is the probe's default transmit-frequency index: the caller gives it.
inline constexpr SettingKey tx_freq = detail::ProbeIntWithoutDefault(4110, "tx_freq");
inline constexpr SettingKey gain = detail::ProbeInt(4111, "gain", 50);
inline constexpr SettingKey contrast = detail::ProbeInt(4112, "contrast", 50);
inline constexpr SettingKey depth = detail::ProbeInt(4113, "depth", 225);
inline constexpr SettingKey tgc0 = detail::ProbeInt(4114, "tgc0", 0);
inline constexpr SettingKey tgc1 = detail::ProbeInt(4115, "tgc1", 0);
inline constexpr SettingKey tgc2 = detail::ProbeInt(4116, "tgc2", 0);
inline constexpr SettingKey tgc3 = detail::ProbeInt(4117, "tgc3", 0);
inline constexpr SettingKey tgc4 = detail::ProbeInt(4118, "tgc4", 0);
inline constexpr SettingKey tgc5 = detail::ProbeInt(4119, "tgc5", 0);
inline constexpr SettingKey tgc6 = detail::ProbeInt(4120, "tgc6", 0);
inline constexpr SettingKey tgc7 = detail::ProbeInt(4121, "tgc7", 0);
inline constexpr SettingKey tgc8 = detail::ProbeInt(4122, "tgc8", 0);
inline constexpr SettingKey tgc9 = detail::ProbeInt(4123, "tgc9", 0);
inline constexpr SettingKey tgc10 = detail::ProbeInt(4124, "tgc10", 0);
inline constexpr SettingKey invert = detail::ProbeInt(4125, "invert", 0);
inline constexpr SettingKey smooth = detail::ProbeDouble(4126, "smooth", 0.0);
inline constexpr SettingKey hi_frame_mode = detail::ProbeInt(4127, "hi_frame_mode", 0);
inline constexpr SettingKey auto_sleep_time = detail::ProbeInt(4128, "auto_sleep_time", 5);
inline constexpr SettingKey image_filter = detail::ProbeInt(4129, "image_filter", 1);

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
