#include "ui/import_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/edit_values.h"
#include "import/import_dialog_state.h"
#include "ui/model_text.h"

TImportXDlg::TImportXDlg(TImportDialogState& state, TUserPort& user, const TClock& clock,
                         QWidget* parent)
    : QDialog(parent), state_(state), user_(user), clock_(clock) {
  setObjectName(QStringLiteral("importOptionsDialog"));
  setWindowTitle(QString::fromLatin1(TImportDialogState::kTitle));
  auto* layout = new QVBoxLayout(this);

  auto* accountRow = new QHBoxLayout;
  auto* accountLabel = new QLabel(QStringLiteral("Account:"), this);
  account_ = new QLineEdit(this);
  account_->setObjectName(QStringLiteral("account"));
  account_->setReadOnly(true);
  account_->setMinimumWidth(account_->fontMetrics().averageCharWidth() * 32);
  accountLabel->setBuddy(account_);
  auto* chooseAccount = new QPushButton(QStringLiteral("..."), this);
  chooseAccount->setObjectName(QStringLiteral("chooseAccount"));
  chooseAccount->setAutoDefault(false);
  chooseAccount->setMaximumWidth(
      chooseAccount->fontMetrics().horizontalAdvance(QStringLiteral("....")) * 2);
  accountRow->addWidget(accountLabel);
  accountRow->addWidget(account_, 1);
  accountRow->addWidget(chooseAccount);
  layout->addLayout(accountRow);

  automatic_ = new QRadioButton(QStringLiteral("Automatic Import"), this);
  automatic_->setObjectName(QStringLiteral("automatic"));
  importAll_ = new QRadioButton(QStringLiteral("Import All Transactions"), this);
  importAll_->setObjectName(QStringLiteral("importAll"));
  layout->addWidget(automatic_);
  layout->addWidget(importAll_);

  auto* dateRow = new QHBoxLayout;
  onlyNewer_ = new QCheckBox(QStringLiteral("Only Import if Newer Than:"), this);
  onlyNewer_->setObjectName(QStringLiteral("onlyNewer"));
  date_ = new QLineEdit(this);
  date_->setObjectName(QStringLiteral("onlyNewerDate"));
  date_->setMaxLength(static_cast<int>(TEditDate::kFocusTextLimit));
  date_->setMaximumWidth(date_->fontMetrics().averageCharWidth() * 12);
  dateRow->addWidget(onlyNewer_);
  dateRow->addWidget(date_);
  dateRow->addWidget(new QLabel(QStringLiteral("(Last Import)"), this));
  dateRow->addStretch(1);
  layout->addLayout(dateRow);

  ignoreCheckNumbers_ = new QCheckBox(QStringLiteral("Allow Duplicate Check Numbers"), this);
  ignoreCheckNumbers_->setObjectName(QStringLiteral("ignoreCheckNumbers"));
  layout->addWidget(ignoreCheckNumbers_);

  auto* grid = new QGridLayout;
  envelope_ = new QComboBox(this);
  envelope_->setObjectName(QStringLiteral("envelope"));
  auto* envelopeLabel = new QLabel(QStringLiteral("&Envelope:"), this);
  envelopeLabel->setBuddy(envelope_);
  grid->addWidget(envelopeLabel, 0, 0);
  grid->addWidget(envelope_, 0, 1, 1, 3);
  codePositive_ = new QLineEdit(this);
  codePositive_->setObjectName(QStringLiteral("codePositive"));
  codeNegative_ = new QLineEdit(this);
  codeNegative_->setObjectName(QStringLiteral("codeNegative"));
  for (QLineEdit* code : {codePositive_, codeNegative_}) {
    code->setMaxLength(static_cast<int>(TImportOptions::kMaxCode));
    code->setMaximumWidth(code->fontMetrics().averageCharWidth() * 22);
  }
  auto* positiveLabel = new QLabel(QStringLiteral("Type +:"), this);
  positiveLabel->setBuddy(codePositive_);
  auto* negativeLabel = new QLabel(QStringLiteral("Type -:"), this);
  negativeLabel->setBuddy(codeNegative_);
  grid->addWidget(positiveLabel, 1, 0);
  grid->addWidget(codePositive_, 1, 1);
  grid->addWidget(negativeLabel, 1, 2);
  grid->addWidget(codeNegative_, 1, 3);
  layout->addLayout(grid);

  copyPayableTo_ = new QCheckBox(QStringLiteral("Copy \"Payable To\" to Memo"), this);
  copyPayableTo_->setObjectName(QStringLiteral("copyPayableTo"));
  layout->addWidget(copyPayableTo_);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* import =
      buttons->addButton(QStringLiteral("Import..."), QDialogButtonBox::AcceptRole);
  import->setObjectName(QStringLiteral("import"));
  import->setDefault(true);
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &TImportXDlg::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  connect(automatic_, &QRadioButton::toggled, this, [this](bool on) { state_.SetAutomatic(on); });
  connect(onlyNewer_, &QCheckBox::toggled, this, [this](bool on) {
    const bool focus = state_.SetOnlyNewer(on);
    date_->setEnabled(state_.DateEnabled());
    if (focus) {
      date_->setFocus();
      date_->selectAll();
    }
  });
  connect(date_, &QLineEdit::editingFinished, this, [this] {
    date_->setText(FromModel(TEditDate().Commit(ToModel(date_->text()).value_or(""), clock_).text));
  });
  connect(chooseAccount, &QPushButton::clicked, this, [this] {
    // What the user already changed belongs to the account being left, which does not keep it.
    if (state_.ChooseAccount(user_))
      ShowState();
  });
  ShowState();
}

