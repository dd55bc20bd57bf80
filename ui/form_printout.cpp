#include "ui/form_printout.h"

#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <string>

#include "platform/page_player.h"
#include "reports/form_engine_imp.h"
#include "ui/model_text.h"

namespace {

bool Refuse(QWidget* parent, const std::string& why) {
  QMessageBox::warning(parent, QStringLiteral("Quenbrook"),
                       QStringLiteral("The report could not be printed.\n\n") + FromMessage(why));
  return false;
}

}  // namespace

bool PrintReport(const CFWEngine& report, QPrinter& printer, QWidget* parent) {
  printer.setDocName(FromModel(report.GetTitle()));
  const int count = report.GetPageCount();
  if (count < 1)
    return Refuse(parent, "The report has no pages.");
  int first = 1;
  int last = count;
  if (printer.fromPage() > 0) {
    first = std::clamp(printer.fromPage(), 1, count);
    last = std::clamp(printer.toPage() > 0 ? printer.toPage() : count, first, count);
  }
  QPainter painter;
  if (!painter.begin(&printer))
    return Refuse(parent, "The printer could not be started.");
  // The painter's origin is the printable area's corner unless the printer is set to the full
  // page, when it is the paper's.
  const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
  const QRect printable = printer.fullPage() ? paint : QRect(QPoint(0, 0), paint.size());
  const QSizeF dotsPerMm(printer.logicalDpiX() / 25.4, printer.logicalDpiY() / 25.4);
  CFWEngineImp engine(report);
  std::string error;
  for (int page = first; page <= last; ++page) {
    if (page > first && !printer.newPage()) {
      error = "The printer did not take the next page.";
      break;
    }
    if (!PrintReportPage(engine, report, page, painter, printable, dotsPerMm, error))
      break;
  }
  if (!error.empty()) {
    printer.abort();
    painter.end();
    return Refuse(parent, error);
  }
  if (!painter.end() || printer.printerState() == QPrinter::Error)
    return Refuse(parent, "The printer reported an error.");
  return true;
}
