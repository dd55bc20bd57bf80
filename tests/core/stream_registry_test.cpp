#include "core/stream_registry.h"

#include <gtest/gtest.h>

#include <barrier>
#include <thread>
#include <vector>

namespace {

class TRegistryProbe : public TStreamableBase {
 public:
  explicit TRegistryProbe(TStreamableInit) {}
  class Streamer : public TNewStreamer {
   public:
    using TNewStreamer::TNewStreamer;
    void Read(ipstream&, uint32_t) override {}
    void Write(opstream&) const override {}
    uint32_t FormatVersion() const override { return 1; }
  };
};

class TRegistryProbeB : public TRegistryProbe {
 public:
  using TRegistryProbe::TRegistryProbe;
};

TEST(StreamClassRegistry, NamesAreCaseSensitiveAndModuleZeroMatchesAny) {
  TStreamableClass registration("TRegistryProbe", &BuildStreamer<TRegistryProbe>,
                                typeid(TRegistryProbe));
  EXPECT_TRUE(TStreamClassRegistry::Find("TRegistryProbe", 1));
  EXPECT_TRUE(TStreamClassRegistry::Find("TRegistryProbe", 0));
  EXPECT_FALSE(TStreamClassRegistry::Find("TRegistryProbe", 2));
  EXPECT_FALSE(TStreamClassRegistry::Find("tregistryprobe", 0));
  EXPECT_FALSE(TStreamClassRegistry::Find("TRegistryProb", 0));
  EXPECT_EQ(TStreamClassRegistry::NameOf(typeid(TRegistryProbe)), "TRegistryProbe");
}

TEST(StreamClassRegistry, UnregisteringRemovesTheEntryAndItsType) {
  size_t before = TStreamClassRegistry::Count();
  {
    TStreamableClass registration("TRegistryProbeB", &BuildStreamer<TRegistryProbeB>,
                                  typeid(TRegistryProbeB));
    EXPECT_EQ(TStreamClassRegistry::Count(), before + 1);
  }
  EXPECT_EQ(TStreamClassRegistry::Count(), before);
  EXPECT_FALSE(TStreamClassRegistry::Find("TRegistryProbeB"));
  EXPECT_FALSE(TStreamClassRegistry::NameOf(typeid(TRegistryProbeB)));
}

TEST(StreamClassRegistry, BuilderMakesAFreshObjectOrServesAGivenOne) {
  auto made = BuildStreamer<TRegistryProbe>(nullptr);
  std::unique_ptr<TStreamableBase> owned(made->GetObject());
  EXPECT_NE(dynamic_cast<TRegistryProbe*>(owned.get()), nullptr);
  TRegistryProbe existing(streamableInit);
  EXPECT_EQ(BuildStreamer<TRegistryProbe>(&existing)->GetObject(), &existing);
}

TEST(StreamClassRegistry, LookupsRunWhileOtherThreadsRegister) {
  // Both threads start each round behind a barrier, so a lookup and a registration overlap in
  // every round whatever the scheduler does, and the lookups never depend on being first.
  constexpr int kRounds = 2000;
  std::barrier sync(2);
  std::thread registrar([&] {
    for (int i = 0; i < kRounds; ++i) {
      sync.arrive_and_wait();
      {
        TStreamableClass registration("TRegistryProbeB", &BuildStreamer<TRegistryProbeB>,
                                      typeid(TRegistryProbeB));
      }
      sync.arrive_and_wait();
    }
  });
  // The document classes are registered from the start.
  int found = 0;
  for (int i = 0; i < kRounds; ++i) {
    sync.arrive_and_wait();
    found += TStreamClassRegistry::Find("TVorlaData") ? 1 : 0;
    sync.arrive_and_wait();
  }
  registrar.join();
  EXPECT_EQ(found, kRounds);
  EXPECT_FALSE(TStreamClassRegistry::Find("TRegistryProbeB"));
}

}  // namespace
