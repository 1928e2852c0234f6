// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fakes/test_program.h"
#include "link/serial_port.h"

namespace voxrig {
namespace {

using fakes::TestProgram;

TEST(SerialPortTest, PortsOutsideOneTo256DoNothingAndReportZero) {
  TestProgram program;
  Context& ctx = program.ctx;
  program.line.Answer("LM012\r");
  for (int port : {0, 257, -1, 1000}) {
    SCOPED_TRACE(port);
    EXPECT_EQ(OpenPort(ctx, port, 19200), 0);
    SetReadTimeouts(ctx, port, -1);
    EXPECT_EQ(SetLineFormat(ctx, port, 7, 1, 1), 0);
    EXPECT_EQ(WritePort(ctx, port, "LM\r", 3), 0);
    char buffer[16];
    EXPECT_EQ(ReadPort(ctx, port, buffer, sizeof buffer), 0);
    EXPECT_EQ(BytesWaiting(ctx, port), 0);
    ClosePort(ctx, port);
  }
  EXPECT_TRUE(program.line.opened.empty());
  EXPECT_EQ(program.line.written, "");
  EXPECT_EQ(program.line.incoming, "LM012\r") << "nothing was read from the line";
  EXPECT_EQ(program.line.dataBits, 0) << "no format reached any device";
}

TEST(SerialPortTest, PortDeviceIsTheComLinkInTheWorkingFolderOrTheSerialDevice) {
  TestProgram program;
  program.files.files["COM5"] = "";
  program.files.files["COM12"] = "";
  struct Case {
    int port;
    std::string path;
  };
  for (const Case& c :
       {Case{5, "COM5"}, Case{12, "COM12"}, Case{1, "/dev/ttyS0"}, Case{4, "/dev/ttyS3"},
        Case{13, "/dev/ttyS12"}, Case{256, "/dev/ttyS255"}}) {
    EXPECT_EQ(PortDevicePath(program.ctx, c.port), c.path) << c.port;
  }
}

TEST(SerialPortTest, OpenPortOpensThatDeviceAtTheSpeedWithOpeningReadTimeouts) {
  TestProgram program;
  Context& ctx = program.ctx;
  program.files.files["COM5"] = "";

  EXPECT_EQ(OpenPort(ctx, 5, 19200), 1);
  EXPECT_EQ(OpenPort(ctx, 12, 9600), 1);
  EXPECT_EQ(program.line.opened, (std::vector<std::string>{"COM5", "/dev/ttyS11"}));
  EXPECT_EQ(program.line.baudRate, 9600);
  EXPECT_EQ(program.line.dataBits, 8);
  EXPECT_EQ(program.line.parityCode, 0);
  EXPECT_EQ(program.line.stopBitsCode, 1);
  EXPECT_EQ(program.line.readTimeoutMultiplier, 5);
}

TEST(SerialPortTest, FailedOpenLeavesTheSlotEmpty) {
  TestProgram program;
  Context& ctx = program.ctx;
  program.serial.missing.insert("/dev/ttyS0");
  EXPECT_EQ(OpenPort(ctx, 1, 19200), 0);
  program.serial.missing.clear();
  program.serial.refusedSpeeds.insert(12345);
  EXPECT_EQ(OpenPort(ctx, 1, 12345), 0);

  program.line.Answer("RX\r");
  EXPECT_EQ(WritePort(ctx, 1, "LM\r", 3), 0);
  char buffer[8];
  EXPECT_EQ(ReadPort(ctx, 1, buffer, sizeof buffer), 0);
  EXPECT_EQ(BytesWaiting(ctx, 1), 0);
  EXPECT_EQ(program.line.written, "");
  EXPECT_EQ(ctx.link.ports.device[1], nullptr);
}

TEST(SerialPortTest, OpenPortWritesReadsAndCountsThroughTheSlot) {
  TestProgram program;
  Context& ctx = program.ctx;
  ASSERT_EQ(OpenPort(ctx, 3, 19200), 1);
  SetReadTimeouts(ctx, 3, -1);
  EXPECT_EQ(program.line.readTimeoutMultiplier, -1);
  EXPECT_EQ(SetLineFormat(ctx, 3, 8, 0, 2), 0);
  EXPECT_EQ(program.line.stopBitsCode, 2);

  EXPECT_EQ(WritePort(ctx, 3, "VA0145.00000\r", 13), 13);
  EXPECT_EQ(program.line.written, "VA0145.00000\r");
  program.line.Answer("LM012\r");
  EXPECT_EQ(BytesWaiting(ctx, 3), 6);
  char buffer[4];
  EXPECT_EQ(ReadPort(ctx, 3, buffer, 4), 4);
  EXPECT_EQ(std::string(buffer, 4), "LM01");
  EXPECT_EQ(BytesWaiting(ctx, 3), 2);
  EXPECT_EQ(WritePort(ctx, 3, "LM\r", 0), 0);
  EXPECT_EQ(ReadPort(ctx, 3, buffer, 0), 0);
  EXPECT_EQ(program.line.written, "VA0145.00000\r");
}

TEST(SerialPortTest, ClosedPortSendsNothingAndReopens) {
  TestProgram program;
  Context& ctx = program.ctx;
  ASSERT_EQ(OpenPort(ctx, 1, 19200), 1);
  ClosePort(ctx, 1);
  EXPECT_FALSE(program.line.open);
  EXPECT_EQ(WritePort(ctx, 1, "EX\r", 3), 0);
  EXPECT_EQ(program.line.written, "");
  ClosePort(ctx, 1);  // closing an empty slot is harmless

  ASSERT_EQ(OpenPort(ctx, 1, 19200), 1);
  EXPECT_TRUE(program.line.open);
  EXPECT_EQ(WritePort(ctx, 1, "EX\r", 3), 3);
  EXPECT_EQ(program.line.written, "EX\r");
  EXPECT_EQ(program.line.opened.size(), 2u);
}

TEST(SerialPortTest, OpeningAnOpenPortClosesTheOldDeviceFirst) {
  TestProgram program;
  Context& ctx = program.ctx;
  ASSERT_EQ(OpenPort(ctx, 1, 19200), 1);
  // The device is this program's alone: the old one must be gone before the
  // new one is opened, not after.
  ASSERT_EQ(OpenPort(ctx, 1, 9600), 1);
  EXPECT_TRUE(program.line.open);
  EXPECT_EQ(program.line.baudRate, 9600);
  EXPECT_EQ(WritePort(ctx, 1, "LM\r", 3), 3);
}

// A device that refuses every character format, as a UART would refuse one
// it cannot do.
class RefusingDevice : public SerialDevice {
 public:
  void SetReadTimeouts(int) override {}
  bool SetLineFormat(int, int, int) override { return false; }
  int Write(const char*, int) override { return 0; }
  int Read(char*, int) override { return 0; }
  int BytesWaiting() override { return 0; }
  bool LineGone() override { return false; }
};

class RefusingOpener : public SerialDeviceOpener {
 public:
  std::unique_ptr<SerialDevice> Open(const std::string&, int) override {
    return std::make_unique<RefusingDevice>();
  }
};

TEST(SerialPortTest, SetLineFormatReportsARefusalAsOne) {
  TestProgram program;
  RefusingOpener opener;
  program.ctx.platform.serial = &opener;
  ASSERT_EQ(OpenPort(program.ctx, 2, 19200), 1);
  EXPECT_EQ(SetLineFormat(program.ctx, 2, 8, 0, 2), 1);
}

}  // namespace
}  // namespace voxrig
