// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

// The simulator's serial line: a pseudo-terminal whose slave side the panel
// opens as its COM port.
namespace ar8600sim {

class PtyLine {
 public:
  // A raw pseudo-terminal (8 data bits, no parity, 2 stop bits, no echo, no
  // translation). Null, with `error` set, when the system refuses one.
  static std::unique_ptr<PtyLine> Open(int baud, std::string& error);
  ~PtyLine();
  PtyLine(const PtyLine&) = delete;
  PtyLine& operator=(const PtyLine&) = delete;

  int master() const { return master_; }
  const std::string& slavePath() const { return slavePath_; }
  bool open() const { return master_ >= 0; }
  // Hangs up: the client's reads and writes then fail.
  void Close();
  // A real serial port forgets the client's exclusive mode (TIOCEXCL) when
  // the client closes it; a pseudo-terminal keeps it while its master is
  // open, and a client that is not root could then never reopen the port.
  // Called whenever the client has written, so a reopen always works.
  void ForgetExclusiveMode();
  // Bytes written to the client that it has not read yet. Closing the master
  // would throw them away, which a real line that drops does not do.
  int BytesUnread() const;
  // Whether the client has set the line to `baud`: at any other speed a real
  // receiver hears only framing errors, and the client hears noise back.
  bool ClientSpeedIs(int baud) const;

 private:
  PtyLine(int master, int slave, std::string slavePath)
      : master_(master), slave_(slave), slavePath_(std::move(slavePath)) {}
  int master_;
  // Held open by the simulator itself, so that the line stays up while the
  // client closes and reopens its port.
  int slave_;
  std::string slavePath_;
};

// The link "COM" + port in a folder, pointing at the slave; removed again on
// destruction or Remove(), unless another simulator has replaced it meanwhile
// (the receiver was replugged: the link is now that one's).
class ComLink {
 public:
  static std::unique_ptr<ComLink> Make(const std::string& dir, int port, const std::string& target,
                                       std::string& error);
  ~ComLink() { Remove(); }
  ComLink(const ComLink&) = delete;
  ComLink& operator=(const ComLink&) = delete;
  const std::string& path() const { return path_; }
  void Remove();

 private:
  ComLink(std::string path, std::string target)
      : path_(std::move(path)), target_(std::move(target)) {}
  std::string path_;
  std::string target_;
  bool removed_ = false;
};

}  // namespace ar8600sim
