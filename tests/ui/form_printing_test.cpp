// Report pages played onto PDF and PNG files, where they land on paper, and the preview.
#include <sys/stat.h>

#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "platform/page_player.h"
#include "tests/support/ledger_like_report.h"
#include "ui/form_preview_dialog.h"
#include "ui/form_printout.h"

namespace fs = std::filesystem;

namespace {

std::string PdfText(const std::string& path) {
  QProcess process;
  process.start("pdftotext", {"-layout", QString::fromStdString(path), "-"});
  process.waitForFinished(60000);
  return process.readAllStandardOutput().toStdString();
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

class FormPrintingTest : public QObject {
  Q_OBJECT

 private slots:
  void PdfHoldsEveryPageAndItsTexts() {
    QTemporaryDir folder;
    const std::string path = (fs::path(folder.path().toStdString()) / "ledger.pdf").string();
    const TResult<void> written = WriteReportPdf(TLedgerLikeReport(3), path);
    QVERIFY2(written, written ? "" : written.Error().c_str());
    const std::string text = PdfText(path);
    QCOMPARE(std::count(text.begin(), text.end(), '\f'), 3);
    for (const char* expected : {"Account Ledger: Café Checking", "Description/Payable To",
                                 "P1 R2 C1", "P2 R45 C7", "P3 R30 C3", "Page 3, 12/07/2026"})
      QVERIFY2(text.find(expected) != std::string::npos, expected);
    QCOMPARE(fs::directory_iterator(folder.path().toStdString())->path().filename().string(),
             std::string("ledger.pdf"));  // no temporary file left beside it
  }

  void FailedPdfLeavesNothing() {
    QTemporaryDir folder;
    const fs::path base(folder.path().toStdString());
    TResult<void> written =
        WriteReportPdf(TLedgerLikeReport(1), (base / "missing" / "x.pdf").string());
    QVERIFY(!written);
    QVERIFY2(written.Error().find("missing/x.pdf") != std::string::npos, written.Error().c_str());
    QVERIFY(!fs::exists(base / "missing"));
    // A report whose page format is missing leaves an older file as it was, and nothing else.
    std::ofstream(base / "old.pdf") << "older";
    written = WriteReportPdf(TLedgerLikeReport(2, 7), (base / "old.pdf").string());
    QVERIFY(!written);
    QVERIFY2(written.Error().find("page format 7") != std::string::npos, written.Error().c_str());
    QCOMPARE(Slurp(base / "old.pdf"), std::string("older"));
    QCOMPARE(std::distance(fs::directory_iterator(base), fs::directory_iterator()), 1);
  }

  void PdfTakesTheModeOfTheFileItReplaces() {
    QTemporaryDir folder;
    const fs::path path = fs::path(folder.path().toStdString()) / "plan.pdf";
    const mode_t mask = ::umask(022);
    QVERIFY(WriteReportPdf(TLedgerLikeReport(1), path.string()));
    const auto mode = [&] { return fs::status(path).permissions() & fs::perms::mask; };
    QCOMPARE(mode(), fs::perms(0644));  // a new file as any new file of the user's
    fs::permissions(path, fs::perms(0640));
    QVERIFY(WriteReportPdf(TLedgerLikeReport(1), path.string()));
    QCOMPARE(mode(), fs::perms(0640));
    ::umask(mask);
  }

  void PngsOnWhite() {
    QTemporaryDir folder;
    const std::string prefix = folder.path().toStdString() + "/page";
    const TResult<std::vector<std::string>> written =
        WriteReportPngs(TLedgerLikeReport(2), prefix, 50);
    QVERIFY(written);
    QCOMPARE(*written, (std::vector<std::string>{prefix + "-1.png", prefix + "-2.png"}));
    QImage image(QString::fromStdString((*written)[1]));
    QCOMPARE(image.size(), QSize(425, 549));  // 216 x 279 mm at 50 dots per inch
    QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
    int dark = 0;  // the table's rules and texts
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x)
        dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    }
    QVERIFY(dark > 10000);
    QVERIFY(!WriteReportPngs(TLedgerLikeReport(2), prefix, 5000));
    QVERIFY(!WriteReportPngs(TLedgerLikeReport(2, 7), prefix + "x", 50));
    QVERIFY(!fs::exists(prefix + "x-1.png"));
  }

