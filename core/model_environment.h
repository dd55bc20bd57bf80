#pragma once

#include "core/clock.h"
#include "core/user_port.h"

/// The outside world as the model sees it: the user and the clock. The document keeps one and
/// hands it to everything it owns; stream readers find it on the input stream.
struct TModelEnvironment {
  TUserPort& user;
  const TClock& clock;
};
