#pragma once

#include <string>

/// The main window's title: "Home.vrl - Quenbrook 3.1 " with a file open (name and extension
/// only), "Quenbrook 3.1 " without one.
std::string WindowTitle(const std::string& fileName);

/// The program's version, as the about box and the update check tell it.
struct TProgramVersion {
  static constexpr int kMajor = 3;
  static constexpr int kMinor = 1;
  static constexpr int kBuild = 1004;
};
