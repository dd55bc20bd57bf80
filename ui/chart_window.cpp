#include "ui/chart_window.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QListWidget>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cctype>
#include <cmath>

#include "app/vorla_config.h"
#include "core/account_list.h"
#include "core/account_node.h"
#include "core/clock.h"
#include "core/save_file.h"
#include "core/vorla_data.h"
#include "planning/date_range.h"
#include "platform/chart_painter.h"
#include "reports/balance_history.h"
#include "reports/income_spending_chart.h"
#include "reports/report_text.h"
#include "reports/spending_chart.h"
#include "ui/model_text.h"
#include "ui/qt_user_port.h"

namespace {

constexpr const char* kChartFolder = "Reports.Folder";

// The palette the tool's pictures use too.
QColor PaletteColour(size_t index) {
  return QColor(static_cast<QRgb>(kChartPalette[index % kChartPalette.size()]));
}

qreal Msecs(TDateValue date) {
  return static_cast<qreal>(
      QDateTime(QDate(static_cast<int>(date.Year()), static_cast<int>(date.Month()),
                      static_cast<int>(date.Day())),
                QTime(12, 0))
          .toMSecsSinceEpoch());
}

QString Money(int64_t cents) {
  return FromModel(MoneyText(cents));
}

bool OnAccounts(TChartKind kind) {
  return kind == TChartKind::IncomeSpending || kind == TChartKind::NetWorth;
}

bool IsBalanceChart(TChartKind kind) {
  return kind == TChartKind::EnvelopeBalances || kind == TChartKind::NetWorth;
}

// The root ("All Accounts"), the groups and the accounts, indented by depth.
QListWidget* MakeAccountNodeList(const TVorlaData& document, uint32_t chosenId, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QStringLiteral("accountNodeList"));
  for (const TTreeItem* node = document.Accounts().RootItem(); node != nullptr;
       node = node->NextInDisplayOrder(true)) {
    const auto* account = dynamic_cast<const TAccountNode*>(node);
    const bool root = node == document.Accounts().RootItem();
    const QString name = root ? QStringLiteral("All Accounts") : FromModel(account->Name());
    auto* item =
        new QListWidgetItem(QString(2 * std::max(0, node->Depth() - 1), QLatin1Char(' ')) + name);
    item->setData(Qt::UserRole, root ? 0u : account->Id());
    list->addItem(item);
    if ((root ? 0u : account->Id()) == chosenId)
      list->setCurrentItem(item);
  }
  if (list->currentItem() == nullptr && list->count() > 0)
    list->setCurrentRow(0);
  return list;
}

}  // namespace

QString ChartTitle(TChartKind kind) {
  switch (kind) {
    case TChartKind::Spending:
      return QStringLiteral("Spending by Envelope");
    case TChartKind::EnvelopeBalances:
      return QStringLiteral("Envelope Balances over Time");
    case TChartKind::IncomeSpending:
      return QStringLiteral("Income and Spending by Month");
    case TChartKind::NetWorth:
      break;
  }
  return QStringLiteral("Account Balances over Time");
}

