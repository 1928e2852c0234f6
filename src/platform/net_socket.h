// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

namespace voxrig {

// One accepted network connection. Nothing here ever waits: a call does what
// the connection allows at this moment and returns.
class NetConnection {
 public:
  virtual ~NetConnection() = default;
  // Bytes received: > 0 bytes read, 0 nothing waiting now, -1 the peer has
  // closed the connection or it failed.
  virtual long Receive(char* buffer, std::size_t size) = 0;
  // Bytes the connection took (possibly fewer than given, possibly 0), or -1
  // when the peer has gone. A peer that went away never raises a signal.
  virtual long Send(const char* bytes, std::size_t size) = 0;
};

// A listening socket. Accept never waits: null when nobody is connecting.
class NetListener {
 public:
  virtual ~NetListener() = default;
  virtual std::unique_ptr<NetConnection> Accept() = 0;
  // The port it listens on (the one the system chose when asked for 0).
  virtual int Port() const = 0;
  // False when other computers can reach it (any address but the loopback).
  virtual bool LoopbackOnly() const { return true; }
};

// Tells the panel's thread that the network has something for it: a
// connection, bytes or a hang-up on a socket of the service.
class NetActivity {
 public:
  virtual ~NetActivity() = default;
  // Sleeps until something arrives or the deadline passes. True when
  // something has arrived since the last call.
  virtual bool WaitUntil(std::chrono::steady_clock::time_point deadline) = 0;
};

// Opens listening sockets on a numeric or named address of this machine.
class NetService {
 public:
  virtual ~NetService() = default;
  // Null when the address is unknown or the port cannot be had; `error` then
  // says why in words.
  virtual std::unique_ptr<NetListener> Listen(const std::string& address, int port,
                                              std::string& error) = 0;
};

}  // namespace voxrig
