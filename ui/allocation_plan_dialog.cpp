#include "ui/allocation_plan_dialog.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "app/vorla_config.h"
#include "planning/allocation_plan.h"
#include "planning/period.h"
#include "presentation/row_presenters.h"
#include "ui/ledger_window.h"
#include "ui/model_text.h"

namespace {

// The band colour of the plan's rows: a pale yellow, or plain yellow on a display of few colours
// that could not show the pale one.
constexpr uint32_t kPlanBackground = 0xFFFFA4;
constexpr uint32_t kPlanBackgroundFewColours = 0xFFFF00;
constexpr int kPlanAmountChars = 16;

uint32_t PlanBackground() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr && screen->depth() < 9 ? kPlanBackgroundFewColours : kPlanBackground;
}

QSize DefaultSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize available = screen != nullptr ? screen->availableSize() : QSize(1280, 1024);
  return QSize(std::max(780, available.width() * 6 / 10),
               std::max(520, available.height() * 6 / 10));
}

}  // namespace

TAllocationPlanDialog::TAllocationPlanDialog(TAllocationPlan& plan, TVorlaConfig* config,
                                             QWidget* parent)
    : QDialog(parent), plan_(plan), config_(config) {
  setWindowTitle(QStringLiteral("Edit Allocation Plan"));
  setSizeGripEnabled(true);
  auto* layout = new QVBoxLayout(this);

  auto* top = new QHBoxLayout;
  auto* periodLabel = new QLabel(QStringLiteral("&View Period:"), this);
  periods_ = new QComboBox(this);
  periods_->setObjectName(QStringLiteral("viewPeriod"));
  for (uint32_t code = kPeriodWeekly; code <= kPeriodAnnual; ++code)
    periods_->addItem(FromModel(TPeriod::PeriodNameFromCode(code)), code);
  periods_->setCurrentIndex(std::max(0, periods_->findData(plan_.ViewPeriod())));
  periodLabel->setBuddy(periods_);
  top->addWidget(periodLabel);
  top->addWidget(periods_);
  top->addStretch(1);
  layout->addLayout(top);
  connect(periods_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index < 0)
      return;
    // An open cell editor takes its text in the period it was typed in.
    if (ledger_->Logic().EditorOpen())
      ledger_->Logic().CloseEditor();
    plan_.SetViewPeriod(periods_->itemData(index).toUInt());
    Refresh();
  });

  static const TAllocationPlanItemPresenter presenter;
  ledger_ = new TLedgerWindow(plan_, presenter, this, true);
  ledger_->setObjectName(QStringLiteral("planGrid"));
  ledger_->SetUser(&plan_.User());
  TLedger& grid = ledger_->Logic();
  const int envelopeWidth =
      config_ != nullptr ? static_cast<int>(config_->Settings().EnvelopeWidth) : 17;
  // Amount columns hold an annual total of millions ("1,052,560.00") whole, whatever the
  // ledgers' narrower amount width says.
  const int amountWidth =
      std::max(kPlanAmountChars,
               config_ != nullptr ? static_cast<int>(config_->Settings().AmountWidth) : 11);
  grid.AddColumn(std::max(1, envelopeWidth), TAllocationPlanItem::kColName);
  grid.AddColumn(std::max(1, amountWidth), TAllocationPlanItem::kColTotal);
  for (int c = 0; c < TAllocationPlan::kColumns; ++c)
    grid.AddColumn(std::max(1, amountWidth), TAllocationPlanItem::kFirstAmount + c);
  grid.FinishColumns(false);
  grid.SetBackground(PlanBackground());
  grid.SetTopMode(TAllocationPlanItem::kColName, true);
  layout->addWidget(ledger_, 1);

  auto* buttons = new QHBoxLayout;
  auto* create = new QPushButton(QStringLiteral("Create &Template"), this);
  auto* remove = new QPushButton(QStringLiteral("Re&move Template"), this);
  auto* save = new QPushButton(QStringLiteral("&Save and Close"), this);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  create->setObjectName(QStringLiteral("createTemplate"));
  remove->setObjectName(QStringLiteral("removeTemplate"));
  save->setObjectName(QStringLiteral("saveAndClose"));
  cancel->setObjectName(QStringLiteral("cancel"));
  for (QPushButton* button : {create, remove, save, cancel}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  buttons->insertStretch(2, 1);
  layout->addLayout(buttons);
  connect(create, &QPushButton::clicked, this, [this] {
    plan_.CreateTemplate();
    Refresh();
  });
  connect(remove, &QPushButton::clicked, this, [this] {
    plan_.RemoveTemplate();
    Refresh();
  });
  connect(save, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  QSize size = DefaultSize();
  if (config_ != nullptr) {
    size.setWidth(config_->Named().GetNumber(kWidthKey, size.width(), 0));
    size.setHeight(config_->Named().GetNumber(kHeightKey, size.height(), 0));
  }
  resize(size.expandedTo(QSize(200, 150)));
  ledger_->setFocus();
}

TAllocationPlanDialog::~TAllocationPlanDialog() = default;

void TAllocationPlanDialog::Refresh() {
  ledger_->RefreshRows();
  ledger_->viewport()->update();
}

void TAllocationPlanDialog::done(int result) {
  // The cell being typed counts as typed, whichever way the dialog closes.
  if (ledger_->Logic().EditorOpen())
    ledger_->Logic().CloseEditor();
  if (config_ != nullptr) {
    config_->Named().SetNumber(kWidthKey, width(), 0);
    config_->Named().SetNumber(kHeightKey, height(), 0);
  }
  QDialog::done(result);
}
