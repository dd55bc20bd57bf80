#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <functional>

/// Watches one file for changes by others and reports each one. A file replaced by rename (as
/// saves and sync services replace it) or removed falls out of the system's watch; its folder
/// is watched too, so that the file is taken up again when a file of that name is back.
class TFileWatch : public QObject {
  Q_OBJECT

 public:
  explicit TFileWatch(std::function<void()> changed, QObject* parent = nullptr);

  /// Watches the file at `path` (a file name as the system spells it); empty stops watching.
  void Watch(const QString& path);
  const QString& Path() const { return path_; }

 private:
  void Changed();

  QFileSystemWatcher watcher_;
  std::function<void()> changed_;
  QString path_;
};
