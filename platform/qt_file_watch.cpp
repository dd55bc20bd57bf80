#include "platform/qt_file_watch.h"

#include <QFileInfo>

TFileWatch::TFileWatch(std::function<void()> changed, QObject* parent)
    : QObject(parent), changed_(std::move(changed)) {
  connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &TFileWatch::Changed);
  connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &TFileWatch::Changed);
}

void TFileWatch::Watch(const QString& path) {
  if (!watcher_.files().isEmpty())
    watcher_.removePaths(watcher_.files());
  if (!watcher_.directories().isEmpty())
    watcher_.removePaths(watcher_.directories());
  path_ = path;
  if (path_.isEmpty())
    return;
  watcher_.addPath(QFileInfo(path_).absolutePath());
  watcher_.addPath(path_);
}

void TFileWatch::Changed() {
  // Re-armed on every report: after a rename the watch would otherwise stay on the old file.
  if (!path_.isEmpty() && !watcher_.files().contains(path_) && QFileInfo::exists(path_))
    watcher_.addPath(path_);
  changed_();
}
