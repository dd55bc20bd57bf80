// Every dialog of the program as a keyboard user meets it: each underlined letter is unique in
// its dialog and leads somewhere, and Tab walks the fields from top to bottom, then the buttons.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <map>
#include <memory>

#include "core/account_list.h"
#include "core/account_transfer_values.h"
#include "core/envelope_list.h"
#include "core/filter_criteria.h"
#include "tests/ui/home_budget.h"
#include "ui/commands.h"
#include "ui/qt_shell_port.h"
#include "ui/tab_order.h"
#include "ui/template_editor_dialog.h"
#include "ui/template_list_dialog.h"
#include "ui/vorla_app.h"

using namespace ui_test;

namespace {

// The letter a text underlines ("&Name" gives 'n'); 0 when it has none.
QChar Mnemonic(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != QLatin1Char('&'))
      continue;
    if (text[i + 1] == QLatin1Char('&')) {
      ++i;
      continue;
    }
    return text[i + 1].toLower();
  }
  return QChar();
}

bool IsButton(const QWidget* widget) {
  return qobject_cast<const QPushButton*>(widget) != nullptr;
}

// What is wrong with a dialog's keys, one line each; empty when nothing is.
QStringList KeyProblems(QDialog* dialog) {
  QStringList problems;
  const QString name = dialog->windowTitle();
  std::map<QChar, QString> taken;
  auto take = [&](const QString& text, const QWidget* widget) {
    const QChar letter = Mnemonic(text);
    if (letter.isNull() || !widget->isVisibleTo(dialog))
      return;
    if (auto [at, fresh] = taken.emplace(letter, text); !fresh)
      problems << QStringLiteral("%1: Alt+%2 both \"%3\" and \"%4\"")
                      .arg(name, letter, at->second, text);
  };
  for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
    take(button->text(), button);
  for (QGroupBox* group : dialog->findChildren<QGroupBox*>())
    take(group->title(), group);
  for (QLabel* label : dialog->findChildren<QLabel*>()) {
    take(label->text(), label);
    if (!Mnemonic(label->text()).isNull() && label->buddy() == nullptr)
      problems << QStringLiteral("%1: \"%2\" leads nowhere").arg(name, label->text());
  }

  // A label's letter puts the cursor into its field; a check box's letter switches it.
  auto press = [dialog](QChar letter) {
    QTest::keyClick(dialog->focusWidget() != nullptr ? dialog->focusWidget() : dialog,
                    letter.toLatin1(), Qt::AltModifier);
  };
  for (QLabel* label : dialog->findChildren<QLabel*>()) {
    const QChar letter = Mnemonic(label->text());
    QWidget* buddy = label->buddy();
    if (letter.isNull() || buddy == nullptr || !label->isVisibleTo(dialog) || !buddy->isEnabled())
      continue;
    dialog->setFocus();
    press(letter);
    QWidget* focused = QApplication::focusWidget();
    if (focused != buddy && !buddy->isAncestorOf(focused))
      problems << QStringLiteral("%1: Alt+%2 does not reach the field of \"%3\"")
                      .arg(name, letter, label->text());
  }
  for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
    const QChar letter = Mnemonic(box->text());
    if (letter.isNull() || !box->isVisibleTo(dialog) || !box->isEnabled())
      continue;
    const bool was = box->isChecked();
    press(letter);
    // A button's letter clicks it the way a mouse would, after a moment.
    if (!QTest::qWaitFor([&] { return box->isChecked() != was; }, 1000))
      problems
          << QStringLiteral("%1: Alt+%2 does not switch \"%3\"").arg(name, letter, box->text());
    box->setChecked(was);
  }

  // The Tab order: fields by their place, top to bottom and left to right within a row, then
  // the buttons.
  QWidget* first = dialog->nextInFocusChain();
  std::vector<QWidget*> order;
  for (QWidget* widget = first; widget != nullptr;) {
    if (widget != dialog && dialog->isAncestorOf(widget) && widget->isEnabled() &&
        IsOwnTabStop(widget, dialog))
      order.push_back(widget);
    widget = widget->nextInFocusChain();
    if (widget == first)
      break;
  }
  auto where = [dialog](const QWidget* widget) {
    return QRect(widget->mapTo(dialog, QPoint(0, 0)), widget->size());
  };
  // Tab goes round: the walk starts at the field nearest the top left, where a reader starts.
  const auto topLeft = std::min_element(order.begin(), order.end(), [&](QWidget* a, QWidget* b) {
    if (IsButton(a) != IsButton(b))
      return !IsButton(a);
    const QRect ra = where(a);
    const QRect rb = where(b);
    return ra.center().y() != rb.center().y() ? ra.center().y() < rb.center().y() : ra.x() < rb.x();
  });
  if (topLeft != order.end())
    std::rotate(order.begin(), topLeft, order.end());
  bool buttons = false;
  for (size_t i = 0; i < order.size(); ++i) {
    const auto describe = [&](const QWidget* widget) {
      return QStringLiteral("%1 (%2)").arg(QString::fromLatin1(widget->metaObject()->className()),
                                           widget->objectName());
    };
    if (IsButton(order[i])) {
      buttons = true;
      continue;
    }
    if (buttons) {
      problems << QStringLiteral("%1: Tab reaches %2 after a button").arg(name, describe(order[i]));
      continue;
    }
    if (i == 0)
      continue;
    const QRect a = where(order[i - 1]);
    const QRect b = where(order[i]);
    const bool sameRow = b.center().y() >= a.top() && b.center().y() <= a.bottom();
    if (sameRow ? b.x() < a.x() : b.center().y() < a.center().y())
      problems << QStringLiteral("%1: Tab goes from %2 back up to %3")
                      .arg(name, describe(order[i - 1]), describe(order[i]));
  }
  return problems;
}

}  // namespace

