// Report pages played onto PDF and PNG files, where they land on paper, and the preview.
#include <QImage>
#include <QProcess>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "app/page_player.h"
#include "tests/support/ledger_like_report.h"

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
    std::string error;
    QVERIFY2(WriteReportPdf(TLedgerLikeReport(3), path, error), error.c_str());
    const std::string text = PdfText(path);
    QCOMPARE(std::count(text.begin(), text.end(), '\f'), 3);
    for (const char* expected : {"Account Ledger: Everyday Checking", "Description/Payable To",
                                 "P1 R2 C1", "P2 R45 C7", "P3 R30 C3", "Page 3, 12/07/2026"})
      QVERIFY2(text.find(expected) != std::string::npos, expected);
    QCOMPARE(fs::directory_iterator(folder.path().toStdString())->path().filename().string(),
             std::string("ledger.pdf"));  // no temporary file left beside it
  }

  void FailedPdfLeavesNothing() {
    QTemporaryDir folder;
    const fs::path base(folder.path().toStdString());
    std::string error;
    QVERIFY(!WriteReportPdf(TLedgerLikeReport(1), (base / "missing" / "x.pdf").string(), error));
    QVERIFY2(error.find("missing/x.pdf") != std::string::npos, error.c_str());
    QVERIFY(!fs::exists(base / "missing"));
    // A report whose page format is missing leaves an older file as it was, and nothing else.
    std::ofstream(base / "old.pdf") << "older";
    error.clear();
    QVERIFY(!WriteReportPdf(TLedgerLikeReport(2, 7), (base / "old.pdf").string(), error));
    QVERIFY2(error.find("page format 7") != std::string::npos, error.c_str());
    QCOMPARE(Slurp(base / "old.pdf"), std::string("older"));
    QCOMPARE(std::distance(fs::directory_iterator(base), fs::directory_iterator()), 1);
  }

  void PngsOnWhite() {
    QTemporaryDir folder;
    const std::string prefix = folder.path().toStdString() + "/page";
    std::vector<std::string> written;
    std::string error;
    QVERIFY2(WriteReportPngs(TLedgerLikeReport(2), prefix, 50, written, error), error.c_str());
    QCOMPARE(written, (std::vector<std::string>{prefix + "-1.png", prefix + "-2.png"}));
    QImage image(QString::fromStdString(written[1]));
    QCOMPARE(image.size(), QSize(425, 549));  // 216 x 279 mm at 50 dots per inch
    QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
    int dark = 0;  // the table's rules and texts
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x)
        dark += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    }
    QVERIFY(dark > 10000);
    QVERIFY(!WriteReportPngs(TLedgerLikeReport(2), prefix, 5000, written, error));
    QVERIFY(!WriteReportPngs(TLedgerLikeReport(2, 7), prefix + "x", 50, written, error));
    QVERIFY(written.empty());
    QVERIFY(!fs::exists(prefix + "x-1.png"));
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
};

QTEST_MAIN(FormPrintingTest)
#include "form_printing_test.moc"
