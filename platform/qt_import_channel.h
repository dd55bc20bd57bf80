#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>

class QLocalServer;

/// The channel through which other programs (a browser, a file manager, a second start of
/// `quenbrook --import`) hand a bank statement to the running copy. It is a local socket that
/// only its own user can reach; each connection carries one request text of the form
/// `[OPENOFX("/path/file.ofx")]`, which the receiver classifies like any other import request.
/// The channel acknowledges every request at once, whatever becomes of it.
class TImportChannel : public QObject {
  Q_OBJECT

 public:
  /// Called with the raw bytes of each request text.
  using TReceiver = std::function<void(const std::string&)>;

  /// The most of one request that is read; the classification looks at far less.
  static constexpr qsizetype kRequestLimit = 4096;
  /// The reply that tells the sender its request arrived.
  static constexpr const char* kAcknowledgement = "ACK\n";

  TImportChannel(QString serverName, TReceiver receiver, QObject* parent = nullptr);
  ~TImportChannel() override;

  /// Starts listening. False when another running copy already listens on the name (or the
  /// socket cannot be made); a socket left behind by a copy that died is replaced.
  bool Listen();
  bool IsListening() const;
  const QString& ServerName() const { return serverName_; }

  /// The name of this user's channel: a socket in the user's private runtime folder, named
  /// after the user id.
  static QString DefaultServerName();
  /// The request text that asks for `file` to be imported: OFX for ".ofx" and ".qfx" files
  /// (in any letter case), QIF for everything else.
  static std::string RequestText(const std::string& file);
  /// Sends one request to the copy listening on `serverName` and waits (at most `timeoutMs`
  /// for each step) for its acknowledgement. True when the running copy took it.
  static bool HandOver(const QString& serverName, const std::string& text, int timeoutMs);

 private:
  void Accept();

  QString serverName_;
  TReceiver receiver_;
  QLocalServer* server_;
};
