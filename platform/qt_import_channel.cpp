#include "platform/qt_import_channel.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <cctype>
#include <memory>

#include "app/file_guard.h"

namespace {

bool EndsWithNoCase(const std::string& text, const char* suffix) {
  const std::string tail(suffix);
  if (text.size() < tail.size())
    return false;
  for (size_t i = 0; i < tail.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[text.size() - tail.size() + i]);
    if (std::tolower(c) != tail[i])
      return false;
  }
  return true;
}

}  // namespace

TImportChannel::TImportChannel(QString serverName, TReceiver receiver, QObject* parent)
    : QObject(parent),
      serverName_(std::move(serverName)),
      receiver_(std::move(receiver)),
      server_(new QLocalServer(this)) {
  // Only this user may hand statements to this user's budget.
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  connect(server_, &QLocalServer::newConnection, this, &TImportChannel::Accept);
}

TImportChannel::~TImportChannel() = default;

bool TImportChannel::Listen() {
  if (server_->isListening())
    return true;
  // Making a socket only readable by its user replaces any file of the same name, so a copy
  // that already answers there must be found first.
  QLocalSocket probe;
  probe.connectToServer(serverName_);
  if (probe.waitForConnected(1000))
    return false;
  if (server_->listen(serverName_))
    return true;
  // A socket file that nobody answers on was left by a copy that died.
  if (server_->serverError() != QAbstractSocket::AddressInUseError)
    return false;
  QLocalServer::removeServer(serverName_);
  return server_->listen(serverName_);
}

bool TImportChannel::IsListening() const {
  return server_->isListening();
}

QString TImportChannel::DefaultServerName() {
  const QString folder = QString::fromStdString(TFileGuard::DefaultLockFolder());
  // The folder is private to the user; made here when the program has not made it yet.
  ::mkdir(QFile::encodeName(folder).constData(), 0700);
  return folder + QStringLiteral("/import-") + QString::number(::getuid());
}

std::string TImportChannel::RequestText(const std::string& file) {
  const bool ofx = EndsWithNoCase(file, ".ofx") || EndsWithNoCase(file, ".qfx");
  const bool csv = EndsWithNoCase(file, ".csv");
  return std::string(csv ? "[OPENCSV(\"" : ofx ? "[OPENOFX(\"" : "[OPENQIF(\"") + file + "\")]";
}

bool TImportChannel::HandOver(const QString& serverName, const std::string& text, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(serverName);
  if (!socket.waitForConnected(timeoutMs))
    return false;
  QByteArray request = QByteArray::fromStdString(text);
  request.append('\n');
  socket.write(request);
  if (!socket.waitForBytesWritten(timeoutMs))
    return false;
  QByteArray reply;
  while (!reply.contains('\n')) {
    if (!socket.waitForReadyRead(timeoutMs))
      return false;
    reply += socket.readAll();
  }
  return reply == kAcknowledgement;
}

void TImportChannel::Accept() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    socket->setParent(this);
    auto buffer = std::make_shared<QByteArray>();
    auto done = std::make_shared<bool>(false);
    auto take = [this, socket, buffer, done] {
      if (*done)
        return;
      *buffer += socket->read(kRequestLimit - buffer->size());
      const qsizetype end = buffer->indexOf('\n');
      const bool complete = end >= 0 || buffer->size() >= kRequestLimit ||
                            socket->state() != QLocalSocket::ConnectedState;
      if (!complete)
        return;
      *done = true;
      if (end >= 0)
        buffer->truncate(end);
      socket->write(kAcknowledgement);
      socket->flush();
      socket->disconnectFromServer();
      // The receiver may open dialogs; the sender has its answer before that.
      const std::string text = buffer->toStdString();
      if (!text.empty())
        receiver_(text);
    };
    connect(socket, &QLocalSocket::readyRead, this, take);
    connect(socket, &QLocalSocket::disconnected, this, [socket, take] {
      take();
      socket->deleteLater();
    });
    if (socket->bytesAvailable() > 0)
      take();
  }
}
