#include "core/idler.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

class TLoggingIdler : public TIdler {
 public:
  TLoggingIdler(std::vector<std::string>& log, std::string name)
      : log_(log), name_(std::move(name)) {}
  bool Idle() override {
    log_.push_back(name_);
    if (action)
      action();
    return speaks;
  }
  std::function<void()> action;
  bool speaks = false;

 private:
  std::vector<std::string>& log_;
  std::string name_;
};

TEST(IdlerTest, IdlersRunInTheOrderTheyWereMade) {
  std::vector<std::string> log;
  TLoggingIdler first(log, "first");
  TLoggingIdler second(log, "second");
  TLoggingIdler third(log, "third");
  TIdler::RunIdlers();
  EXPECT_EQ(log, (std::vector<std::string>{"first", "second", "third"}));
}

TEST(IdlerTest, OneMomentShowsAtMostOneMessage) {
  std::vector<std::string> log;
  TLoggingIdler first(log, "first");
  TLoggingIdler second(log, "second");
  TLoggingIdler third(log, "third");
  first.speaks = second.speaks = true;
  TIdler::RunIdlers();
  first.speaks = false;
  TIdler::RunIdlers();
  EXPECT_EQ(log, (std::vector<std::string>{"first", "first", "second"}));
}

TEST(IdlerTest, ADestroyedIdlerLeavesNoSlotBehind) {
  // A process that never runs the idlers (the tool reading budgets) must not collect the slots
  // of every envelope it ever made.
  std::vector<std::string> log;
  const size_t living = TIdler::IdlerCount();
  TLoggingIdler first(log, "first");
  for (int i = 0; i < 1000; ++i)
    TLoggingIdler passing(log, "passing");
  auto middle = std::make_unique<TLoggingIdler>(log, "middle");
  TLoggingIdler last(log, "last");
  middle.reset();
  EXPECT_EQ(TIdler::SlotCount(), TIdler::IdlerCount());
  EXPECT_EQ(TIdler::IdlerCount(), living + 2);
  TIdler::RunIdlers();
  EXPECT_EQ(log, (std::vector<std::string>{"first", "last"}));
}

TEST(IdlerTest, IdlersMayComeAndGoWhileTheyRun) {
  std::vector<std::string> log;
  TLoggingIdler first(log, "first");
  auto victim = std::make_unique<TLoggingIdler>(log, "victim");
  std::unique_ptr<TLoggingIdler> newcomer;
  first.action = [&] {
    victim.reset();
    if (!newcomer)
      newcomer = std::make_unique<TLoggingIdler>(log, "newcomer");
    TIdler::RunIdlers();  // a nested idle step does nothing
  };
  TIdler::RunIdlers();
  EXPECT_EQ(log, (std::vector<std::string>{"first", "newcomer"}));
}

}  // namespace
