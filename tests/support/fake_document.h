#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/clock.h"
#include "core/document_context.h"
#include "core/model_environment.h"
#include "core/pstream.h"
#include "tests/support/recording_user_port.h"

/// Transactions and templates as the deleting operations see them: which accounts have
/// transactions, and a log of every cascade asked for.
class TFakeCascades : public TItemCascades {
 public:
  bool HasAccountTransactions(uint32_t accountId) const override {
    return accountsWithTransactions.count(accountId) != 0;
  }
  void DeleteAccountTransactions(uint32_t accountId) override {
    calls.push_back("delete-account " + std::to_string(accountId));
  }
  void MoveEnvelopeTransactions(uint32_t envelopeId, uint32_t newEnvelopeId) override {
    calls.push_back("move-envelope " + std::to_string(envelopeId) + " " +
                    std::to_string(newEnvelopeId));
  }
  void ReplaceTemplateEnvelope(uint32_t envelopeId, uint32_t newEnvelopeId) override {
    calls.push_back("replace-template " + std::to_string(envelopeId) + " " +
                    std::to_string(newEnvelopeId));
  }

  std::set<uint32_t> accountsWithTransactions;
  std::vector<std::string> calls;
};

/// A document for lists used on their own: it counts the times it is marked modified and hands
/// out a recording user port, a fixed clock and, when a test sets them, cascades.
class TFakeDocument : public TDocumentContext {
 public:
  void SetModified() override { ++modifiedCount; }
  TUserPort& User() const override { return user; }
  const TClock& Clock() const override { return clock; }
  TItemCascades* Cascades() const override { return cascades; }

  /// The environment a stream reader hands to the objects it reads.
  const TModelEnvironment& Environment() const { return environment; }

  mutable TRecordingUserPort user;
  TFixedClock clock{TDateValue(1, 1, 2024)};
  TItemCascades* cascades = nullptr;
  int modifiedCount = 0;
  TModelEnvironment environment{user, clock};
};

/// The bytes of a memory stream that holds one pointer record to `object`.
inline std::vector<uint8_t> StreamBytes(const TStreamableBase& object) {
  opstream os;
  os.WriteObject(&object);
  return os.Bytes();
}

/// Reads one owned object of class T from `bytes`; the stream state comes back in `state`.
template <class T>
std::unique_ptr<T> ReadBack(std::span<const uint8_t> bytes, uint32_t* state = nullptr,
                            const TModelEnvironment* environment = nullptr) {
  ipstream is(bytes);
  is.SetEnvironment(environment);
  std::unique_ptr<T> object = is.ReadOwned<T>();
  if (state != nullptr)
    *state = is.GetState();
  return object;
}
