#pragma once

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "core/user_port.h"
#include "ui/qt_user_port.h"

/// Helpers shared by the Qt suites.
namespace ui_test {

/// Runs the event loop until `done` holds, letting it wait between checks as the program's loop
/// does (so that idle work runs). The bound only keeps a broken test from hanging; nothing here
/// measures time. True when `done` held.
inline bool SpinUntil(const std::function<bool()>& done) {
  if (done())
    return true;
  QEventLoop loop;
  QTimer check;
  check.setInterval(1);
  QObject::connect(&check, &QTimer::timeout, &loop, [&] {
    if (done())
      loop.quit();
  });
  QTimer bound;
  bound.setSingleShot(true);
  QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
  check.start();
  bound.start(20000);
  loop.exec();
  return done();
}

/// Acts on the next modal dialog of type `Dialog` as soon as it is up. The action runs inside
/// the dialog's own loop, as a user's clicks would.
template <class Dialog>
void WhenModal(std::function<void(Dialog*)> action) {
  auto* timer = new QTimer;
  timer->setInterval(0);
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible())
      return;
    timer->stop();
    timer->deleteLater();
    action(dialog);
  });
  timer->start();
}

/// Answers the message boxes of a user port from a list and records each message.
class TMessageRecorder {
 public:
  explicit TMessageRecorder(TQtUserPort& user) {
    user.SetMessageHook([this](const TMessage& message) -> std::optional<TMessageAnswer> {
      messages.push_back(message);
      if (answers.empty())
        return fallback;
      TMessageAnswer answer = answers.front();
      answers.erase(answers.begin());
      return answer;
    });
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const TMessage& message : messages)
      texts.push_back(message.text);
    return texts;
  }

  std::vector<TMessage> messages;
  std::vector<TMessageAnswer> answers;
  TMessageAnswer fallback = TMessageAnswer::No;
};

}  // namespace ui_test
