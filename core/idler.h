#pragma once

#include <cstddef>

/// An object that acts at the application's idle moments. Every idler enters one process-wide
/// list when it is constructed and leaves an empty slot there when it is destroyed; the idle
/// step calls the idlers in list order. All of it runs on the one user-interface thread.
class TIdler {
 public:
  TIdler();
  virtual ~TIdler();
  TIdler(const TIdler&) = delete;
  TIdler& operator=(const TIdler&) = delete;

  /// The work done at each idle moment; true when it told the user something.
  virtual bool Idle() = 0;

  /// Calls the idle operation of every idler in list order, up to the first one that told the
  /// user something: the others wait for the next idle moment, so that one moment shows at most
  /// one message. Idlers made or destroyed meanwhile are taken into account; a call made from
  /// inside an idle operation does nothing.
  static void RunIdlers();
  /// The number of slots in the list, empty ones included.
  static size_t SlotCount();
  /// The number of living idlers.
  static size_t IdlerCount();
};
