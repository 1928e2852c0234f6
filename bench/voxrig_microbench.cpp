// SPDX-License-Identifier: GPL-3.0-or-later
// Times the panel's hot pure work: framing a receiver reply (every poll step
// 2 and every key's separator entry) and reading a bank file (every bank
// selection, sort, merge and transfer). The real program's poll period, idle
// CPU and memory are measured by tools/run-bench.
#include <benchmark/benchmark.h>

#include <string>

#include "banks/bank_file.h"
#include "fakes/test_program.h"
#include "tuning/receiver_news.h"

namespace {

using voxrig::fakes::TestProgram;

// A panel that has heard from the receiver before, so no "connected" prompt.
void PrepareConnected(TestProgram& program) {
  program.AttachReceiver();
  program.ctx.link.statusLine = ">";
  program.ctx.link.linkState = voxrig::ReceiverAnswer::kReceived;
}

void BM_ReadReplyLevel(benchmark::State& state) {
  TestProgram program;
  PrepareConnected(program);
  for (auto _ : state) {
    program.line.Answer("LM 142\r\n");
    const auto reception = voxrig::TakeReception(program.ctx);
    benchmark::DoNotOptimize(reception);
  }
}
BENCHMARK(BM_ReadReplyLevel);

// Replies that piled up while nobody read: a late empty answer, level
// changes reported on their own, a state line and the level answer.
void BM_ReadReplyPiledUp(benchmark::State& state) {
  TestProgram program;
  PrepareConnected(program);
  const std::string piled =
      "\r\nLC%000 MA05\r\nVS RF0145512500 ST012500 AU0 MD1 AT0\r\nLC142 MA05 RF0145500000\r\n"
      "LM 142\r\n";
  for (auto _ : state) {
    program.line.Answer(piled);
    const auto reception = voxrig::TakeReception(program.ctx);
    benchmark::DoNotOptimize(reception);
  }
}
BENCHMARK(BM_ReadReplyPiledUp);

// A bank of `channels` channels as the program writes it.
std::string BankOf(int channels) {
  std::string bytes = "bank12\r\nFM\r\n12.5\r\n \r\n";
  for (int k = 0; k < channels; ++k) {
    bytes += "145." + std::to_string(1000 + k * 125) + "\r\n \r\n";
  }
  return bytes + "9999\r\n";
}

void BM_ReadBankFile(benchmark::State& state) {
  TestProgram program;
  program.files.files["bank12.dat"] = BankOf(static_cast<int>(state.range(0)));
  program.ctx.banks.bankFileName = "bank12.dat";
  for (auto _ : state) {
    voxrig::ReadBankFile(program.ctx);
    benchmark::DoNotOptimize(program.ctx.banks.bankLastSlot);
  }
}
BENCHMARK(BM_ReadBankFile)->Arg(1)->Arg(91)->Arg(197);

void BM_BankFileBytes(benchmark::State& state) {
  TestProgram program;
  program.files.files["bank12.dat"] = BankOf(static_cast<int>(state.range(0)));
  program.ctx.banks.bankFileName = "bank12.dat";
  voxrig::ReadBankFile(program.ctx);
  for (auto _ : state) {
    std::string bytes = voxrig::BankFileBytes(program.ctx.banks.bankSlots);
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_BankFileBytes)->Arg(1)->Arg(91)->Arg(197);

}  // namespace

BENCHMARK_MAIN();