TChartWindow::TChartWindow(TReportContext context, TChartKind kind, uint32_t nodeId,
                           QWidget* parent)
    : QDialog(parent), context_(context), kind_(kind) {
  setWindowTitle(ChartTitle(kind));
  setObjectName(QStringLiteral("chartWindow"));
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  auto* form = new QFormLayout;
  dates_ = new TReportDates(*form, context_.clock, this);
  if (const auto year = DateRangeFor(DateRangeKind::ThisYear, context_.clock.Today()))
    dates_->SetDates(year->from, year->to);
  if (IsBalanceChart(kind)) {
    step_ = new QComboBox(this);
    step_->setObjectName(QStringLiteral("step"));
    step_->addItems({QStringLiteral("Day"), QStringLiteral("Week"), QStringLiteral("Month")});
    step_->setCurrentIndex(2);
    form->addRow(QStringLiteral("&Step:"), step_);
  }
  auto* draw = new QPushButton(QStringLiteral("&Draw"), this);
  draw->setObjectName(QStringLiteral("drawButton"));
  form->addRow(QString(), draw);
  top->addLayout(form);
  nodes_ = OnAccounts(kind) ? MakeAccountNodeList(context_.document, nodeId, this)
                            : MakeEnvelopeTreeList(context_.document, nodeId, this);
  if (IsBalanceChart(kind)) {
    // Up to eight lines: each chosen node is one.
    nodes_->setSelectionMode(QAbstractItemView::MultiSelection);
    if (nodes_->currentItem() != nullptr)
      nodes_->currentItem()->setSelected(true);
  }
  nodes_->setMaximumHeight(140);
  top->addWidget(nodes_, 1);
  layout->addLayout(top);

  view_ = new QChartView(this);
  view_->setObjectName(QStringLiteral("chartView"));
  view_->setRenderHint(QPainter::Antialiasing);
  view_->setMinimumSize(640, 400);
  layout->addWidget(view_, 1);

  auto* buttons = new QDialogButtonBox(this);
  auto button = [&](const QString& text, const char* name, void (TChartWindow::*act)()) {
    QPushButton* made = buttons->addButton(text, QDialogButtonBox::ActionRole);
    made->setObjectName(QString::fromLatin1(name));
    made->setAutoDefault(false);
    connect(made, &QPushButton::clicked, this, act);
  };
  button(QStringLiteral("Save as P&NG..."), "pngButton", &TChartWindow::SaveAsPng);
  button(QStringLiteral("Save as P&DF..."), "pdfButton", &TChartWindow::SaveAsPdf);
  button(QStringLiteral("&Copy"), "copyButton", &TChartWindow::Copy);
  button(QStringLiteral("&Print..."), "printButton", &TChartWindow::Print);
  buttons->addButton(QDialogButtonBox::Close);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  connect(draw, &QPushButton::clicked, this, &TChartWindow::Redraw);
  Redraw();
}

TChartWindow::~TChartWindow() = default;

bool TChartWindow::Redraw() {
  const auto dates = dates_->Dates(context_.user);
  if (!dates)
    return false;
  std::vector<uint32_t> ids;
  for (int row = 0; row < nodes_->count(); ++row) {
    const QListWidgetItem* item = nodes_->item(row);
    if (IsBalanceChart(kind_) ? item->isSelected() : item == nodes_->currentItem())
      ids.push_back(item->data(Qt::UserRole).toUInt());
  }
  const auto [from, to] = *dates;
  const TChartStep step =
      step_ == nullptr ? TChartStep::Month : static_cast<TChartStep>(step_->currentIndex());
  const uint32_t first = ids.empty() ? 0 : ids.front();
  TResult<TChartSeries> made = TFailure{""};
  switch (kind_) {
    case TChartKind::Spending:
      made = SpendingByEnvelope(context_.document, first, from, to);
      break;
    case TChartKind::EnvelopeBalances:
      made = EnvelopeBalances(context_.document, ids, from, to, step);
      break;
    case TChartKind::IncomeSpending:
      made = IncomeAndSpending(context_.document, first, from, to);
      break;
    case TChartKind::NetWorth:
      made = AccountBalances(context_.document, ids, from, to, step);
      break;
  }
  if (!made) {
    std::string text = made.Error();
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    context_.user.Tell("Quenbrook", text + ".", TMessageIcon::Exclamation);
    return false;
  }
  series_ = std::move(made).Value();
  Draw();
  return true;
}

