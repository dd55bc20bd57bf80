#pragma once

#include <QDialog>

#include "presentation/xview_model.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class TLedgerWindow;
class TUserPort;
class TVorlaConfig;
class TXTemplate;

/// What the template editor needs of the program: the configuration that keeps its size, the
/// ledger column widths, and the user port for messages and the envelope chooser.
struct TTemplateEditorSetup {
  TVorlaConfig* config = nullptr;
  TXViewColumnSettings columns;
  TUserPort* user = nullptr;
};

/// "Edit Transaction Template": the template's name, plan flag, period, payee and memo above a
/// ledger grid of its items, with the total of the items below. Item edits change the template
/// at once; the other fields are stored when the dialog closes. There is no cancel: Close, Esc
/// and the close box all close it the same way, once the name is acceptable.
class TXTemplatePropertiesDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kWidthKey = "XTemplateDlg.Width";
  static constexpr const char* kHeightKey = "XTemplateDlg.Height";

  TXTemplatePropertiesDialog(TXTemplate& edited, const TTemplateEditorSetup& setup,
                             QWidget* parent = nullptr);
  ~TXTemplatePropertiesDialog() override;

  TLedgerWindow& Grid() const { return *grid_; }
  /// The size the dialog opens at: the stored one, else half the screen, at least 700 by 500.
  static QSize StartSize(const TVorlaConfig* config, const QSize& screen);

  /// Closing goes through the name check whatever asked for it.
  void done(int result) override;

 private:
  bool TryClose();
  void ChooseEnvelope();
  void ShowTotal();

  TXTemplate& template_;
  TTemplateEditorSetup setup_;
  QLineEdit* name_;
  QCheckBox* inPlan_;
  QComboBox* period_;
  QLineEdit* payableTo_;
  QLineEdit* memo_;
  TLedgerWindow* grid_;
  QLabel* total_;
};
