// A small budget must cost little memory to read, check and dump, whatever numbers it stores:
// every table the reader sizes from the file is bounded by the file's size.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "cli/budget_check.h"
#include "cli/budget_generator.h"
#include "cli/document_dump.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "core/pstream.h"
#include "core/unattended_user_port.h"
#include "tests/support/result_check.h"
#include "tests/support/temp_folder.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's allocator interface (gcc installs no header for it).
extern "C" {
size_t __sanitizer_get_allocated_size(const volatile void* pointer);
int __sanitizer_install_malloc_and_free_hooks(void (*allocated)(const volatile void*, size_t),
                                              void (*freed)(const volatile void*));
}
#endif

namespace {

namespace fs = std::filesystem;

// More than the reader needs for a few kilobytes, far less than a table sized by a stored number.
constexpr size_t kPeakLimit = size_t{16} << 20;
constexpr rlim_t kAddressSpaceLimit = rlim_t{64} << 20;

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer reserves terabytes of address space and keeps freed memory in
// quarantine, so neither an address-space limit nor the resident size can tell. Its allocator
// hooks can: they keep the peak of the bytes allocated and not yet freed.
std::atomic<size_t> gLive{0};
std::atomic<size_t> gPeak{0};

void CountAllocation(const volatile void*, size_t size) {
  const size_t live = gLive += size;
  size_t peak = gPeak.load();
  while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {
  }
}

void CountRelease(const volatile void* pointer) {
  gLive -= __sanitizer_get_allocated_size(pointer);
}

void LimitMemory() {
  __sanitizer_install_malloc_and_free_hooks(CountAllocation, CountRelease);
}

bool WithinLimit() {
  return gPeak.load() <= kPeakLimit;
}
#else
void LimitMemory() {
  const rlimit limit{kAddressSpaceLimit, kAddressSpaceLimit};
  ::setrlimit(RLIMIT_AS, &limit);
}

bool WithinLimit() {
  return true;  // the address-space limit kills a child that goes beyond it
}
#endif

void Store32(std::string& bytes, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4 && offset + i < bytes.size(); ++i)
    bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

// Reads, checks and dumps a file as `dump` and `check` do.
void ReadAsTheToolDoes(const fs::path& path) {
  TUnattendedUserPort user;
  TFixedClock clock(TDateValue(1, 1, 2024));
  TModelEnvironment environment{user, clock};
  if (auto document = ReadDocumentFile(path.string(), environment)) {
    (void)CheckBudget(**document);
    (void)DumpDocument(**document);
  }
}

// Runs `read` in a child under the memory limit: 64 MB of address space, or under the address
// sanitizer a peak of 16 MB allocated at once. True when the child ended normally within it.
template <class Read>
::testing::AssertionResult ReadsInLittleMemory(Read read) {
  const pid_t child = ::fork();
  if (child < 0)
    return ::testing::AssertionFailure() << "fork failed";
  if (child == 0) {
    LimitMemory();
    read();
    ::_exit(WithinLimit() ? 0 : 3);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (WIFSIGNALED(status))
    return ::testing::AssertionFailure() << "killed by signal " << WTERMSIG(status);
  if (WEXITSTATUS(status) == 3)
    return ::testing::AssertionFailure()
           << "more than " << kPeakLimit << " bytes allocated at once";
  if (WEXITSTATUS(status) != 0)
    return ::testing::AssertionFailure() << "exit status " << WEXITSTATUS(status);
  return ::testing::AssertionSuccess();
}

class HostileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Succeeded(GenerateBudgetFile(budget_.string(), 10, 3)));
    bytes_ = ReadFileBytes(budget_);
    ASSERT_GT(bytes_.size(), 2263u);
  }
  void WriteBudget(const std::string& bytes) {
    std::ofstream(budget_, std::ios::binary | std::ios::trunc) << bytes;
  }

  TTempFolder temp_;
  const fs::path budget_ = temp_.Path() / "s.vrl";
  std::string bytes_;
};

TEST_F(HostileFileTest, TransactionIdentifiersNear2To26CostNothing) {
  std::string hostile = bytes_;
  Store32(hostile, 2003, 0x03fffffe);
  Store32(hostile, 2259, 0x03ffffff);
  WriteBudget(hostile);
  EXPECT_TRUE(ReadsInLittleMemory([&] { ReadAsTheToolDoes(budget_); }));
}

TEST_F(HostileFileTest, AnyStoredNumberNear2To31CostsNothing) {
  // Every count, size and identifier is some four bytes of the file: each position in turn gets
  // a large value, and all the variants are read (from memory, as the file would be) and checked
  // in one child, so that a table sized by any of them shows.
  EXPECT_TRUE(ReadsInLittleMemory([&] {
    TUnattendedUserPort user;
    TFixedClock clock(TDateValue(1, 1, 2024));
    TModelEnvironment environment{user, clock};
    for (uint32_t value : {0x7ffffffeu, 0x03fffffeu}) {
      for (size_t offset = 0; offset < bytes_.size(); ++offset) {
        std::string hostile = bytes_;
        Store32(hostile, offset, value);
        ipstream is(std::span(reinterpret_cast<const uint8_t*>(hostile.data()), hostile.size()));
        is.SetEnvironment(&environment);
        try {
          auto document = is.ReadOwned<TVorlaData>();
          if (document && is.Good()) {
            document->FinishLoading();
            (void)CheckBudget(*document);
          }
        } catch (const TModelError&) {
        }
      }
    }
  }));
}

}  // namespace