void TChartWindow::Draw() {
  auto* chart = new QChart;
  chart->setTheme(QChart::ChartThemeLight);
  chart->setTitle(FromModel(series_.title) + QStringLiteral(", ") + dates_->RangeText());
  chart->legend()->setAlignment(Qt::AlignBottom);
  QStringList rows;
  for (const std::string& row : series_.rows)
    rows << FromModel(row);

  if (kind_ == TChartKind::Spending || kind_ == TChartKind::IncomeSpending) {
    QAbstractBarSeries* bars = kind_ == TChartKind::Spending
                                   ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries)
                                   : new QBarSeries;
    const size_t barLines = kind_ == TChartKind::Spending ? 1 : 2;
    for (size_t index = 0; index < barLines; ++index) {
      const TChartLine& line = series_.lines[index];
      auto* set = new QBarSet(FromModel(line.name));
      set->setColor(PaletteColour(index));
      // The largest bar on top: horizontal bars grow upwards from the first category.
      for (size_t row = 0; row < line.values.size(); ++row) {
        const size_t at = kind_ == TChartKind::Spending ? line.values.size() - 1 - row : row;
        set->append(static_cast<qreal>(line.values[at]) / 100.0);
      }
      connect(set, &QBarSet::hovered, this, [this, index](bool on, int bar) {
        if (!on)
          return;
        const TChartLine& line = series_.lines[index];
        const size_t row = kind_ == TChartKind::Spending
                               ? line.values.size() - 1 - static_cast<size_t>(bar)
                               : static_cast<size_t>(bar);
        ShowTip(FromModel(series_.rows[row] + ", " + line.name + ": ") + Money(line.values[row]));
      });
      connect(set, &QBarSet::clicked, this, [this, index](int bar) {
        const TChartLine& line = series_.lines[index];
        OpenLedger(line, kind_ == TChartKind::Spending
                             ? line.values.size() - 1 - static_cast<size_t>(bar)
                             : static_cast<size_t>(bar));
      });
      bars->append(set);
    }
    chart->addSeries(bars);
    auto* categories = new QBarCategoryAxis;
    if (kind_ == TChartKind::Spending)
      std::reverse(rows.begin(), rows.end());
    categories->append(rows);
    auto* values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%.0f"));
    const Qt::Alignment categorySide =
        kind_ == TChartKind::Spending ? Qt::AlignLeft : Qt::AlignBottom;
    chart->addAxis(categories, categorySide);
    chart->addAxis(values, kind_ == TChartKind::Spending ? Qt::AlignBottom : Qt::AlignLeft);
    bars->attachAxis(categories);
    bars->attachAxis(values);
    if (kind_ == TChartKind::IncomeSpending) {
      // The difference as a line over the same months.
      auto* difference = new QLineSeries;
      difference->setName(FromModel(series_.lines[2].name));
      difference->setColor(PaletteColour(6));
      difference->setPointsVisible(true);
      difference->setPen(QPen(PaletteColour(6), 2.5));
      for (size_t row = 0; row < series_.lines[2].values.size(); ++row)
        difference->append(static_cast<qreal>(row),
                           static_cast<qreal>(series_.lines[2].values[row]) / 100.0);
      connect(difference, &QLineSeries::hovered, this, [this](const QPointF& point, bool on) {
        const size_t row = RowAt(point.x());
        if (on && row < series_.rows.size())
          ShowTip(FromModel(series_.rows[row] + ", Difference: ") +
                  Money(series_.lines[2].values[row]));
      });
      chart->addSeries(difference);
      difference->attachAxis(categories);
      difference->attachAxis(values);
    }
  } else {
    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("MM/dd/yyyy"));
    auto* values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(values, Qt::AlignLeft);
    for (size_t index = 0; index < series_.lines.size(); ++index) {
      const TChartLine& line = series_.lines[index];
      auto* drawn = new QLineSeries;
      drawn->setName(FromModel(line.name));
      QPen pen(PaletteColour(ChartColourIndex(series_, TChartShape::DatedLines, index)));
      pen.setWidthF(line.dashed ? 1.5 : 2.5);
      if (line.dashed)
        pen.setStyle(Qt::DashLine);
      drawn->setPen(pen);
      drawn->setPointsVisible(!line.dashed);
      for (size_t row = 0; row < line.values.size(); ++row)
        drawn->append(Msecs(series_.periods[row].to), static_cast<qreal>(line.values[row]) / 100.0);
      connect(drawn, &QLineSeries::hovered, this, [this, index](const QPointF& point, bool on) {
        const TChartLine& line = series_.lines[index];
        const size_t row = RowAt(point.x());
        if (on && row < line.values.size())
          ShowTip(FromModel(series_.rows[row] + ", " + line.name + ": ") + Money(line.values[row]));
      });
      connect(drawn, &QLineSeries::clicked, this, [this, index](const QPointF& point) {
        OpenLedger(series_.lines[index], RowAt(point.x()));
      });
      chart->addSeries(drawn);
      drawn->attachAxis(time);
      drawn->attachAxis(values);
    }
  }
  // One value axis for every series, with room for the lowest and the highest of them.
  const auto [low, high] = ValueSpan(series_);
  for (QAbstractAxis* axis : chart->axes()) {
    if (auto* values = qobject_cast<QValueAxis*>(axis)) {
      values->setRange(static_cast<qreal>(low) / 100.0,
                       static_cast<qreal>(std::max(high, low + 100)) / 100.0);
      values->applyNiceNumbers();
    }
  }
  QChart* old = view_->chart();
  view_->setChart(chart);
  delete old;
}

