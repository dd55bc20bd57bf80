#include "tests/support/recording_user_port.h"

TMessageAnswer TRecordingUserPort::Show(const TMessage& message) {
  messages_.push_back(message);
  if (script_.empty()) {
    ++unanswered_;
    return fallback_;
  }
  TMessageAnswer answer = script_.front();
  script_.pop_front();
  return answer;
}

std::vector<std::string> TRecordingUserPort::Texts() const {
  std::vector<std::string> texts;
  for (const auto& message : messages_) texts.push_back(message.text);
  return texts;
}

void TRecordingUserPort::Clear() {
  script_.clear();
  messages_.clear();
  beeps_ = 0;
  unanswered_ = 0;
}
