// SPDX-License-Identifier: GPL-3.0-or-later
#include "tuning/port_report.h"

#include <string>

#include "link/serial_port.h"
#include "panel/debug_log.h"
#include "panel/display_lines.h"
#include "speech/speech.h"
#include "tuning/receiver_news.h"

namespace voxrig {

namespace {

// Blanks are narrow: this many wipe any earlier detail line.
constexpr int kDetailWidth = 200;

// A report in its three forms: the short status where the meter stands, the
// detail line under the panel, and the fuller words for the terminal.
struct Report {
  std::string status;
  std::string detail;
  std::string terminal;
};

std::string Speed(const LinkState& link) {
  return std::to_string(link.baudRate) + " baud";
}

Report NoDeviceReport(Context& ctx) {
  const LinkState& link = ctx.link;
  if (link.comPort < 1 || link.comPort > PortSlots::kPortCount) {
    return {"No port", "No port: line 1 of VOXRIG.CFG names none",
            "no port: line 1 of VOXRIG.CFG names neither COM1 to COM9 nor a device path"};
  }
  const std::string device = PortDevicePath(ctx, link.comPort);
  if (link.baudRate <= 0) {
    return {"No device", "No device opened: no speed on line 2 of VOXRIG.CFG",
            "no device opened: line 2 of VOXRIG.CFG (\"" + ctx.app.speedSetting.str() +
                "\") gives no speed a serial port takes"};
  }
  FileSystem* files = ctx.platform.files;
  if (files != nullptr && !files->Exists(device)) {
    const std::string what =
        device + (files->IsLink(device) ? " leads to no device" : " is not there");
    return {"No device", "No device: " + what,
            "no device: " + what + " (is the receiver's cable plugged in?)"};
  }
  return {"No device", "No device: " + device + " will not open at " + Speed(link),
          "no device: " + device + " will not open at " + Speed(link) +
              " (another program holds it, you may not open it, or it refuses that speed)"};
}

void ShowDetail(Context& ctx, Line line, const std::string& text) {
  Display& display = *ctx.platform.display;
  display.SetColour(ColourOf(line));
  display.SetFont(FontOf(line));
  MoveTo(display, line);
  std::string padded = text;
  if (padded.size() < kDetailWidth) padded.append(kDetailWidth - padded.size(), ' ');
  display.Print(padded);
}

void Tell(Context& ctx, const Report& report) {
  ctx.link.portReportShown = true;
  ShowLinkStatus(ctx, report.status, Line::kReceiverLost);
  ShowDetail(ctx, Line::kPortDetail, report.detail);
  ShowDetail(ctx, Line::kPortHint, kSetupHint);
  ctx.platform.display->SetColour(Colour::kBlack);
  PrintMessage(ctx, report.terminal + "\n" + kSetupHint);
  ctx.panel.logLine = "ERR= " + report.terminal;
  WriteLogLine(ctx);
}

}  // namespace

void ReportNoDevice(Context& ctx) {
  Tell(ctx, NoDeviceReport(ctx));
  Say(ctx, "nodev");
}

void ReportNoAnswer(Context& ctx) {
  if (ctx.link.portReportShown) return;
  const std::string where =
      "on " + PortDevicePath(ctx, ctx.link.comPort) + " at " + Speed(ctx.link);
  Tell(ctx, {"Receiver not connected", "No answer " + where,
             "no answer from the receiver " + where + ": is it switched on, and its cable in?"});
}

void ReportNotRestored(Context& ctx, const std::string& detail) {
  ctx.link.portReportShown = true;
  ShowDetail(ctx, Line::kPortDetail, detail);
  ctx.platform.display->SetColour(Colour::kBlack);
  PrintMessage(ctx, "the receiver came back. " + detail);
  ctx.panel.logLine = "ERR= " + detail;
  WriteLogLine(ctx);
}

void ClearPortReport(Context& ctx) {
  LinkState& link = ctx.link;
  if (!link.portReportShown) return;
  link.portReportShown = false;
  ShowDetail(ctx, Line::kPortDetail, "");
  ShowDetail(ctx, Line::kPortHint, "");
}

void PrintMessage(Context& ctx, const std::string& lines) {
  if (ctx.platform.messages == nullptr) return;
  std::string text;
  std::size_t start = 0;
  while (start < lines.size()) {
    std::size_t end = lines.find('\n', start);
    if (end == std::string::npos) end = lines.size();
    text += "voxrig: " + lines.substr(start, end - start) + "\n";
    start = end + 1;
  }
  ctx.platform.messages->Write(text);
}

}  // namespace voxrig
