#include "probe/bridge/BridgeStatus.h"

#include "platform/usbdriver/UsbDriver.h"

namespace bridge {

Status MapSystemError(uint32_t error) {
    using namespace usbdriver;
    switch (error) {
        case kErrorSuccess:
            return kStatusOk;
        case kErrorInvalidHandle:
            return kStatusInvalidHandle;
        case kErrorNotEnoughMemory:
            return kStatusInsufficientResources;
        case kErrorHandleEof:
            return kStatusEndOfFile;
        case kErrorDevNotExist:
            return kStatusDeviceNotConnected;
        case kErrorInvalidParameter:
            return kStatusInvalidParameter;
        case kErrorSemTimeout:
            return kStatusTimeout;
        case kErrorBusy:
            return kStatusBusy;
        case kErrorNoMoreItems:
            return kStatusNoMoreItems;
        case kErrorOperationAborted:
            return kStatusOperationAborted;
        case kErrorIoIncomplete:
            return kStatusIoIncomplete;
        case kErrorIoPending:
            return kStatusIoPending;
        case kErrorDeviceNotConnected:
            return kStatusDeviceNotConnected;
        case kErrorBadDevice:
            return kStatusDeviceNotFound;
        case kErrorNoSystemResources:
            return kStatusNoSystemResources;
        default:
            return kStatusOtherError;
    }
}

Status MapLastError() {
    return MapSystemError(usbdriver::GetLastError());
}

}  // namespace bridge
