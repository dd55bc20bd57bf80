// The program and a budget that another program or computer changed on disk: the question
// before a save with its three answers, clicked in the real message box, and the watcher's
// notice in the status bar, which our own saves never raise.
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "tests/support/second_writer.h"
#include "tests/ui/home_budget.h"
#include "ui/commands.h"
#include "ui/qt_shell_port.h"

using namespace ui_test;

namespace {

const char* kNotice = "The budget was changed by another program or computer.";

// Clicks the button of that text in the message box that shows it, as the user would.
void ClickInMessageBox(const QString& text) {
  auto* timer = new QTimer;
  timer->setInterval(0);
  QObject::connect(timer, &QTimer::timeout, [timer, text] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible())
      return;
    for (QAbstractButton* button : box->buttons()) {
      if (button->text() == text) {
        timer->stop();
        timer->deleteLater();
        QTest::mouseClick(button, Qt::LeftButton);
        return;
      }
    }
  });
  timer->start();
}

}  // namespace

class ChangedBudgetTest : public QObject {
  Q_OBJECT

 private:
  std::filesystem::path Budget() const {
    return dir_.filePath(QStringLiteral("Home.vrl")).toStdString();
  }
  void Start() {
    QCOMPARE(WriteHomeBudget(dir_, clock_, {}), std::string());
    app_ = StartOnHomeBudget(dir_, clock_);
    QVERIFY(app_ != nullptr);
    // The real message boxes show; the recorder only keeps what they said.
    app_->User().SetMessageHook([this](const TMessage& message) -> std::optional<TMessageAnswer> {
      shown_.push_back(message);
      return std::nullopt;
    });
  }
  QString Notice() const { return app_->Frame().FileNoticeText(); }

  QTemporaryDir dir_;
  TFixedClock clock_{TDateValue(7, 12, 2026), 1000};
  std::unique_ptr<TVorlaApp> app_;
  std::vector<TMessage> shown_;

 private slots:
  void cleanup() {
    app_.reset();
    shown_.clear();
    std::filesystem::remove_all(Budget());
    std::filesystem::remove(dir_.filePath(QStringLiteral("Copy.vrl")).toStdString());
  }

  void theQuestionsAnswers_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("ours");
    QTest::addColumn<bool>("copy");
    QTest::newRow("save a copy") << QStringList{"Save a Copy..."} << false << true;
    QTest::newRow("overwrite") << QStringList{"Overwrite", "&Yes"} << true << false;
    QTest::newRow("overwrite, not confirmed") << QStringList{"Overwrite", "&No"} << false << false;
    QTest::newRow("cancel") << QStringList{"Cancel"} << false << false;
  }
  void theQuestionsAnswers() {
    QFETCH(QStringList, clicks);
    QFETCH(bool, ours);
    QFETCH(bool, copy);
    Start();
    const std::string copyPath = dir_.filePath(QStringLiteral("Copy.vrl")).toStdString();
    app_->ShellPort().SetSaveChooser(
        [&](const std::string&, const std::string&) { return std::optional(copyPath); });
    app_->Shell().Document()->Settings().SetText("Mine", "yes", 0);
    app_->Shell().Document()->SetModified();
    const std::string others = ActAsSecondWriter(TSecondWriter::kReplacedByRename, Budget());
    for (const QString& click : clicks)
      ClickInMessageBox(click);
    app_->RunCommand(kCmdSave);
    QVERIFY(!shown_.empty());
    QCOMPARE(shown_.front().text, "The budget \"" + Budget().string() +
                                      "\" was changed by another program or computer since you "
                                      "opened it.");
    QCOMPARE(ReadFileBytes(Budget()) != others, ours);
    QCOMPARE(std::filesystem::exists(copyPath), copy);
    QCOMPARE(app_->Shell().Document()->IsModified(), !ours && !copy);
  }

  void theWatcherTellsOfAChangeButNotOfOurSave() {
    Start();
    app_->Shell().Document()->SetModified();
    app_->RunCommand(kCmdSave);
    QTest::qWait(300);
    QCOMPARE(Notice(), QString());
    QVERIFY(shown_.empty());

    ClickInMessageBox(QStringLiteral("Keep Open"));
    ActAsSecondWriter(TSecondWriter::kReplacedByRename, Budget());
    QVERIFY(SpinUntil([&] { return Notice() == QLatin1String(kNotice); }));
    QVERIFY(SpinUntil([&] { return !shown_.empty(); }));
    QCOMPARE(shown_.front().buttonTexts, (std::vector<std::string>{"Reopen", "Keep Open"}));
    // Watching goes on after the rename: a second change is noticed, told once only.
    ActAsSecondWriter(TSecondWriter::kRewrittenInPlace, Budget());
    QTest::qWait(300);
    QCOMPARE(shown_.size(), size_t{1});
    QCOMPARE(Notice(), QLatin1String(kNotice));
  }
};

QTEST_MAIN(ChangedBudgetTest)
#include "changed_budget_test.moc"
