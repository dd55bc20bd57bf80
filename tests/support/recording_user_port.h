#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/user_port.h"

/// A user port for tests: answers from a script, in order, and records every message asked.
/// A message that finds the script empty is answered with `fallback` (Ok by default) and the
/// test can assert on `Unanswered()`.
class TRecordingUserPort : public TUserPort {
 public:
  TMessageAnswer Show(const TMessage& message) override;
  void Beep() override { ++beeps_; }

  /// Queues the answer for the next message.
  void Script(TMessageAnswer answer) { script_.push_back(answer); }
  void SetFallback(TMessageAnswer answer) { fallback_ = answer; }

  const std::vector<TMessage>& Messages() const { return messages_; }
  /// The texts of all messages so far, in order.
  std::vector<std::string> Texts() const;
  int Beeps() const { return beeps_; }
  /// Messages that found no scripted answer.
  int Unanswered() const { return unanswered_; }
  void Clear();

 private:
  std::deque<TMessageAnswer> script_;
  std::vector<TMessage> messages_;
  TMessageAnswer fallback_ = TMessageAnswer::Ok;
  int beeps_ = 0;
  int unanswered_ = 0;
};
