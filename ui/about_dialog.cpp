#include "ui/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app/window_title.h"
#include "ui/product_image.h"

TAboutDialog::TAboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Quenbrook"));
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* picture = new QLabel(this);
  picture->setPixmap(ProductImage(64));
  row->addWidget(picture, 0, Qt::AlignTop);
  auto* text = new QVBoxLayout;
  auto* name = new QLabel(QStringLiteral("<b>Quenbrook</b>"), this);
  QFont larger = name->font();
  larger.setPointSizeF(larger.pointSizeF() * 1.4);
  name->setFont(larger);
  text->addWidget(name);
  auto* version = new QLabel(VersionText(), this);
  version->setObjectName(QStringLiteral("version"));
  text->addWidget(version);
  text->addWidget(new QLabel(QStringLiteral("Envelope budgeting for your accounts."), this));
  text->addStretch();
  row->addLayout(text);
  layout->addLayout(row);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

QString TAboutDialog::VersionText() {
  return QStringLiteral("Version %1.%2 Build %3")
      .arg(TProgramVersion::kMajor)
      .arg(TProgramVersion::kMinor)
      .arg(TProgramVersion::kBuild);
}
