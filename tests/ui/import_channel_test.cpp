// The import channel that stands in for the program's old import service: requests over the
// real local socket, the hand-over of a second start, and a socket left behind by a dead copy.
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QAction>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <cstring>
#include <fstream>
#include <thread>

#include "app/vorla_shell.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "core/model_environment.h"
#include "core/vorla_data.h"
#include "platform/qt_import_channel.h"
#include "presentation/xview_model.h"
#include "tests/ui/ui_test_support.h"
#include "transactions/account_wizard.h"
#include "transactions/xitem.h"
#include "transactions/xmanager.h"
#include "ui/commands.h"
#include "ui/envelope_chooser_dialog.h"
#include "ui/import_options_dialog.h"
#include "ui/main_frame.h"
#include "ui/vorla_app.h"
#include "ui/vorla_client.h"

using namespace ui_test;

class ImportChannelTest : public QObject {
  Q_OBJECT

 private:
  QString SocketName() const { return dir_.filePath(QStringLiteral("import.sock")); }
  std::string MakeFile(const char* name) const {
    const std::string path = dir_.filePath(QString::fromLatin1(name)).toStdString();
    std::ofstream(path) << "!Type:Bank\n";
    return path;
  }
  // Sends one request the way another program does, without blocking this thread's loop.
  bool Send(const std::string& text) {
    std::atomic<bool> finished = false;
    bool taken = false;
    std::thread sender([&] {
      taken = TImportChannel::HandOver(SocketName(), text, 5000);
      finished = true;
    });
    SpinUntil([&] { return finished.load(); });
    sender.join();
    return taken;
  }

  // Runs `quenbrook --import FILE` in `folder` as the browser would, with the runtime folder
  // that holds the running copy's channel; true when it handed the file over and ended.
  bool StartSecondCopy(const QString& runtime, const QString& file) {
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("HOME"), dir_.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(environment);
    second.setWorkingDirectory(dir_.path());
    second.start(QStringLiteral(QUENBROOK_PATH), {QStringLiteral("--import"), file});
    return SpinUntil([&] { return second.state() == QProcess::NotRunning; }) &&
           second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0;
  }

  QTemporaryDir dir_;

 private slots:
  void requestTextsFollowTheExtension() {
    QCOMPARE(TImportChannel::RequestText("/a/b.ofx"), std::string("[OPENOFX(\"/a/b.ofx\")]"));
    QCOMPARE(TImportChannel::RequestText("/a/B.QFX"), std::string("[OPENOFX(\"/a/B.QFX\")]"));
    QCOMPARE(TImportChannel::RequestText("/a/b.qif"), std::string("[OPENQIF(\"/a/b.qif\")]"));
    QCOMPARE(TImportChannel::RequestText("/a/b.Csv"), std::string("[OPENCSV(\"/a/b.Csv\")]"));
  }

  void requestsReachTheShellAsPendingImports() {
    TFixedClock clock(TDateValue(6, 12, 2026), 1000);
    TVorlaAppSetup setup;
    setup.configPath = dir_.filePath(QStringLiteral("Vorla.cfg")).toStdString();
    setup.lockFolder = dir_.filePath(QStringLiteral("locks")).toStdString();
    setup.importServerName = SocketName();
    TVorlaApp app(setup, clock, TCommandLine{});
    QVERIFY(app.ImportChannel() != nullptr);
    QVERIFY(app.ImportChannel()->IsListening());

    const std::string ofx = MakeFile("statement.ofx");
    QVERIFY(Send("[OPENOFX(\"" + ofx + "\")]"));
    QVERIFY(SpinUntil([&] { return !app.Shell().PendingOfxImport().empty(); }));
    QCOMPARE(app.Shell().PendingOfxImport(), ofx);

    const std::string qif = MakeFile("statement.qif");
    QVERIFY(Send("[OPENQIF(\"" + qif + "\")]"));
    QVERIFY(SpinUntil([&] { return !app.Shell().PendingQifImport().empty(); }));
    QCOMPARE(app.Shell().PendingQifImport(), qif);

    const std::string csv = MakeFile("statement.csv");
    QVERIFY(Send(TImportChannel::RequestText(csv)));
    QVERIFY(SpinUntil([&] { return !app.Shell().PendingCsvImport().empty(); }));
    QCOMPARE(app.Shell().PendingCsvImport(), csv);

    // A request is acknowledged whatever it names; one without "OFX" or "QIF", or naming no
    // file, changes nothing.
    const std::string lower = MakeFile("other.qfx");
    QVERIFY(Send("[open(\"" + lower + "\")]"));
    QVERIFY(
        Send("[OPENOFX(\"" + dir_.filePath(QStringLiteral("missing.ofx")).toStdString() + "\")]"));
    QVERIFY(Send("[OPENQIF(\"" + qif + "\")]"));
    QCOMPARE(app.Shell().PendingOfxImport(), ofx);
  }

  void secondChannelOnTheSameNameIsRefused() {
    TImportChannel first(SocketName(), [](const std::string&) {});
    QVERIFY(first.Listen());
    TImportChannel second(SocketName(), [](const std::string&) {});
    QVERIFY(!second.Listen());
    QVERIFY(first.IsListening());
  }

