// Feeds arbitrary bytes to the configuration file reader; whatever it accepts must write back and
// read again to the same bytes, and nothing may crash or allocate without bound.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "app/vorla_config.h"
#include "core/model_error.h"
#include "core/pstream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ipstream is(std::span<const uint8_t>(data, size));
  try {
    auto config = is.ReadOwned<TVorlaConfig>();
    if (config && is.Good()) {
      opstream first;
      first.WriteObject(config.get());
      ipstream again(first.Bytes());
      auto reread = again.ReadOwned<TVorlaConfig>();
      if (!reread || !again.Good())
        std::abort();
      opstream second;
      second.WriteObject(reread.get());
      if (second.Bytes() != first.Bytes())
        std::abort();
    }
  } catch (const TModelError&) {
  }
  return 0;
}