size_t TChartWindow::RowAt(qreal x) const {
  if (kind_ == TChartKind::IncomeSpending)
    return static_cast<size_t>(std::max<qreal>(0, std::round(x)));
  size_t nearest = 0;
  for (size_t row = 0; row < series_.periods.size(); ++row) {
    if (std::abs(Msecs(series_.periods[row].to) - x) <
        std::abs(Msecs(series_.periods[nearest].to) - x))
      nearest = row;
  }
  return nearest;
}

void TChartWindow::ShowTip(const QString& text) {
  shownTip_ = text;
  QToolTip::showText(QCursor::pos(), text, view_);
}

void TChartWindow::OpenLedger(const TChartLine& line, size_t row) {
  if (!ledgerHook_ || row >= series_.periods.size() || line.dashed)
    return;
  // A spending bar is one envelope; a line or a month's bars belong to the node they show,
  // which has a ledger when it is one account or an envelope node (not the accounts' total).
  uint32_t id = kind_ == TChartKind::Spending ? series_.rowIds[row] : line.nodeId;
  if (kind_ == TChartKind::Spending && id == 0)
    return;
  if (line.isAccount && context_.document.Accounts().Account(id) == nullptr)
    return;
  ledgerHook_(line.isAccount, id, series_.periods[row].from, series_.periods[row].to);
}

QImage TChartWindow::Picture(QSize size) const {
  QImage image(size, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  view_->render(&painter, QRectF(QPointF(0, 0), size), view_->viewport()->rect());
  return image;
}

TResult<void> TChartWindow::WritePng(const QString& path) const {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!Picture(view_->viewport()->size()).save(&buffer, "PNG"))
    return TFailure{"the picture could not be made"};
  return WriteFileSafely(QFile::encodeName(path).toStdString(),
                         std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                         0644);
}

TResult<void> TChartWindow::WritePdf(const QString& path) const {
  QByteArray bytes;
  {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setTitle(windowTitle());
    writer.setCreator(QStringLiteral("Quenbrook"));
    writer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter(&writer);
    view_->render(&painter, QRectF(0, 0, writer.width(), writer.height()),
                  view_->viewport()->rect());
  }
  return WriteFileSafely(QFile::encodeName(path).toStdString(),
                         std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())),
                         0644);
}

void TChartWindow::SaveAsPng() {
  QString folder = QString::fromStdString(context_.config.Named().GetText(kChartFolder, "", 0));
  QFileDialog dialog(this, QStringLiteral("Save Chart as PNG"), folder,
                     QStringLiteral("PNG picture (*.png)"));
  dialog.setObjectName(QStringLiteral("pngFileDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("png"));
  dialog.selectFile(windowTitle() + QStringLiteral(".png"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return;
  const QString path = dialog.selectedFiles().front();
  context_.config.Named().SetText(kChartFolder, QFileInfo(path).absolutePath().toStdString(), 0);
  if (const TResult<void> written = WritePng(path); !written) {
    context_.user.Tell("Quenbrook",
                       "The chart could not be saved as " + path.toStdString() + ": " +
                           written.Error() + ".  Nothing was written under that name.",
                       TMessageIcon::Error);
  }
}

void TChartWindow::SaveAsPdf() {
  QString folder = QString::fromStdString(context_.config.Named().GetText(kChartFolder, "", 0));
  QFileDialog dialog(this, QStringLiteral("Save Chart as PDF"), folder,
                     QStringLiteral("PDF file (*.pdf)"));
  dialog.setObjectName(QStringLiteral("pdfFileDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("pdf"));
  dialog.selectFile(windowTitle() + QStringLiteral(".pdf"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return;
  const QString path = dialog.selectedFiles().front();
  context_.config.Named().SetText(kChartFolder, QFileInfo(path).absolutePath().toStdString(), 0);
  if (const TResult<void> written = WritePdf(path); !written) {
    context_.user.Tell("Quenbrook",
                       "The chart could not be saved as " + path.toStdString() + ": " +
                           written.Error() + ".  Nothing was written under that name.",
                       TMessageIcon::Error);
  }
}

void TChartWindow::Copy() {
  QApplication::clipboard()->setImage(Picture(view_->viewport()->size()));
}

void TChartWindow::Print() {
  QPrintDialog choose(&context_.printer, this);
  choose.setObjectName(QStringLiteral("printDialog"));
  if (choose.exec() != QDialog::Accepted)
    return;
  QPainter painter(&context_.printer);
  view_->render(
      &painter,
      QRectF(context_.printer.pageLayout().paintRectPixels(context_.printer.resolution())),
      view_->viewport()->rect());
}
