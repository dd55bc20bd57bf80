#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QEvent;
class TUndoHistory;

/// Makes every user gesture one step of the open budget's undo history. The first key press,
/// click or drop that reaches the program opens a step; the step closes when the event loop next
/// waits with no dialog or menu up, so that whatever the gesture set off (a dialog's changes,
/// work queued for later) belongs to it. Nothing the user does can change the budget outside a
/// step, where an undo would take it back unasked. The step is named after the window the
/// gesture went to ("Typing in Checking") until a command names it after itself.
class TUndoSteps final : public QObject {
 public:
  TUndoSteps(std::function<TUndoHistory*()> history, QObject* parent);
  ~TUndoSteps() override;

  /// Closes the gesture's step: when the loop waits, and before an undo or redo runs.
  void Close();
  /// Runs `action` inside the gesture's step and names it `name` (the first name given wins);
  /// with no gesture under way (a command the program or a test triggers) the action gets a
  /// step of its own.
  void Run(const QString& name, const std::function<void()>& action);
  /// The same for windows that do not know the application (the list windows).
  static void RunCurrent(const QString& name, const std::function<void()>& action);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<TUndoHistory*()> history_;
  // The history the gesture's step was opened on; a budget opened meanwhile has a new one.
  TUndoHistory* open_ = nullptr;
};

/// A command's text as a step's name: "&Delete Envelope Item\tCtrl+Del" gives "Delete Envelope
/// Item".
QString StepNameOf(const QString& commandText);
