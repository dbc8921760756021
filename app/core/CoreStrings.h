// String ids of the main window's texts (resources/strings/maindlg.inc).
#pragma once

enum CoreStringId : int {
    kStrVersionInformation = 101,
    kStrConfirmClose = 124,
    kStrCapFreeze = 178,
    kStrCapUnFreeze = 219,
    kStrCameraPrep = 186,
    kStrCameraStop = 187,
    kStrNoCamera = 188,
    kStrErrorCamera = 189,
    kStrRecording = 327,
    kStrEncoding = 333,
    kStrArchive = 121,
    kStrAutoStop = 227,
    kStrJsum = 222,
    kStrHadlock = 223,
    kStrNoData = 250,
    kStrPleaseRestart = 253,
    kStrMeasure = 303,
    kStrQuit = 315,
    kStrSettings = 320,
    kStrStore = 322,
    kStrThumbnailList = 330,
    kStrViewer = 331,
    kStrPatientHeader = 345,
    kStrRec = 4100,
    kStrRecStop = 4101,
    kStrRecPrint = 4102,
    kStrStcReset = 4103,
    kStrStcAuto = 4104,
    kStrStcOn = 4105,
    kStrStcOff = 4106,
    kStrStcAutomatic = 4107,
};

// The 28 captions loaded at initialisation, in member order.
inline constexpr int kCaptionIds[28] = {178, 219, 128, 129, 114,  115, 116, 179, 117, 118,
                                        119, 186, 187, 122, 120,  121, 108, 130, 134, 216,
                                        135, 217, 208, 218, 1150, 322, 303, 315};