class DialogKeysTest : public QObject {
  Q_OBJECT

 private:
  // Opens a dialog through `open` and notes its problems before closing it.
  void Walk(const std::function<void()>& open) {
    bool seen = false;
    WhenModal<QDialog>([this, &seen](QDialog* dialog) {
      seen = true;
      // A desktop activates a dialog as it opens; the offscreen platform needs asking.
      dialog->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(dialog));
      problems_ << KeyProblems(dialog);
      dialog->reject();
    });
    open();
    QVERIFY(seen);
  }

  TFixedClock clock_{TDateValue(6, 12, 2026), 1000};
  QTemporaryDir dir_;
  QStringList problems_;

 private slots:
  void everyDialogHasUniqueWorkingLettersAndTabsTopToBottom() {
    QCOMPARE(WriteHomeBudget(dir_, clock_, {{"Checking", "", 1, 1000, TDateValue(1, 11, 2026)}}),
             std::string());
    std::unique_ptr<TVorlaApp> app = StartOnHomeBudget(dir_, clock_);
    QVERIFY(app != nullptr);
    TVorlaData& document = *app->Shell().Document();
    TQtUserPort& user = app->User();

    for (TCommandId command :
         {kCmdMainConfiguration, kCmdAccountListConfiguration, kCmdEnvelopeListConfiguration,
          kCmdTransactionViewConfiguration, kCmdAccountLedgerReport, kCmdEnvelopeLedgerReport,
          kCmdAccountSummaryReport, kCmdEnvelopeSummaryReport, kCmdEnvelopeActivityReport,
          kCmdAllocationPlanReport, kCmdAllocationPlan, kCmdTemplates, kCmdAbout}) {
      Walk([&] { app->RunCommand(command); });
    }
    TEnvelopeProperties envelope;
    TBundleProperties bundle;
    TAccountProperties account;
    TGroupProperties group;
    uint32_t chosen = 0;
    TActXferValues transfer;
    TFilterCriteria criteria;
    std::array<float, 4> incomes{};
    std::string text;
    Walk([&] { user.EditEnvelopeProperties(envelope, {}); });
    Walk([&] { user.EditBundleProperties(bundle, {}); });
    Walk([&] { user.EditAccountProperties(account, {}, document.Envelopes().EnvelopeChoices()); });
    Walk([&] { user.EditAccountGroupProperties(group, {}); });
    Walk([&] { user.ChooseEnvelope(document.Envelopes().EnvelopeChoices(), chosen); });
    Walk([&] { user.EditAccountTransfer(transfer, {}, {}); });
    Walk([&] { user.EditTransactionFilter(criteria, TFilterDialogSetup{}); });
    Walk([&] { user.EnterMonthlyIncome(incomes); });
    Walk([&] { user.EditString("Title", "&Name:", text); });
    Walk([&] { app->ShellPort().RunAccountWizard(document); });
    // The template editor, from the list's "Add Item"; it closes only with a name.
    WhenModal<TTemplateListDialog>([this](TTemplateListDialog* list) {
      WhenModal<TXTemplatePropertiesDialog>([this](TXTemplatePropertiesDialog* editor) {
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor));
        problems_ << KeyProblems(editor);
        editor->findChild<QLineEdit*>(QStringLiteral("name"))->setText(QStringLiteral("Pay"));
        editor->close();
      });
      list->findChild<QPushButton*>(QStringLiteral("addItem"))->click();
      list->reject();
    });
    app->RunCommand(kCmdTemplates);

    for (const QString& problem : problems_)
      qWarning("%s", qPrintable(problem));
    QCOMPARE(problems_.size(), 0);
  }
};

QTEST_MAIN(DialogKeysTest)
#include "dialog_keys_test.moc"
