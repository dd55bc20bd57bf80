// The update request over HTTPS against a loopback server with a certificate made for the test
// and trusted by the test alone: replies newer, equal, older, cut at 1023 bytes, refused,
// failed, and a server whose certificate nobody vouches for.
#include "app/update_check.h"

#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include "core/clock.h"
#include "core/setting_list.h"
#include "platform/qt_update_check.h"
#include "tests/ui/ui_test_support.h"
#include "ui/vorla_app.h"

using namespace ui_test;

namespace {

const char* kCurrentText = "You have version 3.1 Build 1004, which is the most current version.";
const char* kErrorText =
    "Quenbrook encountered an error while trying to check for updates.\n\nBe sure that you are "
    "connected to the Internet and that your firewall is configured to allow Quenbrook to make "
    "the connection.";

std::string NewerText(const char* version) {
  return std::string("New version ") + version +
         " is available.\n\nWould you like to go online now to download the update?";
}

}  // namespace

/// A loopback HTTPS server that answers every request with one prepared reply.
class TUpdateServerStub : public QObject {
  Q_OBJECT

 public:
  bool Start(const QSslCertificate& certificate, const QSslKey& key) {
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(certificate);
    tls.setPrivateKey(key);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    server_.setSslConfiguration(tls);
    connect(&server_, &QSslServer::pendingConnectionAvailable, this, &TUpdateServerStub::Serve);
    return server_.listen(QHostAddress::LocalHost);
  }
  quint16 Port() const { return server_.serverPort(); }

  QByteArray status = "200 OK";
  QByteArray body;
  QByteArray request;

 private:
  void Serve() {
    while (QTcpSocket* connection = server_.nextPendingConnection()) {
      connect(connection, &QTcpSocket::readyRead, this, [this, connection] {
        request += connection->readAll();
        if (!request.contains("\r\n\r\n"))
          return;
        connection->write("HTTP/1.1 " + status + "\r\nContent-Type: text/xml\r\nContent-Length: " +
                          QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        connection->disconnectFromHost();
      });
      connect(connection, &QTcpSocket::disconnected, connection, &QObject::deleteLater);
    }
  }

  QSslServer server_;
};

class UpdateCheckTest : public QObject {
  Q_OBJECT

 private:
  // Runs the program's "Check for Updates" against the stub and gives the messages shown.
  std::vector<TMessage> CheckWith(const QSslConfiguration& tls, const QString& server) {
    TVorlaAppSetup setup;
    setup.configPath = dir_.filePath(QStringLiteral("Vorla.cfg")).toStdString();
    setup.lockFolder = dir_.filePath(QStringLiteral("locks")).toStdString();
    TVorlaApp app(setup, clock_, TCommandLine{});
    app.Config().Named().SetText(kUpdateServerSetting, server.toStdString(), 0);
    app.SetUpdateTls(tls);
    TMessageRecorder messages(app.User());
    messages.fallback = TMessageAnswer::No;
    app.RunCommand(kCmdCheckForUpdates);
    return messages.messages;
  }

  QString StubServer() const { return QStringLiteral("localhost:%1").arg(stub_.Port()); }

  TFixedClock clock_{TDateValue(6, 12, 2026), 1000};
  QTemporaryDir dir_;
  TUpdateServerStub stub_;
  QSslConfiguration trusted_;

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (openssl.isEmpty())
      QFAIL("the openssl command is needed to make the test certificate");
    QProcess make;
    make.start(openssl, {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                         QStringLiteral("rsa:2048"), QStringLiteral("-nodes"),
                         QStringLiteral("-keyout"), dir_.filePath(QStringLiteral("key.pem")),
                         QStringLiteral("-out"), dir_.filePath(QStringLiteral("cert.pem")),
                         QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                         QStringLiteral("/CN=localhost"), QStringLiteral("-addext"),
                         QStringLiteral("subjectAltName=DNS:localhost,IP:127.0.0.1")});
    QVERIFY(make.waitForFinished(60000));
    QCOMPARE(make.exitCode(), 0);
    QFile certificateFile(dir_.filePath(QStringLiteral("cert.pem")));
    QFile keyFile(dir_.filePath(QStringLiteral("key.pem")));
    QVERIFY(certificateFile.open(QIODevice::ReadOnly) && keyFile.open(QIODevice::ReadOnly));
    const QSslCertificate certificate(&certificateFile, QSsl::Pem);
    const QSslKey key(&keyFile, QSsl::Rsa, QSsl::Pem);
    QVERIFY(!certificate.isNull() && !key.isNull());
    QVERIFY(stub_.Start(certificate, key));
    // Only this certificate is trusted, and only by the requests of this test.
    trusted_ = QSslConfiguration::defaultConfiguration();
    trusted_.setCaCertificates({certificate});
  }

