// Raw blocks through the object streams against a plain memcpy of the same bytes: the stream
// should cost little more than the copy itself.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "core/pstream.h"

namespace {

constexpr size_t kTotal = 64u << 20;

size_t BlockSize(const benchmark::State& state) {
  return static_cast<size_t>(state.range(0));
}

void BM_MemcpyBaseline(benchmark::State& state) {
  std::vector<uint8_t> source(kTotal, 0x5A);
  std::vector<uint8_t> target(kTotal);
  const size_t block = BlockSize(state);
  for (auto _ : state) {
    for (size_t at = 0; at < kTotal; at += block) {
      std::memcpy(target.data() + at, source.data() + at, block);
    }
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTotal));
}

// A writer needs new memory for what it writes; this baseline pays the same first touch.
void BM_MemcpyFreshTarget(benchmark::State& state) {
  std::vector<uint8_t> source(kTotal, 0x5A);
  const size_t block = BlockSize(state);
  for (auto _ : state) {
    std::unique_ptr<uint8_t[]> target(new uint8_t[kTotal]);
    for (size_t at = 0; at < kTotal; at += block) {
      std::memcpy(target.get() + at, source.data() + at, block);
    }
    benchmark::DoNotOptimize(target.get());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTotal));
}

void BM_StreamWriteRaw(benchmark::State& state) {
  std::vector<uint8_t> source(kTotal, 0x5A);
  const size_t block = BlockSize(state);
  for (auto _ : state) {
    opstream os(kTotal + 16);
    for (size_t at = 0; at < kTotal; at += block)
      os.WriteBytes(source.data() + at, block);
    benchmark::DoNotOptimize(os.Bytes().data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTotal));
}

void BM_StreamReadRaw(benchmark::State& state) {
  opstream os;
  std::vector<uint8_t> source(kTotal, 0x5A);
  os.WriteBytes(source.data(), source.size());
  const std::vector<uint8_t>& bytes = os.Bytes();
  std::vector<uint8_t> target(kTotal);
  const size_t block = BlockSize(state);
  for (auto _ : state) {
    ipstream is(bytes);
    for (size_t at = 0; at < kTotal; at += block)
      is.ReadBytes(target.data() + at, block);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTotal));
}

// 256-byte blocks are transaction records; 16 KiB pieces are how the store is moved.
BENCHMARK(BM_MemcpyBaseline)->Arg(256)->Arg(16384)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemcpyFreshTarget)->Arg(256)->Arg(16384)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StreamWriteRaw)->Arg(256)->Arg(16384)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StreamReadRaw)->Arg(256)->Arg(16384)->Unit(benchmark::kMillisecond);

}  // namespace
