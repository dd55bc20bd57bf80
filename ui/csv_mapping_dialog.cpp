#include "ui/csv_mapping_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "import/csv_mapping_state.h"
#include "import/csv_table.h"
#include "ui/model_text.h"

namespace {

// The preview's columns, in the order TPreviewRow holds them.
const char* const kPreviewColumns[] = {"Date", "Amount", "Payable To", "Memo", "Check #"};

}  // namespace

TCsvMappingDialog::TCsvMappingDialog(TCsvMappingState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
  setObjectName(QStringLiteral("csvMappingDialog"));
  setWindowTitle(QString::fromLatin1(TCsvMappingState::kTitle));
  auto* layout = new QVBoxLayout(this);

  header_ = new QCheckBox(QStringLiteral("&First row names the columns"), this);
  header_->setObjectName(QStringLiteral("header"));
  layout->addWidget(header_);

  auto* form = new QFormLayout;
  date_ = ColumnChoice("date");
  amount_ = ColumnChoice("amount");
  debit_ = ColumnChoice("debit");
  credit_ = ColumnChoice("credit");
  payee_ = ColumnChoice("payee");
  memo_ = ColumnChoice("memo");
  check_ = ColumnChoice("check");
  dateOrder_ = new QComboBox(this);
  dateOrder_->setObjectName(QStringLiteral("dateOrder"));
  dateOrder_->addItems({QStringLiteral("Month/Day/Year"), QStringLiteral("Day/Month/Year"),
                        QStringLiteral("Year-Month-Day")});
  decimalMark_ = new QComboBox(this);
  decimalMark_->setObjectName(QStringLiteral("decimalMark"));
  decimalMark_->addItems({QStringLiteral("Point (1,234.56)"), QStringLiteral("Comma (1.234,56)")});
  debitPositive_ = new QCheckBox(QStringLiteral("Debits are positi&ve numbers"), this);
  debitPositive_->setObjectName(QStringLiteral("debitPositive"));
  form->addRow(QStringLiteral("&Date:"), date_);
  form->addRow(QStringLiteral("Date &order:"), dateOrder_);
  form->addRow(QStringLiteral("&Amount:"), amount_);
  form->addRow(QStringLiteral("or De&bit:"), debit_);
  form->addRow(QStringLiteral("and &Credit:"), credit_);
  form->addRow(QString(), debitPositive_);
  form->addRow(QStringLiteral("Decimal &mark:"), decimalMark_);
  form->addRow(QStringLiteral("&Payable To:"), payee_);
  form->addRow(QStringLiteral("M&emo:"), memo_);
  form->addRow(QStringLiteral("Check &number:"), check_);
  layout->addLayout(form);

  preview_ = new QTableWidget(0, std::size(kPreviewColumns), this);
  preview_->setObjectName(QStringLiteral("preview"));
  QStringList titles;
  for (const char* title : kPreviewColumns)
    titles << QString::fromLatin1(title);
  preview_->setHorizontalHeaderLabels(titles);
  preview_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  preview_->horizontalHeader()->setStretchLastSection(true);
  preview_->setWordWrap(false);
  const int rowHeight = preview_->fontMetrics().height() + 6;
  preview_->verticalHeader()->setDefaultSectionSize(rowHeight);
  preview_->setMinimumSize(preview_->fontMetrics().averageCharWidth() * 90, rowHeight * 11);
  layout->addWidget(preview_, 1);

  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons_);

  for (QComboBox* combo :
       {date_, amount_, debit_, credit_, payee_, memo_, check_, dateOrder_, decimalMark_}) {
    connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] { ReadControls(combo); });
  }
  for (QCheckBox* box : {header_, debitPositive_})
    connect(box, &QCheckBox::toggled, this, [this, box] { ReadControls(box); });
  ShowMapping();
}

QComboBox* TCsvMappingDialog::ColumnChoice(const char* name) {
  auto* combo = new QComboBox(this);
  combo->setObjectName(QString::fromLatin1(name));
  return combo;
}

void TCsvMappingDialog::ShowMapping() {
  showing_ = true;
  const TCsvMapping& mapping = state_.Mapping();
  QStringList names{QStringLiteral("(none)")};
  for (const std::string& name : state_.ColumnNames())
    names << FromModel(name);
  const std::pair<QComboBox*, int> columns[] = {{date_, mapping.date},   {amount_, mapping.amount},
                                                {debit_, mapping.debit}, {credit_, mapping.credit},
                                                {payee_, mapping.payee}, {memo_, mapping.memo},
                                                {check_, mapping.check}};
  for (const auto& [combo, column] : columns) {
    combo->clear();
    combo->addItems(names);
    combo->setCurrentIndex(column + 1);
  }
  header_->setChecked(mapping.header);
  dateOrder_->setCurrentIndex(static_cast<int>(mapping.dateOrder));
  decimalMark_->setCurrentIndex(mapping.decimalMark == ',' ? 1 : 0);
  debitPositive_->setChecked(mapping.debitPositive);
  showing_ = false;
  ShowPreview();
}

void TCsvMappingDialog::ReadControls(QObject* changed) {
  if (showing_)
    return;
  TCsvMapping& mapping = state_.Mapping();
  // One amount column, or a debit and a credit column: choosing one kind lets the other go.
  if (changed == amount_ && amount_->currentIndex() > 0)
    debit_->setCurrentIndex(0), credit_->setCurrentIndex(0);
  if ((changed == debit_ || changed == credit_) &&
      qobject_cast<QComboBox*>(changed)->currentIndex() > 0)
    amount_->setCurrentIndex(0);
  mapping.date = date_->currentIndex() - 1;
  mapping.amount = amount_->currentIndex() - 1;
  mapping.debit = debit_->currentIndex() - 1;
  mapping.credit = credit_->currentIndex() - 1;
  mapping.payee = payee_->currentIndex() - 1;
  mapping.memo = memo_->currentIndex() - 1;
  mapping.check = check_->currentIndex() - 1;
  mapping.dateOrder = static_cast<TCsvDateOrder>(dateOrder_->currentIndex());
  mapping.decimalMark = decimalMark_->currentIndex() == 1 ? ',' : '.';
  mapping.debitPositive = debitPositive_->isChecked();
  const bool header = header_->isChecked();
  if (header != mapping.header) {
    mapping.header = header;
    ShowMapping();  // the columns' names come from the first row or not
    return;
  }
  ShowPreview();
}

void TCsvMappingDialog::ShowPreview() {
  const std::vector<TCsvMappingState::TPreviewRow> rows = state_.Preview();
  preview_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const TCsvMappingState::TPreviewRow& row = rows[static_cast<size_t>(r)];
    const std::string* cells[] = {&row.date, &row.amount, &row.payee, &row.memo, &row.check};
    for (int c = 0; c < static_cast<int>(std::size(cells)); ++c) {
      auto* item = new QTableWidgetItem(FromModel(*cells[c]));
      if (*cells[c] == TCsvMappingState::kUnreadable)
        item->setForeground(Qt::red);
      if (c == 1)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      preview_->setItem(r, c, item);
    }
  }
  preview_->resizeColumnsToContents();
  buttons_->button(QDialogButtonBox::Ok)->setEnabled(state_.CanAccept());
}
