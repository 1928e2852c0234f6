// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/steps.h"

namespace voxrig {
namespace {

using Trace = std::vector<std::string>;

Steps<int> Channel(Trace& trace, int number) {
  trace.push_back("send " + std::to_string(number));
  co_await WaitFor{150};
  trace.push_back("sent " + std::to_string(number));
  co_return number * 10;
}

Steps<> Transfer(Trace& trace, int channels) {
  int total = 0;
  for (int i = 1; i <= channels; ++i) total += co_await Channel(trace, i);
  trace.push_back("total " + std::to_string(total));
}

Steps<> Failing() {
  co_await WaitFor{10};
  throw std::runtime_error("line");
}

// The operation runs up to each wait and no further, its nested steps'
// waits are its own, and their results come back to it.
TEST(Steps, RunUpToEachWaitAndHandNestedResultsBack) {
  Trace trace;
  Steps<> transfer = Transfer(trace, 2);
  EXPECT_TRUE(trace.empty()) << "nothing runs before the loop starts it";
  transfer.Start();
  EXPECT_EQ(trace, Trace{"send 1"});
  EXPECT_EQ(transfer.WaitMs(), 150);
  transfer.Resume();
  EXPECT_EQ(trace, (Trace{"send 1", "sent 1", "send 2"}));
  EXPECT_FALSE(transfer.Done());
  transfer.Resume();
  EXPECT_TRUE(transfer.Done());
  EXPECT_EQ(trace.back(), "total 30");

  int slept = 0;
  Trace again;
  RunToEnd(Transfer(again, 3), [&](int ms) { slept += ms; });
  EXPECT_EQ(slept, 450);
  EXPECT_EQ(again.back(), "total 60");
  EXPECT_EQ(RunToEnd(Channel(again, 4), [](int) {}), 40);

  // An operation dropped half way (the panel closing) frees its steps.
  Trace dropped;
  {
    Steps<> half = Transfer(dropped, 5);
    half.Start();
  }
  EXPECT_EQ(dropped, Trace{"send 1"});

  Steps<> failing = Failing();
  failing.Start();
  failing.Resume();
  EXPECT_TRUE(failing.Done());
  EXPECT_THROW(failing.Result(), std::runtime_error);
}

}  // namespace
}  // namespace voxrig
