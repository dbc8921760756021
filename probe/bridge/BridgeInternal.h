// Helpers shared by the files of the bridge library; they work on an object the caller holds.
#pragma once

#include <cstdint>

#include "probe/bridge/HandleObject.h"

namespace bridge::detail {

// Descriptors and control transfers (Descriptors.cpp).
Status ReadDeviceDescriptor(HandleObject& h, DeviceDescriptor& descriptor);
Status ReadConfigurationDescriptor(HandleObject& h, ConfigurationDescriptor& descriptor);
Status ReadInterfaceDescriptor(HandleObject& h, uint8_t interfaceIndex, InterfaceDescriptor& descriptor);
Status ReadPipeInformation(HandleObject& h, uint8_t interfaceIndex, uint8_t pipeIndex,
                           PipeInformation& information, uint8_t* interval = nullptr);
Status ReadDescriptor(HandleObject& h, uint8_t type, uint8_t index, uint8_t* buffer, uint32_t length);
Status ControlTransfer(HandleObject& h, const usbdriver::UsbSetupPacket& setup, uint8_t* data,
                       uint32_t length);
// The text of a string descriptor: the low byte of each UTF-16 character.
bool ReadStringDescriptorText(HandleObject& h, uint8_t index, std::string& text);

// Device information (DeviceInfo.cpp).
bool ReadDeviceInformation(HandleObject& h, usbdriver::DeviceInformationRecord& info);
// 600 or 601 for the bridge chips, or the chip family's other numbers (3 when unknown).
uint32_t DetectDeviceType(HandleObject& h, const usbdriver::DeviceInformationRecord* info);
uint16_t MaximumPacketSize(uint16_t bcdUSB);

// Opening and closing (OpenClose.cpp).
Status OpenByIndex(uint32_t deviceIndex, Handle* handle);
// Milliseconds between polls of the notification pipe for its bInterval.
uint32_t PollIntervalMs(uint8_t bInterval);

// Worker threads (Notifications.cpp, ByteStream.cpp); both return once the thread has ended.
// `closing` (FT_Close): no thread starts on the handle any more, also not by a call that found
// the handle before it was taken off the list.
void StopNotifications(HandleObject& h, bool closing = false);
void StopByteStream(HandleObject& h);

}  // namespace bridge::detail
