#pragma once

#include <memory>

class QGuiApplication;

/// The Qt Gui application a command needs while it draws pages or charts: text is drawn with
/// Qt's fonts, which need one. Without a display the offscreen platform serves, so that a script
/// never needs one, and the platform's notes stay off the terminal (real failures come back from
/// the writers and are reported on their own). One at a time, for the command's drawing.
class TPaintingApplication {
 public:
  TPaintingApplication();
  ~TPaintingApplication();
  TPaintingApplication(const TPaintingApplication&) = delete;
  TPaintingApplication& operator=(const TPaintingApplication&) = delete;

 private:
  std::unique_ptr<QGuiApplication> application_;
};
