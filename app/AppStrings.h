// String ids of the window code's own texts (resources/strings/app.inc).
#pragma once

enum AppStringId : int {
    kStrUnacceptableValue = 4001,
    kStrEnterNumberBetween = 4002,
    kStrFreeze = 4010,
    kStrBB = 4011,
    kStrBM = 4012,
    kStrSyncView = 4013,
    kStrSTC = 4014,
    kStrREC = 4015,
    kStrRecTimeZero = 4016,
    kStrBack = 4017,
    kStrAuto = 4018,
    kStrDepth = 4019,
    kStrGain = 4020,
    kStrContrast = 4021,
    kStrGamma = 4022,
    kStrFreq = 4023,
    kStrFrameCorrelation = 4024,
    kStrLetterDepth = 4025,
    kStrLetterGain = 4026,
    kStrLetterContrast = 4027,
    kStrLetterGamma = 4028,
    kStrPreview = 4030,
};
