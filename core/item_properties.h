#pragma once

#include <cstdint>
#include <string>

/// The values the properties dialogs of the account and envelope trees transfer. The model fills
/// them before the dialog opens and takes them back on OK.

/// The values of the account properties dialog.
struct TAccountProperties {
  std::string name;
  std::string description;
  uint32_t type = 1;
  uint32_t defaultEnvelope = 0;
};

/// The values of the dialogs of account groups and associations.
struct TGroupProperties {
  std::string name;
  std::string description;
};

/// The values of "Edit Envelope Properties".
struct TEnvelopeProperties {
  std::string name;
  std::string description;
  float threshold = 0.0f;
  bool inAllocationPlan = true;
};

/// The values of the bundle properties dialog.
struct TBundleProperties {
  std::string name;
  std::string description;
  float threshold = 0.0f;
};

/// Which tree a root's name dialog is for.
enum class TTreeKind { Accounts, Envelopes };

/// One line of a list of envelopes to choose from.
struct TItemChoice {
  uint32_t id = 0;
  std::string name;
};