  void socketLeftByADeadCopyIsReplaced() {
    // A bound socket file that nobody listens on any more, as a killed copy leaves it.
    const QByteArray path = QFile::encodeName(SocketName());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    QVERIFY(fd >= 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    QVERIFY(QFile::exists(SocketName()));

    std::string received;
    TImportChannel channel(SocketName(), [&](const std::string& text) { received = text; });
    QVERIFY(channel.Listen());
    QVERIFY(Send("[OPENQIF(\"/x.qif\")]"));
    QCOMPARE(received, std::string("[OPENQIF(\"/x.qif\")]"));
  }

  void channelIsForItsUserAlone() {
    TImportChannel channel(SocketName(), [](const std::string&) {});
    QVERIFY(channel.Listen());
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    QCOMPARE(QFile::permissions(SocketName()) & others, QFileDevice::Permissions());
  }

  void secondStartHandsTheStatementOver() {
    // The program finds the channel in the user's runtime folder, as this test does.
    const QString runtime = dir_.filePath(QStringLiteral("runtime"));
    QVERIFY(QDir().mkpath(runtime));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    std::string received;
    TImportChannel channel(TImportChannel::DefaultServerName(),
                           [&](const std::string& text) { received = text; });
    QVERIFY(channel.Listen());
    MakeFile("June.QFX");

    QVERIFY(StartSecondCopy(runtime, QStringLiteral("June.QFX")));
    const std::string full =
        QFile::encodeName(QFileInfo(dir_.filePath(QStringLiteral("June.QFX"))).absoluteFilePath())
            .toStdString();
    QCOMPARE(received, "[OPENOFX(\"" + full + "\")]");
  }

  void handedOverStatementIsImportedIntoTheChosenAccount() {
    const QString runtime = dir_.filePath(QStringLiteral("runtime2"));
    QVERIFY(QDir().mkpath(runtime));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    TFixedClock clock(TDateValue(6, 12, 2026), 1000);
    const std::string budget = dir_.filePath(QStringLiteral("Home.vrl")).toStdString();
    uint32_t checking = 0;
    {
      TQtUserPort user(clock);
      TVorlaData document(TModelEnvironment{user, clock});
      document.AddStarterEnvelope();
      TAccountWizard wizard(TransactionsOf(document));
      wizard.AddAccount({"Savings", "", 2, 0, TDateValue(1, 1, 2026)});
      checking = wizard.AddAccount({"Checking", "", 1, 0, TDateValue(1, 1, 2026)})->Id();
      const TResult<void> written = WriteDocumentFile(budget, document);
      QVERIFY2(written, written ? "" : written.Error().c_str());
    }
    std::ofstream(dir_.filePath(QStringLiteral("Dec.qif")).toStdString())
        << "!Type:Bank\nD12/01/2026\nT-12.34\nPCorner Shop\n^\nD12/02/2026\nT500\nPPay\n^\n";

    TVorlaAppSetup setup;
    setup.configPath = dir_.filePath(QStringLiteral("Vorla2.cfg")).toStdString();
    setup.lockFolder = dir_.filePath(QStringLiteral("locks")).toStdString();
    setup.importServerName = TImportChannel::DefaultServerName();
    TCommandLine commandLine;
    commandLine.file = budget;
    TVorlaApp app(setup, clock, commandLine);
    app.Show();
    QVERIFY(SpinUntil([&] { return app.Shell().Document() != nullptr; }));

    // The menu command asks for the file first.
    QString fileTitle;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
      fileTitle = dialog->windowTitle();
      dialog->reject();
    });
    app.Frame().Action(kCmdImportQif)->trigger();
    QCOMPARE(fileTitle, QStringLiteral("Open QIF File"));

    QString accountTitle;
    bool optionsShown = false;
    WhenModal<TEnvelopeChooserDialog>([&](TEnvelopeChooserDialog* chooser) {
      accountTitle = chooser->windowTitle();
      auto* list = chooser->findChild<QListWidget*>();
      const QList<QListWidgetItem*> found =
          list->findItems(QStringLiteral("Checking"), Qt::MatchExactly);
      if (!found.isEmpty())
        list->setCurrentItem(found.first());
      WhenModal<TImportXDlg>([&](TImportXDlg* options) {
        optionsShown = options->findChild<QLineEdit*>(QStringLiteral("account"))->text() ==
                       QStringLiteral("Checking");
        options->findChild<QPushButton*>(QStringLiteral("import"))->click();
      });
      chooser->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    QVERIFY(StartSecondCopy(runtime, QStringLiteral("Dec.qif")));

    TXView* view = nullptr;
    QVERIFY(SpinUntil([&] {
      const QList<TXView*> views = app.Client().Views();
      view = views.isEmpty() ? nullptr : views.first();
      return view != nullptr;
    }));
    QCOMPARE(accountTitle, QStringLiteral("Select Import Account"));
    QVERIFY(optionsShown);
    QCOMPARE(view->Model()->SubjectId(), checking);
    QCOMPARE(view->Model()->Rows().LiveCount(), 2);
    std::vector<std::string> payees;
    for (int row = 1; row <= 2; ++row)
      payees.push_back(view->Model()->Rows().TransactionAt(row)->Record().PayableTo);
    QCOMPARE(payees, (std::vector<std::string>{"Corner Shop", "Pay"}));
    QCOMPARE(app.Shell().PendingQifImport(), std::string());
  }
};

QTEST_MAIN(ImportChannelTest)
#include "import_channel_test.moc"
