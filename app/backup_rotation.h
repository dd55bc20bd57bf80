#pragma once

#include <string>

/// The name of backup generation `generation` of a budget: the base name, ".backup" and the
/// number before the extension (/home/u/Home.vrl, 2 → /home/u/Home.backup2.vrl).
std::string BackupName(const std::string& path, unsigned generation);

/// Shifts the backups of `path` by one generation, keeping `level` generations: the oldest goes,
/// each other moves one up, and the file itself becomes generation 1. The file is copied rather
/// than moved, so the budget exists at every moment even if the following save fails; the copy is
/// readable by the user alone. For a symbolic link the backups lie beside the file it names.
/// Single failures are ignored. Level 0 touches nothing.
void RotateBackups(const std::string& path, unsigned level);
