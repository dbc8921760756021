// The exported functions stand in the dynamic symbol table of a program linked the way the
// viewer is. This file must not call any of them: a call would pull them in by itself.
#include <dlfcn.h>
#include <gtest/gtest.h>

TEST(BridgeExports, AllFiftySixFunctionsAreInTheDynamicSymbolTable) {
    const char* names[] = {
        "FT_AbortPipe",
        "FT_ClearNotificationCallback",
        "FT_ClearStreamPipe",
        "FT_Close",
        "FT_ControlTransfer",
        "FT_Create",
        "FT_CreateDeviceInfoList",
        "FT_CycleDevicePort",
        "FT_EnableGPIO",
        "FT_FlushPipe",
        "FT_GetChipConfiguration",
        "FT_GetConfigurationDescriptor",
        "FT_GetDescriptor",
        "FT_GetDeviceDescriptor",
        "FT_GetDeviceInfo",
        "FT_GetDeviceInfoDetail",
        "FT_GetDeviceInfoList",
        "FT_GetDriverVersion",
        "FT_GetFirmwareVersion",
        "FT_GetGPIO",
        "FT_GetInterfaceDescriptor",
        "FT_GetLatencyTimer",
        "FT_GetLibraryVersion",
        "FT_GetOverlappedResult",
        "FT_GetPipeInformation",
        "FT_GetPipeTimeout",
        "FT_GetQueueStatus",
        "FT_GetStringDescriptor",
        "FT_GetSuspendTimeout",
        "FT_GetVIDPID",
        "FT_InitializeD2XXExtension",
        "FT_InitializeOverlapped",
        "FT_IoCtl",
        "FT_IsDevicePath",
        "FT_ListDevices",
        "FT_Open",
        "FT_Purge",
        "FT_Read",
        "FT_ReadGPIO",
        "FT_ReadPipe",
        "FT_ReadPipeEx",
        "FT_ReleaseOverlapped",
        "FT_ResetDevicePort",
        "FT_SetChipConfiguration",
        "FT_SetGPIO",
        "FT_SetGPIOLevel",
        "FT_SetGPIOPull",
        "FT_SetLatencyTimer",
        "FT_SetNotificationCallback",
        "FT_SetPipeTimeout",
        "FT_SetStreamPipe",
        "FT_SetSuspendTimeout",
        "FT_SetUSBParameters",
        "FT_WriteGPIO",
        "FT_WritePipe",
        "FT_WritePipeEx",
    };
    ASSERT_EQ(std::size(names), 56u);
    void* self = dlopen(nullptr, RTLD_NOW);
    ASSERT_NE(self, nullptr);
    for (const char* name : names)
        EXPECT_NE(dlsym(self, name), nullptr) << name;
    dlclose(self);
}
