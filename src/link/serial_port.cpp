// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/serial_port.h"

#include <memory>
#include <string>
#include <utility>

namespace voxrig {

namespace {

// Read time-outs a port gets when it opens: 1000 ms between bytes, 5 ms per
// byte asked for. The connect sequence then makes reads return at once.
constexpr int kOpenReadMultiplier = 5;

bool ValidPort(int port) {
  return port >= 1 && port <= PortSlots::kPortCount;
}

// The device open on the port, or null for an invalid port or an empty slot.
SerialDevice* DeviceOf(Context& ctx, int port) {
  if (!ValidPort(port)) return nullptr;
  return ctx.link.ports.device[static_cast<std::size_t>(port)].get();
}

}  // namespace

std::string PortDevicePath(Context& ctx, int port) {
  if (port == ctx.link.comPort && !ctx.link.devicePath.empty()) return ctx.link.devicePath;
  // A link whose adapter is unplugged still names the receiver's port: the
  // panel waits for it rather than talk to /dev/ttyS(n-1) instead.
  const std::string link = "COM" + std::to_string(port);
  FileSystem* files = ctx.platform.files;
  if (files != nullptr && (files->Exists(link) || files->IsLink(link))) return link;
  return "/dev/ttyS" + std::to_string(port - 1);
}

std::unique_ptr<SerialDevice> OpenPortDevice(Context& ctx, int port, int baudRate) {
  if (!ValidPort(port) || ctx.platform.serial == nullptr) return nullptr;
  auto device = ctx.platform.serial->Open(PortDevicePath(ctx, port), baudRate);
  if (device) device->SetReadTimeouts(kOpenReadMultiplier);
  return device;
}

int OpenPort(Context& ctx, int port, int baudRate) {
  if (!ValidPort(port) || ctx.platform.serial == nullptr) return 0;
  // A slot still holding a device is closed first: the device is opened for
  // this program alone, so opening it again beside itself would fail.
  ClosePort(ctx, port);
  auto device = OpenPortDevice(ctx, port, baudRate);
  if (!device) return 0;
  ctx.link.ports.device[static_cast<std::size_t>(port)] = std::move(device);
  return 1;
}

void SetReadTimeouts(Context& ctx, int port, int perByteMultiplier) {
  if (SerialDevice* device = DeviceOf(ctx, port)) device->SetReadTimeouts(perByteMultiplier);
}

int SetLineFormat(Context& ctx, int port, int dataBits, int parityCode, int stopBitsCode) {
  SerialDevice* device = DeviceOf(ctx, port);
  if (device == nullptr) return 0;
  return device->SetLineFormat(dataBits, parityCode, stopBitsCode) ? 0 : 1;
}

int WritePort(Context& ctx, int port, const char* bytes, int count) {
  SerialDevice* device = DeviceOf(ctx, port);
  if (device == nullptr || bytes == nullptr || count <= 0) return 0;
  return device->Write(bytes, count);
}

int ReadPort(Context& ctx, int port, char* buffer, int maximum) {
  SerialDevice* device = DeviceOf(ctx, port);
  if (device == nullptr || buffer == nullptr || maximum <= 0) return 0;
  return device->Read(buffer, maximum);
}

int BytesWaiting(Context& ctx, int port) {
  SerialDevice* device = DeviceOf(ctx, port);
  return device == nullptr ? 0 : device->BytesWaiting();
}

void ClosePort(Context& ctx, int port) {
  if (ValidPort(port)) ctx.link.ports.device[static_cast<std::size_t>(port)].reset();
}

}  // namespace voxrig
