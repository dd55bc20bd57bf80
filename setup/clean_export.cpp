// The one function the library offers to the installation: the removal of an older version.
#include <cstdint>

#include "setup/clean_action.h"
#include "setup/linux_setup_port.h"

extern "C" __attribute__((visibility("default"))) uint32_t Clean(uint32_t /*installerHandle*/) {
  // Nothing may escape into the installer; a failure here means there is nothing to remove.
  try {
    TLinuxSetupPort port;
    return RunClean(port);
  } catch (...) {
    return kCleanGoOn;
  }
}
