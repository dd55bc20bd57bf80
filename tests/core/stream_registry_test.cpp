#include "core/stream_registry.h"

#include <gtest/gtest.h>

#include <atomic>
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
  std::atomic<bool> stop{false};
  std::thread registrar([&] {
    for (int i = 0; i < 2000; ++i) {
      TStreamableClass registration("TRegistryProbeB", &BuildStreamer<TRegistryProbeB>,
                                    typeid(TRegistryProbeB));
    }
    stop = true;
  });
  // The document classes are registered from the start.
  int found = 0;
  while (!stop)
    found += TStreamClassRegistry::Find("TVorlaData") ? 1 : 0;
  registrar.join();
  EXPECT_GT(found, 0);
  EXPECT_FALSE(TStreamClassRegistry::Find("TRegistryProbeB"));
}

}  // namespace
