// Feeds arbitrary bytes to the budget reader; anything but a clean refusal or a document that
// writes back is a finding.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "core/clock.h"
#include "core/pstream.h"
#include "core/unattended_user_port.h"
#include "core/vorla_data.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TUnattendedUserPort user;
  TFixedClock clock(TDateValue(1, 1, 2020));
  TModelEnvironment environment{user, clock};
  ipstream is(std::span<const uint8_t>(data, size));
  is.SetEnvironment(&environment);
  try {
    auto document = is.ReadOwned<TVorlaData>();
    if (document && is.Good()) {
      document->FinishLoading();
      // The written form is about as long as the input: room up front spares reallocations.
      opstream first(size + 4096);
      first.WriteObject(document.get());
      // What was accepted must read back and write the same bytes again.
      ipstream again(first.Bytes());
      again.SetEnvironment(&environment);
      auto reread = again.ReadOwned<TVorlaData>();
      if (!reread || !again.Good())
        std::abort();
      reread->FinishLoading();
      opstream second(first.Bytes().size());
      second.WriteObject(reread.get());
      if (second.Bytes() != first.Bytes())
        std::abort();
    }
  } catch (const TModelError&) {
  }
  return 0;
}
