#include "ui/report_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "app/vorla_config.h"
#include "core/account_list.h"
#include "core/account_node.h"
#include "core/clock.h"
#include "core/edit_values.h"
#include "core/envelope_list.h"
#include "core/envelope_node.h"
#include "core/save_file.h"
#include "core/vorla_data.h"
#include "planning/date_range.h"
#include "platform/page_player.h"
#include "reports/form_data.h"
#include "ui/form_preview_dialog.h"
#include "ui/form_printout.h"
#include "ui/model_text.h"
#include "ui/qt_user_port.h"

namespace {

constexpr const char* kPreviewWidth = "Preview.Width";
constexpr const char* kPreviewHeight = "Preview.Height";
constexpr const char* kReportFolder = "Reports.Folder";
constexpr int kPreviewMinWidth = 780;
constexpr int kPreviewMinHeight = 520;
constexpr const char* kPrivateClipboardFormat = "VORLA ENVELOPE LEDGER";
constexpr int kPrivateClipboardBytes = 10;
// Beyond this a text is not offered to the clipboard: as UTF-16 it would take twice as much
// again, and no program that pastes it would cope.
constexpr size_t kMaxClipboardBytes = size_t{256} << 20;

// The wait cursor for as long as it lives, gone on every way out.
class TWaitCursor {
 public:
  TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

QString DocumentsFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return documents.isEmpty() ? QDir::homePath() : documents;
}

// A save dialog for one kind of file in `folder`, with `initialName` in its name box; the
// chosen path, or an empty text when cancelled.
QString ChooseSaveFile(QWidget* parent, const QString& title, const QStringList& filters,
                       const QString& suffix, const QString& objectName, const QString& folder,
                       const QString& initialName) {
  QFileDialog dialog(parent, title, folder);
  dialog.setObjectName(objectName);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(suffix);
  dialog.selectFile(initialName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return QString();
  return dialog.selectedFiles().constFirst();
}

}  // namespace

TReportDialog::TReportDialog(const QString& title, const QString& objectName,
                             TReportContext context, QWidget* parent)
    : QDialog(parent), context_(context) {
  setWindowTitle(title);
  setObjectName(objectName);
  auto* layout = new QVBoxLayout(this);
  options_ = new QFormLayout;
  layout->addLayout(options_, 1);

  buttonRow_ = new QWidget(this);
  auto* buttons = new QHBoxLayout(buttonRow_);
  buttons->setContentsMargins(0, 0, 0, 0);
  struct TButton {
    const char* text;
    const char* name;
    void (TReportDialog::*action)();
  };
  const TButton kButtons[] = {
      {"&Print", "printButton", &TReportDialog::Print},
      {"Save as PDF...", "pdfButton", &TReportDialog::SaveAsPdf},
      {"Pre&view", "previewButton", &TReportDialog::Preview},
      {"Copy to Clipboard", "clipboardButton", &TReportDialog::CopyToClipboard},
      {"Export to File...", "exportButton", &TReportDialog::ExportToFile},
  };
  for (const TButton& button : kButtons) {
    auto* push = new QPushButton(QString::fromLatin1(button.text), buttonRow_);
    push->setObjectName(QString::fromLatin1(button.name));
    push->setAutoDefault(false);
    connect(push, &QPushButton::clicked, this, button.action);
    buttons->addWidget(push);
  }
  buttons->addStretch(1);
  auto* close = new QPushButton(QStringLiteral("Close"), buttonRow_);
  close->setObjectName(QStringLiteral("closeButton"));
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(close);
  layout->addWidget(buttonRow_);
}

TReportDialog::~TReportDialog() = default;

QPushButton* TReportDialog::AddExtraButton(const QString& text, const QString& objectName) {
  auto* push = new QPushButton(text, buttonRow_);
  push->setObjectName(objectName);
  push->setAutoDefault(false);
  static_cast<QHBoxLayout*>(buttonRow_->layout())->insertWidget(2, push);
  return push;
}

void TReportDialog::done(int result) {
  StoreSettings();
  QDialog::done(result);
}

void TReportDialog::Refuse(const std::string& text) {
  context_.user.Tell("Quenbrook", text, TMessageIcon::Exclamation);
}

void TReportDialog::Print() {
  std::unique_ptr<TFormData> report = MakeReport();
  if (!report)
    return;
  // The print dialog lets the user pick the printer and the pages before anything goes out.
  QPrintDialog choose(&context_.printer, this);
  choose.setObjectName(QStringLiteral("printDialog"));
  choose.setMinMax(1, std::max(1, report->GetPageCount()));
  if (choose.exec() != QDialog::Accepted)
    return;
  // The dialog stays shut to the user while the pages go out, and takes the focus back after.
  setEnabled(false);
  PrintReport(*report, context_.printer, this);
  setEnabled(true);
  activateWindow();
}

QSize TReportDialog::PreviewSize(const TVorlaConfig& config, QSize screen) {
  const int width = std::max(kPreviewMinWidth, screen.width() * 3 / 4);
  const int height = std::max(kPreviewMinHeight, screen.height() * 3 / 4);
  return QSize(config.Named().GetNumber(kPreviewWidth, width, 0),
               config.Named().GetNumber(kPreviewHeight, height, 0));
}

void TReportDialog::Preview() {
  std::unique_ptr<TFormData> report = MakeReport();
  if (!report)
    return;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize size = PreviewSize(context_.config, screen != nullptr ? screen->size() : QSize());
  setEnabled(false);
  {
    TFormPreviewDialog preview(*report, context_.printer, size, this);
    preview.exec();
    context_.config.Named().SetNumber(kPreviewWidth, preview.width(), 0);
    context_.config.Named().SetNumber(kPreviewHeight, preview.height(), 0);
  }
  setEnabled(true);
  activateWindow();
}

QString TReportDialog::ChooseReportFile(const QString& title, const QStringList& filters,
                                        const QString& suffix, const QString& objectName,
                                        const TFormData& report) {
  // Reports go where the last one went; the name says which report and which dates.
  QString folder = QString::fromStdString(context_.config.Named().GetText(kReportFolder, "", 0));
  if (folder.isEmpty() || !QDir(folder).exists())
    folder = DocumentsFolder();
  QString name = FromModel(report.GetTitle());
  if (const QString range = RangeText(); !range.isEmpty())
    name += QLatin1Char(' ') + range;
  name.replace(QLatin1Char('/'), QLatin1Char('-'));
  const QString path = ChooseSaveFile(this, title, filters, suffix, objectName, folder,
                                      name + QLatin1Char('.') + suffix);
  if (!path.isEmpty()) {
    context_.config.Named().SetText(kReportFolder, QFileInfo(path).absolutePath().toStdString(), 0);
  }
  return path;
}

void TReportDialog::SaveAsPdf() {
  std::unique_ptr<TFormData> report = MakeReport();
  if (!report)
    return;
  const QString path =
      ChooseReportFile(QStringLiteral("Save Report as PDF"), {QStringLiteral("PDF file (*.pdf)")},
                       QStringLiteral("pdf"), QStringLiteral("pdfFileDialog"), *report);
  if (path.isEmpty())
    return;
  TResult<void> written;
  {
    TWaitCursor wait;
    written = WriteReportPdf(*report, QFile::encodeName(path).toStdString());
  }
  if (!written) {
    context_.user.Tell("Quenbrook",
                       "The report could not be saved as " + path.toStdString() + ": " +
                           written.Error() + ".  Nothing was written under that name.",
                       TMessageIcon::Error);
  }
}

void TReportDialog::CopyToClipboard() {
  std::unique_ptr<TFormData> report = MakeReport();
  if (!report)
    return;
  bool placed = false;
  {
    TWaitCursor wait;
    // A report of millions of rows may not fit in memory twice over; running out is told to
    // the user like a text too large, and the program goes on.
    try {
      const std::string text = report->ClipboardText();
      if (text.size() <= kMaxClipboardBytes) {
        auto data = std::make_unique<QMimeData>();
        data->setText(FromModel(text));
        // Receivers that know the older envelope ledger form recognise it by this marker.
        if (report->MarksClipboard()) {
          data->setData(QString::fromLatin1(kPrivateClipboardFormat),
                        QByteArray(kPrivateClipboardBytes, '\0'));
        }
        if (clipboardSink_)
          clipboardSink_(std::move(data));
        else
          QGuiApplication::clipboard()->setMimeData(data.release());
        placed = true;
      }
    } catch (const std::bad_alloc&) {
    }
  }
  if (!placed) {
    const TClipboardRefusal refusal = report->ClipboardRefusal();
    context_.user.Tell(refusal.caption, refusal.text, TMessageIcon::Error);
  }
}

void TReportDialog::ExportToFile() {
  std::unique_ptr<TFormData> report = MakeReport();
  if (!report)
    return;
  const QString path = ChooseReportFile(
      FromModel(report->ExportTitle()),
      {QStringLiteral("Tab delimited file (*.tab)"), QStringLiteral("Text file (*.txt)")},
      QStringLiteral("tab"), QStringLiteral("exportFileDialog"), *report);
  if (path.isEmpty())
    return;
  // Written beside the chosen name and renamed into place, so a failure leaves nothing there.
  TResult<void> written;
  {
    TWaitCursor wait;
    written = WriteFileSafely(QFile::encodeName(path).toStdString(), report->ExportText(), 0666);
  }
  if (!written) {
    context_.user.Tell("Quenbrook",
                       "The report could not be exported: " + written.Error() +
                           ".  Nothing was written under that name.",
                       TMessageIcon::Error);
  }
  activateWindow();
}

QString TReportDates::RangeText() const {
  const QString from = from_->text().trimmed();
  const QString to = to_->text().trimmed();
  return from.isEmpty() || to.isEmpty() ? QString() : from + QStringLiteral(" to ") + to;
}

TReportDates::TReportDates(QFormLayout& form, const TClock& clock, QObject* parent)
    : QObject(parent), clock_(clock) {
  range_ = new QComboBox;
  range_->setObjectName(QStringLiteral("dateRange"));
  for (const char* name : kDateRangeNames)
    range_->addItem(QString::fromLatin1(name));
  from_ = new QLineEdit;
  from_->setObjectName(QStringLiteral("fromDate"));
  to_ = new QLineEdit;
  to_->setObjectName(QStringLiteral("toDate"));
  form.addRow(QStringLiteral("Date &Range:"), range_);
  form.addRow(QStringLiteral("&From:"), from_);
  form.addRow(QStringLiteral("&To:"), to_);
  for (QLineEdit* field : {from_, to_}) {
    field->setMaxLength(static_cast<int>(TEditDate::kFocusTextLimit));
    connect(field, &QLineEdit::editingFinished, this, [this, field] {
      field->setText(
          FromModel(TEditDate().Commit(ToModel(field->text()).value_or(""), clock_).text));
    });
  }
  connect(range_, &QComboBox::currentIndexChanged, this, &TReportDates::RangeChosen);
  range_->setCurrentIndex(static_cast<int>(DateRangeKind::ThisMonth));
}

void TReportDates::RangeChosen(int index) {
  if (index < 0)
    return;
  const std::optional<TDateRange> range =
      DateRangeFor(static_cast<DateRangeKind>(index), clock_.Today());
  if (!range) {
    from_->setFocus();
    from_->selectAll();
    return;
  }
  from_->setText(FromModel(TEditDate().Show(range->from)));
  to_->setText(FromModel(TEditDate().Show(range->to)));
}

void TReportDates::SetDates(TDateValue from, TDateValue to) {
  int index = static_cast<int>(DateRangeKind::UserDefined);
  for (int kind = 1; kind < static_cast<int>(kDateRangeNames.size()); ++kind) {
    const std::optional<TDateRange> range =
        DateRangeFor(static_cast<DateRangeKind>(kind), clock_.Today());
    if (range && range->from == from && range->to == to)
      index = kind;
  }
  {
    const QSignalBlocker quiet(range_);
    range_->setCurrentIndex(index);
  }
  from_->setText(FromModel(TEditDate().Show(from)));
  to_->setText(FromModel(TEditDate().Show(to)));
}

std::optional<std::pair<TDateValue, TDateValue>> TReportDates::Dates(TQtUserPort& user) const {
  const TEditDate field;
  const TDateValue from = field.Transfer(ToModel(from_->text()).value_or(""), clock_);
  const TDateValue to = field.Transfer(ToModel(to_->text()).value_or(""), clock_);
  QLineEdit* wrong = nullptr;
  if (!from.IsValid())
    wrong = from_;
  else if (!to.IsValid() || to < from)
    wrong = to_;
  if (wrong == nullptr)
    return std::make_pair(from, to);
  user.Tell("Quenbrook",
            "Enter the report's dates as month/day/year, the \"To\" date not before the \"From\" "
            "date.",
            TMessageIcon::Exclamation);
  wrong->setFocus();
  wrong->selectAll();
  return std::nullopt;
}

namespace {

void AddChoice(QListWidget& list, const QString& text, uint32_t id, bool chosen) {
  auto* item = new QListWidgetItem(text, &list);
  item->setData(Qt::UserRole, id);
  if (chosen)
    list.setCurrentItem(item);
}

}  // namespace

QListWidget* MakeEnvelopeTreeList(const TVorlaData& document, uint32_t chosenId, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QStringLiteral("envelopeList"));
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  const TEnvelopeRoot& root = document.Envelopes().Root();
  for (const TTreeItem* node = &root; node != nullptr; node = node->NextInDisplayOrder(true)) {
    const auto* envelope = dynamic_cast<const TEnvelopeNode*>(node);
    const bool offered = node == &root || dynamic_cast<const TBundle*>(node) != nullptr ||
                         dynamic_cast<const TEnv*>(node) != nullptr;
    if (envelope == nullptr || !offered)
      continue;
    // Two blanks a level below the top, as the printed summary indents its names.
    const QString indent(2 * (node->Depth() - 1), QLatin1Char(' '));
    AddChoice(*list, indent + FromModel(node->Name()), envelope->Id(), envelope->Id() == chosenId);
  }
  if (list->currentItem() == nullptr && list->count() > 0)
    list->setCurrentRow(0);
  return list;
}

QListWidget* MakeAccountList(const TVorlaData& document, uint32_t chosenId, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QStringLiteral("accountList"));
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  for (const TTreeItem* node = document.Accounts().RootItem(); node != nullptr;
       node = node->NextInDisplayOrder(true)) {
    if (const auto* account = dynamic_cast<const TAccount*>(node))
      AddChoice(*list, FromModel(account->Name()), account->Id(), account->Id() == chosenId);
  }
  if (list->currentItem() == nullptr && list->count() > 0)
    list->setCurrentRow(0);
  return list;
}

std::optional<uint32_t> ChosenId(const QListWidget& list) {
  const QListWidgetItem* item = list.currentItem();
  if (item == nullptr)
    return std::nullopt;
  return item->data(Qt::UserRole).toUInt();
}