  void init() {
    stub_.status = "200 OK";
    stub_.request.clear();
  }

  void replyDecidesTheMessage_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("question");
    QTest::newRow("newer build")
        << QByteArray(
               "<major>3</major><minor>1</minor><build>1005</build>"
               "<dlink>https://www.quenbrook.org/download</dlink><cstmr>7</cstmr>")
        << QString::fromStdString(NewerText("3.1 Build 1005")) << true;
    QTest::newRow("newer major") << QByteArray(
                                        "<major>4</major><minor>0</minor><build>1</build><dlink/>")
                                 << QString::fromStdString(NewerText("4.0 Build 1")) << true;
    QTest::newRow("equal") << QByteArray("<major>3</major><minor>1</minor><build>1004</build>")
                           << QString::fromLatin1(kCurrentText) << false;
    QTest::newRow("older") << QByteArray("<major>2</major><minor>9</minor><build>5000</build>")
                           << QString::fromLatin1(kCurrentText) << false;
    // The fields begin within the first 1023 bytes but end after them, so they are missing.
    QTest::newRow("cut at 1023 bytes")
        << QByteArray(1010, ' ') + QByteArray("<major>9</major><minor>9</minor>")
        << QString::fromLatin1(kCurrentText) << false;
    QTest::newRow("long reply, fields first")
        << QByteArray("<major>3</major><minor>2</minor><build>1</build>") + QByteArray(3000, ' ')
        << QString::fromStdString(NewerText("3.2 Build 1")) << true;
  }

  void replyDecidesTheMessage() {
    QFETCH(QByteArray, body);
    QFETCH(QString, expected);
    QFETCH(bool, question);
    stub_.body = body;
    const std::vector<TMessage> shown = CheckWith(trusted_, StubServer());
    QCOMPARE(shown.size(), size_t{1});
    QCOMPARE(QString::fromStdString(shown[0].text), expected);
    QCOMPARE(shown[0].caption, std::string("Check for Updates"));
    QVERIFY(shown[0].buttons == (question ? TMessageButtons::YesNo : TMessageButtons::Ok));
    QVERIFY(shown[0].icon == (question ? TMessageIcon::Question : TMessageIcon::Information));
  }

  void requestCarriesThePathAndTheAgent() {
    stub_.body = "<major>3</major>";
    CheckWith(trusted_, StubServer());
    QVERIFY(stub_.request.startsWith("GET /secure/updates.aspx?lnk=32&product=vorla HTTP/1.1"));
    QVERIFY(stub_.request.contains("\r\nUser-Agent: VorlaUpdate\r\n"));
  }

  void atMost1023BytesAreRead() {
    stub_.body = QByteArray(5000, 'x');
    TUpdateServer server{QStringLiteral("localhost"), stub_.Port()};
    std::optional<std::string> reply = FetchUpdateReply(server, trusted_, kUpdateTimeoutMs);
    QVERIFY(reply.has_value());
    QCOMPARE(reply->size(), size_t{1023});
  }

  void refusedConnectionIsAnError() {
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    const std::vector<TMessage> shown =
        CheckWith(trusted_, QStringLiteral("localhost:%1").arg(port));
    QCOMPARE(shown.size(), size_t{1});
    QCOMPARE(shown[0].text, std::string(kErrorText));
    QVERIFY(shown[0].icon == TMessageIcon::Error);
  }

  void serverErrorIsAnError() {
    stub_.status = "500 Internal Server Error";
    stub_.body = "<major>9</major><minor>9</minor><build>9</build>";
    const std::vector<TMessage> shown = CheckWith(trusted_, StubServer());
    QCOMPARE(shown.size(), size_t{1});
    QCOMPARE(shown[0].text, std::string(kErrorText));
  }

  void untrustedCertificateIsAnError() {
    stub_.body = "<major>9</major><minor>9</minor><build>9</build>";
    const std::vector<TMessage> shown =
        CheckWith(QSslConfiguration::defaultConfiguration(), StubServer());
    QCOMPARE(shown.size(), size_t{1});
    QCOMPARE(shown[0].text, std::string(kErrorText));
  }

  void serverComesFromTheSetting() {
    TSettingList settings;
    TUpdateServer fallback = UpdateServerFromSettings(settings);
    QCOMPARE(fallback.host, QString::fromLatin1(kDefaultUpdateServer));
    QCOMPARE(fallback.port, quint16{443});
    settings.SetText(kUpdateServerSetting, "updates.example.net:8443", 0);
    TUpdateServer named = UpdateServerFromSettings(settings);
    QCOMPARE(named.host, QStringLiteral("updates.example.net"));
    QCOMPARE(named.port, quint16{8443});
  }
};

QTEST_MAIN(UpdateCheckTest)
#include "update_check_test.moc"