void TImportXDlg::ShowState() {
  const TImportOptions& options = state_.Options();
  account_->setText(FromModel(state_.AccountName()));
  // Showing the state must not write back into it.
  const QSignalBlocker blockAutomatic(automatic_);
  const QSignalBlocker blockOnlyNewer(onlyNewer_);
  automatic_->setChecked(options.automatic);
  importAll_->setChecked(!options.automatic);
  onlyNewer_->setChecked(options.onlyNewer);
  date_->setText(FromModel(TEditDate().Show(options.onlyNewerDate)));
  date_->setEnabled(state_.DateEnabled());
  ignoreCheckNumbers_->setChecked(options.ignoreCheckNumbers);
  envelope_->clear();
  for (const TItemChoice& choice : state_.Envelopes())
    envelope_->addItem(FromModel(choice.name), choice.id);
  const int index = envelope_->findData(options.envelope);
  envelope_->setCurrentIndex(index);
  copyPayableTo_->setChecked(options.copyPayableTo);
  codePositive_->setText(FromModel(options.codePositive));
  codeNegative_->setText(FromModel(options.codeNegative));
}

bool TImportXDlg::ReadFields() {
  std::optional<std::string> positive =
      ToModelOrRefuse(codePositive_->text(), codePositive_, QStringLiteral("Type +"), user_);
  if (!positive)
    return false;
  std::optional<std::string> negative =
      ToModelOrRefuse(codeNegative_->text(), codeNegative_, QStringLiteral("Type -"), user_);
  if (!negative)
    return false;
  TImportOptions& options = state_.Options();
  state_.SetAutomatic(automatic_->isChecked());
  state_.SetOnlyNewer(onlyNewer_->isChecked());
  options.onlyNewerDate = TEditDate().Transfer(ToModel(date_->text()).value_or(""), clock_);
  options.ignoreCheckNumbers = ignoreCheckNumbers_->isChecked();
  // An envelope the list does not hold (one deleted since) stays as it is stored.
  if (envelope_->currentIndex() >= 0)
    options.envelope = envelope_->currentData().toUInt();
  options.copyPayableTo = copyPayableTo_->isChecked();
  options.codePositive = *positive;
  options.codeNegative = *negative;
  return true;
}

void TImportXDlg::accept() {
  if (!ReadFields())
    return;
  QDialog::accept();
}
