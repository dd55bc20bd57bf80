#include "ui/undo_steps.h"

#include <QApplication>
#include <QEvent>
#include <QMdiSubWindow>
#include <QSinglePointEvent>
#include <QWidget>

#include "transactions/undo_history.h"

namespace {

TUndoSteps* current = nullptr;

bool IsGesture(QEvent::Type type) {
  switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::Drop:
    case QEvent::Wheel:
      return true;
    default:
      return false;
  }
}

// "Account: Checking" names the ledger's subject "Checking".
QString SubjectOf(QWidget* widget) {
  for (; widget != nullptr; widget = widget->parentWidget()) {
    if (auto* child = qobject_cast<QMdiSubWindow*>(widget)) {
      QString title = child->windowTitle();
      for (const char* prefix : {"Account: ", "Envelope: "}) {
        if (title.startsWith(QLatin1String(prefix)))
          title.remove(0, static_cast<int>(qstrlen(prefix)));
      }
      return title;
    }
  }
  return {};
}

// Input reaches the window's stand-in for the system first, before the widget it is meant for.
QWidget* TargetOf(QObject* watched, QEvent* event) {
  if (auto* widget = qobject_cast<QWidget*>(watched))
    return widget;
  if (event->type() == QEvent::KeyPress)
    return QApplication::focusWidget();
  if (auto* pointer = dynamic_cast<QSinglePointEvent*>(event))
    return QApplication::widgetAt(pointer->globalPosition().toPoint());
  return nullptr;
}

}  // namespace

TUndoSteps::TUndoSteps(std::function<TUndoHistory*()> history, QObject* parent)
    : QObject(parent), history_(std::move(history)) {
  current = this;
}

TUndoSteps::~TUndoSteps() {
  Close();
  if (current == this)
    current = nullptr;
}

bool TUndoSteps::eventFilter(QObject* watched, QEvent* event) {
  if (open_ == nullptr && IsGesture(event->type())) {
    if (TUndoHistory* history = history_(); history != nullptr && !history->InStep()) {
      const QString subject = SubjectOf(TargetOf(watched, event));
      const QString what =
          event->type() == QEvent::KeyPress ? QStringLiteral("Typing") : QStringLiteral("Change");
      history->BeginGesture(
          (subject.isEmpty() ? what : what + QStringLiteral(" in ") + subject).toStdString());
      open_ = history;
    }
  }
  return QObject::eventFilter(watched, event);
}

void TUndoSteps::Close() {
  TUndoHistory* history = std::exchange(open_, nullptr);
  // A budget opened or closed during the gesture took its history, and the open step, along.
  if (history != nullptr && history == history_() && history->Depth() == 1)
    history->EndStep();
}

void TUndoSteps::Run(const QString& name, const std::function<void()>& action) {
  TUndoHistory* history = history_();
  const bool own = history != nullptr && !history->InStep();
  if (own) {
    history->BeginGesture(name.toStdString());
  } else if (history != nullptr) {
    history->NameStep(name.toStdString());
  }
  action();
  // A budget opened or closed by the action took its history, and the step, along.
  if (own && history == history_() && history->Depth() == 1)
    history->EndStep();
}

void TUndoSteps::RunCurrent(const QString& name, const std::function<void()>& action) {
  if (current != nullptr) {
    current->Run(name, action);
  } else {
    action();
  }
}

QString StepNameOf(const QString& commandText) {
  QString name = commandText.section(QLatin1Char('\t'), 0, 0);
  name.remove(QLatin1Char('&'));
  if (name.endsWith(QLatin1String("...")))
    name.chop(3);
  return name.trimmed();
}
