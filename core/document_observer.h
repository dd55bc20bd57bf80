#pragma once

/// What the application shell hears from the open document.
class TDocumentObserver {
 public:
  virtual ~TDocumentObserver() = default;
  /// The document's modified flag was set or cleared.
  virtual void ModifiedChanged(bool modified) = 0;
};
