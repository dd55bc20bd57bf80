#include "ui/template_editor_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "app/vorla_config.h"
#include "core/bx_string_list.h"
#include "core/envelope_list.h"
#include "core/user_port.h"
#include "core/vorla_data.h"
#include "planning/period.h"
#include "planning/template_manager.h"
#include "presentation/row_presenters.h"
#include "ui/ledger_window.h"
#include "ui/model_text.h"

namespace {

constexpr int kMinimumWidth = 700;
constexpr int kMinimumHeight = 500;

QLineEdit* TextField(const std::string& text, int maxLength, const char* name, QWidget* parent) {
  auto* field = new QLineEdit(FromModel(text), parent);
  field->setMaxLength(maxLength);
  field->setObjectName(QLatin1String(name));
  return field;
}

}  // namespace

QSize TXTemplatePropertiesDialog::StartSize(const TVorlaConfig* config, const QSize& screen) {
  const int width = std::max(kMinimumWidth, screen.width() / 2);
  const int height = std::max(kMinimumHeight, screen.height() / 2);
  if (config == nullptr)
    return {width, height};
  // A stored size from another screen never opens the dialog larger than this one.
  const int storedWidth = config->Named().GetNumber(kWidthKey, width, 0);
  const int storedHeight = config->Named().GetNumber(kHeightKey, height, 0);
  return {std::clamp(storedWidth, 200, std::max(200, screen.width())),
          std::clamp(storedHeight, 150, std::max(150, screen.height()))};
}

TXTemplatePropertiesDialog::TXTemplatePropertiesDialog(TXTemplate& edited,
                                                       const TTemplateEditorSetup& setup,
                                                       QWidget* parent)
    : QDialog(parent), template_(edited), setup_(setup) {
  setObjectName(QStringLiteral("templateEditor"));
  setWindowTitle(QStringLiteral("Transaction Template: %1").arg(FromModel(edited.Name())));
  setSizeGripEnabled(true);

  auto* layout = new QVBoxLayout(this);
  auto* fields = new QGridLayout();
  name_ = TextField(edited.Name(), int(TXTemplate::kNameSize) - 1, "name", this);
  auto* nameLabel = new QLabel(QStringLiteral("&Name:"), this);
  nameLabel->setBuddy(name_);
  inPlan_ = new QCheckBox(QStringLiteral("&Include in Allocation Plan"), this);
  inPlan_->setObjectName(QStringLiteral("includeInPlan"));
  inPlan_->setChecked(edited.IncludeInPlan());
  period_ = new QComboBox(this);
  period_->setObjectName(QStringLiteral("period"));
  const TBxStringList periods = TPeriod::PeriodNameList(true);
  for (size_t i = 1; i <= periods.Count(); ++i) {
    const std::string name = periods.At(i);
    period_->addItem(FromModel(name), TPeriod::PeriodCodeFromName(name));
  }
  period_->setCurrentIndex(period_->findData(edited.Period()));
  payableTo_ = TextField(edited.PayableTo(), int(TXTemplate::kTextSize) - 1, "payableTo", this);
  auto* payableLabel = new QLabel(QStringLiteral("&Payable To:"), this);
  payableLabel->setBuddy(payableTo_);
  memo_ = TextField(edited.Memo(), int(TXTemplate::kTextSize) - 1, "memo", this);
  auto* memoLabel = new QLabel(QStringLiteral("&Memo:"), this);
  memoLabel->setBuddy(memo_);
  fields->addWidget(nameLabel, 0, 0);
  fields->addWidget(name_, 0, 1);
  fields->addWidget(inPlan_, 0, 2);
  fields->addWidget(period_, 0, 3);
  fields->addWidget(payableLabel, 1, 0);
  fields->addWidget(payableTo_, 1, 1);
  fields->addWidget(memoLabel, 1, 2, Qt::AlignRight);
  fields->addWidget(memo_, 1, 3);
  fields->setColumnStretch(1, 3);
  fields->setColumnStretch(3, 2);
  layout->addLayout(fields);

  TXTemplateList& items = edited.Items();
  static const TTemplateItemPresenter presenter;
  grid_ = new TLedgerWindow(items, presenter, this);
  grid_->setObjectName(QStringLiteral("templateGrid"));
  const TVorlaData* document = edited.Document();
  grid_->SetNamesSource([document] {
    QStringList names;
    if (document != nullptr) {
      for (const TItemChoice& envelope : document->Envelopes().EnvelopeChoices())
        names.append(FromModel(envelope.name));
    }
    return names;
  });
  grid_->SetUser(setup_.user);
  TLedger& grid = grid_->Logic();
  const TXViewColumnSettings& widths = setup_.columns;
  grid.AddColumn(int(widths.payableToWidth * 5 / 4), TXTemplateItem::kColDescription);
  grid.AddColumn(int(widths.amountWidth), TXTemplateItem::kColPayment);
  grid.AddColumn(int(widths.amountWidth), TXTemplateItem::kColDeposit);
  grid.AddColumn(int(widths.envelopeWidth * 5 / 4), TXTemplateItem::kColEnvelope);
  grid.FinishColumns(false);
  const QScreen* screen = QGuiApplication::primaryScreen();
  grid.SetBackground(screen == nullptr || screen->depth() > 8 ? 0x80FF80 : 0x00FF00);
  grid.SetTopMode(0, true);
  layout->addWidget(grid_, 1);

  auto* bottom = new QHBoxLayout();
  auto* choose = new QPushButton(QStringLiteral("Choose &Envelope"), this);
  choose->setObjectName(QStringLiteral("chooseEnvelope"));
  choose->setAutoDefault(false);
  auto* close = new QPushButton(QStringLiteral("&Close"), this);
  close->setObjectName(QStringLiteral("close"));
  close->setAutoDefault(false);
  total_ = new QLabel(QStringLiteral("0.00"), this);
  total_->setObjectName(QStringLiteral("total"));
  total_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  bottom->addWidget(choose);
  bottom->addWidget(close);
  bottom->addStretch(1);
  bottom->addWidget(new QLabel(QStringLiteral("Total:"), this));
  bottom->addWidget(total_);
  layout->addLayout(bottom);
  connect(choose, &QPushButton::clicked, this, [this] { ChooseEnvelope(); });
  connect(close, &QPushButton::clicked, this, [this] { done(Accepted); });
  // The grid takes Esc as a key of its own; with no cell being edited it closes the dialog, as
  // the Close button does (an open cell editor keeps its Esc).
  auto* escape = new QAction(this);
  escape->setShortcut(QKeySequence(Qt::Key_Escape));
  escape->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(escape, &QAction::triggered, this, [this] { done(Accepted); });
  addAction(escape);
  items.SetChangeListener([this] { ShowTotal(); });
  ShowTotal();

  const QSize available = screen != nullptr ? screen->availableGeometry().size() : QSize(1280, 800);
  resize(StartSize(setup_.config, available));
  grid_->setFocus();
}

