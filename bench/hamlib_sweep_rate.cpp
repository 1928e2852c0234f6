// SPDX-License-Identifier: GPL-3.0-or-later
// How fast the panel sweeps a radio driven through Hamlib that has no search
// of its own: Hamlib's dummy radio, its own search set aside, stepped beside
// the loop between 145 and 146 MHz while a level question goes out every
// 300 ms as the poll would. Prints the frequencies tuned a second, counted
// over three seconds from the radio's own log lines.
#include <hamlib/rig.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "hamlib/hamlib_capabilities.h"
#include "hamlib/hamlib_radio.h"
#include "link/radio_beside_loop.h"

namespace {

// Counts the tunings the radio logs.
class TuningCounter : public voxrig::OutputFile {
 public:
  bool Write(const std::string& bytes) override {
    const std::string tuning = "TX= set_freq";
    for (auto at = bytes.find(tuning); at != std::string::npos; at = bytes.find(tuning, at + 1)) {
      ++tunings;
    }
    return true;
  }
  std::atomic<int> tunings{0};
};

}  // namespace

int main() {
  using namespace voxrig;
  using Clock = std::chrono::steady_clock;
  rig_set_debug(RIG_DEBUG_NONE);
  RIG* rig = rig_init(RIG_MODEL_DUMMY);
  if (rig == nullptr || rig_open(rig) != RIG_OK) {
    std::fprintf(stderr, "hamlib_sweep_rate: Hamlib's dummy radio did not open\n");
    return 1;
  }
  ReceiverCapabilities capabilities = CapabilitiesOfCaps(*rig->caps);
  capabilities.searchesByItself = false;
  RadioBesideTheLoop radio(std::make_unique<HamlibRadio>(rig, capabilities),
                           std::make_shared<RadioWakeup>());
  TuningCounter counter;
  radio.SetWireLog(&counter);
  radio.SetFrequency(Vfo::kB, "146");
  radio.SetFrequency(Vfo::kA, "145");
  radio.SetStep("12.5");
  radio.StartSearch();
  const auto poll = [&radio](Clock::time_point until) {
    while (Clock::now() < until) {
      radio.AskReception();
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      radio.TakeReception();  // hands on the lines logged meanwhile too
    }
  };
  poll(Clock::now() + std::chrono::seconds(1));
  const int before = counter.tunings;
  const auto start = Clock::now();
  poll(start + std::chrono::seconds(3));
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("%.1f\n", (counter.tunings - before) / seconds);
  return 0;
}
