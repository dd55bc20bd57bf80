#include "platform/qt_update_check.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include "app/update_check.h"
#include "core/setting_list.h"

TUpdateServer UpdateServerFromSettings(const TSettingList& settings) {
  const QString text =
      QString::fromStdString(settings.GetText(kUpdateServerSetting, kDefaultUpdateServer, 0))
          .trimmed();
  TUpdateServer server;
  server.host = text.isEmpty() ? QString::fromLatin1(kDefaultUpdateServer) : text;
  const qsizetype colon = server.host.lastIndexOf(QLatin1Char(':'));
  if (colon > 0) {
    bool ok = false;
    const uint port = server.host.mid(colon + 1).toUInt(&ok);
    if (ok && port >= 1 && port <= 65535)
      server.port = static_cast<quint16>(port);
    server.host.truncate(colon);
  }
  return server;
}

std::optional<std::string> FetchUpdateReply(const TUpdateServer& server,
                                            const QSslConfiguration& tls, int timeoutMs) {
  QUrl url;
  url.setScheme(QStringLiteral("https"));
  url.setHost(server.host);
  url.setPort(server.port);
  const QString path = QString::fromLatin1(kUpdateRequestPath);
  const qsizetype question = path.indexOf(QLatin1Char('?'));
  url.setPath(path.left(question));
  url.setQuery(path.mid(question + 1));

  QNetworkRequest request(url);
  request.setHeader(QNetworkRequest::UserAgentHeader, QString::fromLatin1(kUpdateAgent));
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
  request.setSslConfiguration(tls);

  QNetworkAccessManager network;
  QNetworkReply* reply = network.get(request);
  QByteArray received;
  QEventLoop loop;
  auto take = [&] {
    received += reply->read(static_cast<qint64>(kUpdateReplyLimit) - received.size());
    if (received.size() >= static_cast<qsizetype>(kUpdateReplyLimit))
      loop.quit();
  };
  QObject::connect(reply, &QNetworkReply::readyRead, &loop, take);
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  deadline.start(timeoutMs);
  if (!reply->isFinished())
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  if (received.size() < static_cast<qsizetype>(kUpdateReplyLimit))
    take();

  // An error page is no reply; a connection that broke after some bytes arrived still gave
  // those bytes, as one read of whatever has come does.
  const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  const bool statusBad = status.isValid() && (status.toInt() < 200 || status.toInt() >= 300);
  QObject::disconnect(reply, nullptr, &loop, nullptr);
  reply->abort();
  delete reply;
  if (received.isEmpty() || statusBad)
    return std::nullopt;
  return received.toStdString();
}