  void PrintsOnA4Paper() {
    QTemporaryDir folder;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath("printed.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    QVERIFY(PrintReport(TLedgerLikeReport(2), printer, nullptr));
    QCOMPARE(printer.docName(), QString("Account Ledger Report"));
    const std::string text = PdfText(folder.filePath("printed.pdf").toStdString());
    QCOMPARE(std::count(text.begin(), text.end(), '\f'), 2);
    QVERIFY(text.find("P2 R45 C7") != std::string::npos);
  }

  void PageLiesCentredOnThePrintableArea() {
    struct {
      TPageSize size;
      QRect printable;
      QRect expected;
    } cases[] = {
        {{216, 279}, {0, 0, 3000, 3000}, {420, 105, 2160, 2790}},  // larger paper
        {{216, 279}, {50, 50, 2000, 2700}, {-30, 5, 2160, 2790}},  // smaller paper
        {{0, 0}, {10, 20, 300, 400}, {10, 20, 300, 400}},          // the whole band
    };
    for (const auto& c : cases)
      QCOMPARE(PageRectOnDevice(c.size, c.printable, {10, 10}), c.expected);
    QCOMPARE(PageRectOnDevice({216, 279}, {0, 0, 100, 100}, {0.99, 1.01}).size(),
             QSize(213, 281));  // truncated
  }

  void PreviewMovesBetweenPages() {
    struct {
      int pages;
      std::vector<const char*> clicks;  // buttons pressed in turn
      int page;
      bool previous, next;
    } cases[] = {
        {1, {}, 1, false, false},
        {1, {"next"}, 1, false, false},
        {3, {}, 1, false, true},
        {3, {"next"}, 2, true, true},
        {3, {"next", "next"}, 3, true, false},
        {3, {"next", "next", "previous"}, 2, true, true},
    };
    for (const auto& c : cases) {
      TLedgerLikeReport report(c.pages);
      QPrinter printer;
      TFormPreviewDialog dialog(report, printer, QSize(820, 560));
      dialog.show();
      QCOMPARE(dialog.windowTitle(), QString("Form Preview"));
      QCOMPARE(dialog.size(), QSize(820, 560));
      for (const char* name : c.clicks) {
        auto* button = dialog.findChild<QPushButton*>(name);
        if (button->isEnabled())
          QTest::mouseClick(button, Qt::LeftButton);
      }
      QCOMPARE(dialog.CurrentPage(), c.page);
      QCOMPARE(dialog.findChild<QLabel*>("page")->text(),
               QString("Page %1 of %2").arg(c.page).arg(c.pages));
      QCOMPARE(dialog.findChild<QPushButton*>("previous")->isEnabled(), c.previous);
      QCOMPARE(dialog.findChild<QPushButton*>("next")->isEnabled(), c.next);
    }
  }

  void PreviewZoomsAroundTheClickAndKeepsItsSize() {
    TLedgerLikeReport report(2);
    QPrinter printer;
    TFormPreviewDialog dialog(report, printer, QSize(820, 560));
    dialog.show();
    TFormWindow* form = dialog.FormWindow();
    QScrollBar* h = form->horizontalScrollBar();
    QScrollBar* v = form->verticalScrollBar();
    const int m = TFormWindow::kMargin;
    QCOMPARE(form->ZoomLevel(), 1);
    QTest::mouseClick(form->viewport(), Qt::LeftButton, {}, QPoint(100, 60));
    QCOMPARE(form->ZoomLevel(), 2);
    QCOMPARE(h->value(), m + 2 * (0 - m) + 100);
    QCOMPARE(v->value(), m + 2 * (0 - m) + 60);
    QTest::mouseClick(form->viewport(), Qt::LeftButton, {}, QPoint(100, 60));
    QCOMPARE(form->ZoomLevel(), 2);  // no further
    QTest::mouseClick(form->viewport(), Qt::RightButton, {}, QPoint(10, 20));
    QCOMPARE(form->ZoomLevel(), 1);
    QCOMPARE(v->value(), (m + 2 * (0 - m) + 60 - m - 20) / 2 + m);
    QTest::mouseClick(form->viewport(), Qt::RightButton);
    QTest::mouseClick(form->viewport(), Qt::RightButton);
    QCOMPARE(form->ZoomLevel(), 0);
    QCOMPARE(form->VirtualSize().height(),
             static_cast<int>(279 * form->logicalDpiY() / 25.4 / 2) + 2 * m);
    // The wheel: a line per notch, a page with Control.
    dialog.resize(500, 300);
    QTest::qWait(0);
    const int before = v->value();
    QWheelEvent notch(QPointF(5, 5), form->mapToGlobal(QPointF(5, 5)), {}, {0, -120}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form->viewport(), &notch);
    QCOMPARE(v->value(), before + TFormWindow::kLine);
    QWheelEvent page(QPointF(5, 5), form->mapToGlobal(QPointF(5, 5)), {}, {0, 120}, Qt::NoButton,
                     Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form->viewport(), &page);
    QCOMPARE(v->value(), std::max(0, before + TFormWindow::kLine - v->pageStep()));
    QCOMPARE(dialog.size(), QSize(500, 300));
    QCOMPARE(v->pageStep(), form->viewport()->height());
  }
};

QTEST_MAIN(FormPrintingTest)
#include "form_printing_test.moc"