TXTemplatePropertiesDialog::~TXTemplatePropertiesDialog() {
  template_.Items().SetChangeListener(nullptr);
}

void TXTemplatePropertiesDialog::ShowTotal() {
  total_->setText(FromModel(template_.Items().TotalAmount().Format(TAmount::kThousands)));
}

void TXTemplatePropertiesDialog::ChooseEnvelope() {
  auto* item = dynamic_cast<TXTemplateItem*>(grid_->Logic().CurrentItem());
  const TVorlaData* document = template_.Document();
  if (item == nullptr || document == nullptr || setup_.user == nullptr) {
    QApplication::beep();
    grid_->setFocus();
    return;
  }
  grid_->Logic().CloseEditor();
  uint32_t chosen = item->EnvelopeId();
  if (setup_.user->ChooseEnvelope(document->Envelopes().EnvelopeChoices(), chosen)) {
    item->SetEnvelopeId(chosen);
    template_.Items().ItemChanged();
  }
  grid_->setFocus();
}

bool TXTemplatePropertiesDialog::TryClose() {
  grid_->Logic().CloseEditor();
  TUserPort& user = *setup_.user;
  name_->setText(name_->text().trimmed());
  const std::optional<std::string> typed =
      ToModelOrRefuse(name_->text(), name_, QStringLiteral("Name"), user);
  if (!typed)
    return false;
  const std::optional<std::string> name = template_.CheckName(*typed, user);
  if (!name) {
    name_->setFocus();
    name_->selectAll();
    return false;
  }
  const std::optional<std::string> payableTo =
      ToModelOrRefuse(payableTo_->text(), payableTo_, QStringLiteral("Payable To"), user);
  if (!payableTo)
    return false;
  const std::optional<std::string> memo =
      ToModelOrRefuse(memo_->text(), memo_, QStringLiteral("Memo"), user);
  if (!memo)
    return false;
  template_.SetName(*name);
  template_.SetIncludeInPlan(inPlan_->isChecked());
  if (period_->currentIndex() >= 0)
    template_.SetPeriod(period_->currentData().toUInt());
  template_.SetPayableTo(*payableTo);
  template_.SetMemo(*memo);
  if (setup_.config != nullptr) {
    setup_.config->Named().SetNumber(kWidthKey, width(), 0);
    setup_.config->Named().SetNumber(kHeightKey, height(), 0);
  }
  template_.Items().Compact();
  if (TVorlaData* document = template_.Document())
    document->SetModified();
  return true;
}

void TXTemplatePropertiesDialog::done(int result) {
  (void)result;
  if (TryClose())
    QDialog::done(Accepted);
}
