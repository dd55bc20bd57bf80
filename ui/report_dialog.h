#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/date_value.h"

class QComboBox;
class QFormLayout;
class QLineEdit;
class QListWidget;
class QMimeData;
class QPrinter;
class QPushButton;
class TClock;
class TFormData;
class TQtUserPort;
class TVorlaConfig;
class TVorlaData;

/// What every report dialog works with: the open budget (which reports only read), today's
/// date, the configuration that keeps the dialogs' choices, the program's one printer and the
/// user port for messages and the filter dialog.
struct TReportContext {
  TVorlaData& document;
  const TClock& clock;
  TVorlaConfig& config;
  QPrinter& printer;
  TQtUserPort& user;
};

/// The common part of the six report dialogs: their option controls on top, then the buttons
/// "&Print", "Save as PDF...", "Pre&view", "Copy to Clipboard", "Export to File..." and "Close".
/// Every action makes a fresh report from the dialog's options, so what comes out always shows
/// the budget as it is now.
class TReportDialog : public QDialog {
  Q_OBJECT

 public:
  ~TReportDialog() override;

  /// The report the dialog's options give now; null (after telling the user why) when an
  /// option is missing or wrong.
  virtual std::unique_ptr<TFormData> MakeReport() = 0;

  /// The actions of the buttons.
  void Print();
  void Preview();
  void SaveAsPdf();
  void CopyToClipboard();
  void ExportToFile();

  /// The size the preview opens at: the stored one, else three quarters of `screen` but at least
  /// 780 by 520.
  static QSize PreviewSize(const TVorlaConfig& config, QSize screen);

  void done(int result) override;

  /// Where "Copy to Clipboard" places its data: the system clipboard, unless a test puts a
  /// sink of its own (one that fails, say).
  using TClipboardSink = std::function<void(std::unique_ptr<QMimeData>)>;
  void SetClipboardSink(TClipboardSink sink) { clipboardSink_ = std::move(sink); }

 protected:
  TReportDialog(const QString& title, const QString& objectName, TReportContext context,
                QWidget* parent);

  /// The form the derived dialog fills with its own controls, above the buttons.
  QFormLayout* Options() const { return options_; }
  /// Adds a button beside "&Print" in the first row (the ledger reports' "Advanced Filter...").
  QPushButton* AddExtraButton(const QString& text, const QString& objectName);
  /// Keeps the dialog's choices in the configuration when it closes.
  virtual void StoreSettings() {}

  /// Tells the user that a report cannot be made and why (caption "Quenbrook").
  void Refuse(const std::string& text);
  /// The dates the report covers as the dialog shows them, for the name proposed when it is
  /// saved; empty for a report without dates.
  virtual QString RangeText() const { return {}; }

  TReportContext context_;

 private:
  /// The save dialog of "Save as PDF..." and "Export to File...": in the folder used last, with
  /// the report's title and dates proposed as the name. Empty when cancelled.
  QString ChooseReportFile(const QString& title, const QStringList& filters, const QString& suffix,
                           const QString& objectName, const TFormData& report);

  QFormLayout* options_;
  QWidget* buttonRow_;
  TClipboardSink clipboardSink_;
};

/// "Date &Range:" with "&From:" and "&To:": choosing a range writes its first and last day into
/// the two fields; "User Defined" leaves them for typing.
class TReportDates : public QObject {
  Q_OBJECT

 public:
  /// Adds the three rows to `form`; the combo starts at "This Month".
  TReportDates(QFormLayout& form, const TClock& clock, QObject* parent);

  /// The two dates, or nothing (the user is told, the field gets the focus) when one is not a
  /// date or the range runs backwards.
  std::optional<std::pair<TDateValue, TDateValue>> Dates(TQtUserPort& user) const;
  /// Shows a range, choosing the combo entry that gives exactly that range today, else "User
  /// Defined".
  void SetDates(TDateValue from, TDateValue to);

  QComboBox* Range() const { return range_; }
  QLineEdit* From() const { return from_; }
  QLineEdit* To() const { return to_; }
  /// "FROM to TO" as the fields show them; empty while one is empty.
  QString RangeText() const;

 private:
  void RangeChosen(int index);

  const TClock& clock_;
  QComboBox* range_;
  QLineEdit* from_;
  QLineEdit* to_;
};

/// The envelope tree as one list, indented by depth: the root, the bundles and the envelopes,
/// one of which is chosen. Preselects `chosenId`, or the root when it is not in the list.
QListWidget* MakeEnvelopeTreeList(const TVorlaData& document, uint32_t chosenId, QWidget* parent);
/// The accounts in tree order, one of which is chosen; preselects `chosenId` or the first.
QListWidget* MakeAccountList(const TVorlaData& document, uint32_t chosenId, QWidget* parent);
/// The identifier of a list's current item; nothing when none is chosen. (The envelope root of
/// a budget not yet read back from its file has the identifier 0, which is a real choice.)
std::optional<uint32_t> ChosenId(const QListWidget& list);
