// Arbitrary and damaged bytes given to the stream reader must end in a refusal, never a crash.
#include <gtest/gtest.h>

#include <random>

#include "core/clock.h"
#include "core/pstream.h"
#include "core/vorla_data.h"
#include "tests/support/recording_user_port.h"

namespace {

class RandomStreamInput : public ::testing::Test {
 protected:
  TRecordingUserPort user;
  TFixedClock clock{TDateValue(1, 1, 2020)};
  TModelEnvironment environment{user, clock};

  void ReadAsDocument(const std::vector<uint8_t>& bytes) {
    ipstream is(bytes);
    is.SetEnvironment(&environment);
    try {
      auto doc = is.ReadOwned<TVorlaData>();
      if (doc) {
        opstream os;
        os.WriteObject(doc.get());
      }
    } catch (const TModelError&) {
      // Unknown classes and newer formats are refused by exception; that is a refusal too.
    }
  }

  std::vector<uint8_t> ValidDocument() {
    TVorlaData doc(environment);
    doc.Settings().SetText("Name", "Value", 3);
    doc.Settings().SetText("Other", "", 0);
    opstream os;
    os.WriteObject(&doc);
    return os.Bytes();
  }
};

TEST_F(RandomStreamInput, ArbitraryBytesNeverCrashTheReader) {
  std::mt19937 random(20261206);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 96);
  for (int round = 0; round < 200000; ++round) {
    std::vector<uint8_t> bytes(static_cast<size_t>(length(random)));
    for (auto& b : bytes)
      b = static_cast<uint8_t>(byte(random));
    if (round % 2 == 0 && bytes.size() > 6) {
      // Give half of the inputs a valid header and pointer byte so the reader gets further.
      bytes[0] = ':';
      bytes[1] = 0x01;
      bytes[2] = 0x01;
      bytes[3] = 0;
      bytes[4] = 0;
      bytes[5] = static_cast<uint8_t>(round % 4);
    }
    ReadAsDocument(bytes);
  }
  SUCCEED();
}

TEST_F(RandomStreamInput, DamagedDocumentsNeverCrashTheReader) {
  const std::vector<uint8_t> valid = ValidDocument();
  std::mt19937 random(7);
  std::uniform_int_distribution<size_t> position(0, valid.size() - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 100000; ++round) {
    std::vector<uint8_t> damaged = valid;
    int flips = 1 + round % 4;
    for (int i = 0; i < flips; ++i)
      damaged[position(random)] = static_cast<uint8_t>(byte(random));
    ReadAsDocument(damaged);
  }
  SUCCEED();
}

}  // namespace
