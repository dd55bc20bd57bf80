// The account and envelope list windows as the user drives them with the mouse and the keys.
#include <QAbstractScrollArea>
#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QtTest>
#include <memory>

#include "core/account_list.h"
#include "core/clock.h"
#include "core/document_file.h"
#include "core/envelope_list.h"
#include "core/tree_window_layout.h"
#include "core/vorla_data.h"
#include "tests/ui/ui_test_support.h"
#include "ui/account_tree_window.h"
#include "ui/envelope_chooser_dialog.h"
#include "ui/envelope_tree_window.h"
#include "ui/main_frame.h"
#include "ui/node_properties_dialog.h"
#include "ui/tree_pictures.h"
#include "ui/vorla_client.h"

using namespace ui_test;

namespace {

template <class Node>
Node& Add(TTreeItem& under, uint32_t id, const char* name) {
  auto& node = static_cast<Node&>(under.AddChild(std::make_unique<Node>(id)));
  node.SetName(name);
  return node;
}

}  // namespace

class ListWindowsTest : public QObject {
  Q_OBJECT

 private:
  // Accounts: 1 Accounts, 2 Checking, 3 Savings, 4 Bills, 5 Visa (in Bills), 6 Old.
  // Envelopes: 1 Envelopes, 2 Groceries, 3 Rent, 4 Home, 5 Power (in Home), 6 Shared.
  void Open(std::unique_ptr<TVorlaData> document = nullptr, bool tile = true) {
    document_ = document ? std::move(document) : std::make_unique<TVorlaData>(environment_);
    if (document_->Accounts().NumberOfAccounts() == 0) {
      TEnvelopeList& envelopes = document_->Envelopes();
      Add<TAssociation>(envelopes.Root(), envelopes.NewId(), "Shared");
      auto& home = Add<TBundle>(envelopes.Root(), envelopes.NewId(), "Home");
      envelopes.AddEnvelope(home, "Power", true);
      envelopes.AddEnvelope(envelopes.Root(), "Rent", false);
      envelopes.AddEnvelope(envelopes.Root(), "Groceries", true);
      TAccountList& accounts = document_->Accounts();
      Add<TAccountGroup>(accounts.Root(), accounts.NewId(), "Old");
      auto& bills = Add<TAccountGroup>(accounts.Root(), accounts.NewId(), "Bills");
      Add<TAccount>(bills, accounts.NewId(), "Visa").SetType(5);
      Add<TAccount>(accounts.Root(), accounts.NewId(), "Savings").SetType(2);
      Add<TAccount>(accounts.Root(), accounts.NewId(), "Checking");
    }
    client_ = new TVorlaClient([] { return TListDisplayOptions{}; });
    frame_ = std::make_unique<TMainFrame>(client_);
    frame_->SetCommandHandler([this](TCommandId id) { commands_.push_back(id); });
    frame_->UpdateCommands(true);
    frame_->resize(900, 700);
    frame_->show();
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    client_->SetDocument(document_.get());
    client_->ShowEnvelopeList();
    client_->ShowAccountList();
    if (tile)
      client_->TileVertically();
  }

  static QWidget* Viewport(TEnhancedListWindow* window) { return window->View()->viewport(); }
  // A point on the text of a row.
  static QPoint OnRow(TEnhancedListWindow* window, size_t row) {
    const QRect text = window->RowRect(row, 0);
    return QPoint(text.left() + 8, text.center().y());
  }
  static void Click(TEnhancedListWindow* window, size_t row,
                    Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QTest::mouseClick(Viewport(window), Qt::LeftButton, keys, OnRow(window, row));
  }
  static std::vector<std::string> SelectedNames(TEnhancedListWindow* window) {
    std::vector<std::string> names;
    for (TTreeItem* node : window->Selection().Nodes())
      names.push_back(node->Name());
    return names;
  }
  // Presses on `from`, moves over `to` with the button held, and lets go there. Gives the cursor
  // shown over the target.
  static Qt::CursorShape Drag(TEnhancedListWindow* window, size_t from, size_t to) {
    QWidget* viewport = Viewport(window);
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, OnRow(window, from));
    const QPoint target = OnRow(window, to);
    QMouseEvent move(QEvent::MouseMove, target, viewport->mapToGlobal(target), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    const Qt::CursorShape shape = viewport->cursor().shape();
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, target);
    return shape;
  }
  // The colour just inside the left end of a row's text box.
  static QColor TextBoxColour(TEnhancedListWindow* window, size_t row) {
    window->View()->viewport()->repaint();
    const QRect text = window->RowRect(row, 0);
    return Viewport(window)->grab().toImage().pixelColor(text.left() + 1, text.center().y());
  }

  TFixedClock clock_{TDateValue(6, 12, 2026), 1000};
  TQtUserPort user_{clock_};
  TMessageRecorder messages_{user_};
  TModelEnvironment environment_{user_, clock_};
  std::unique_ptr<TVorlaData> document_;
  TVorlaClient* client_ = nullptr;
  std::unique_ptr<TMainFrame> frame_;
  std::vector<TCommandId> commands_;

 private slots:
  void cleanup() {
    if (client_ != nullptr)
      client_->CloseDocumentWindows();
    frame_.reset();
    client_ = nullptr;
    document_.reset();
    messages_.messages.clear();
    commands_.clear();
  }

  void ctrlAndShiftSelectAndOnlyTheFocusedWindowHighlights() {
    Open();
    TAccountTreeWindow* window = client_->AccountWindow();
    Click(window, 2);
    Click(window, 2, Qt::ControlModifier);
    QCOMPARE(SelectedNames(window), std::vector<std::string>{"Checking"});
    Click(window, 4, Qt::ControlModifier);
    QCOMPARE(SelectedNames(window), (std::vector<std::string>{"Checking", "Bills"}));
    Click(window, 6, Qt::ShiftModifier);
    QCOMPARE(SelectedNames(window), (std::vector<std::string>{"Bills", "Visa", "Old"}));
    // Insert needs exactly one node; Delete any that have a parent.
    QVERIFY(!window->Command(110)->isEnabled());
    QVERIFY(window->Command(24325)->isEnabled());

    const QColor highlight = window->View()->palette().color(QPalette::Highlight);
    QVERIFY(window->View()->hasFocus());
    QCOMPARE(TextBoxColour(window, 5), highlight);
    client_->EnvelopeWindow()->View()->setFocus();
    QVERIFY(!window->View()->hasFocus());
    QCOMPARE(TextBoxColour(window, 5), window->View()->palette().color(QPalette::Base));
  }

  void dragMovesAnAccountIntoAGroupAndRefusesAGroupOnAnAccount() {
    Open();
    TAccountTreeWindow* window = client_->AccountWindow();
    TAccountList& accounts = document_->Accounts();
    Click(window, 2);
    QCOMPARE(Drag(window, 2, 6), Qt::BitmapCursor);
    QCOMPARE(accounts.FindNode(accounts.IdOfName("Checking"))->Parent()->Name(),
             std::string("Old"));
    QVERIFY(window->Selection().Anchor() == nullptr);

    // Rows now: 1 Accounts, 2 Savings, 3 Bills, 4 Visa, 5 Old, 6 Checking.
    QCOMPARE(Drag(window, 3, 2), Qt::ForbiddenCursor);
    QCOMPARE(accounts.FindNode(accounts.IdOfName("Bills"))->Parent(), accounts.RootItem());
    QCOMPARE(window->RowTexts().at(2), QStringLiteral("Bills: 0.00"));
  }

  void envelopeDroppedOnAnAssociationGainsAnAliasAndStays() {
    Open();
    TEnvelopeTreeWindow* window = client_->EnvelopeWindow();
    TEnvelopeList& envelopes = document_->Envelopes();
    envelopes.EnvelopeChangeBalance(envelopes.EnvelopeIdOfName("Groceries"), 2500);
    const TAmount total = envelopes.Total();
    Click(window, 2);
    QCOMPARE(Drag(window, 2, 6), Qt::BitmapCursor);
    TEnvelopeNode* shared = envelopes.FindNode(envelopes.IdOfName("Shared"));
    QCOMPARE(shared->ChildCount(), size_t{1});
    QVERIFY(dynamic_cast<TEnvelopeAlias*>(shared->FirstChild()) != nullptr);
    QCOMPARE(envelopes.Envelope(envelopes.EnvelopeIdOfName("Groceries"))->Parent(),
             envelopes.RootItem());
    QCOMPARE(shared->Balance(), TAmount(2500));
    QCOMPARE(envelopes.Total(), total);
    QVERIFY(window->RowTexts().contains(QStringLiteral("Groceries [alias]")));
  }

  void deleteCommandRemovesTheSelectedEnvelope() {
    Open();
    TEnvelopeTreeWindow* window = client_->EnvelopeWindow();
    TEnvelopeList& envelopes = document_->Envelopes();
    Click(window, 3);
    QCOMPARE(SelectedNames(window), std::vector<std::string>{"Rent"});
    QString title;
    WhenModal<TEnvelopeChooserDialog>([&title](TEnvelopeChooserDialog* dialog) {
      title = dialog->windowTitle();
      dialog->accept();
    });
    QTest::keyClick(window->View(), Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(title, QStringLiteral("Delete Envelope"));
    QCOMPARE(envelopes.EnvelopeIdOfName("Rent"), 0u);
    QVERIFY(window->Selection().Empty());
    QVERIFY(!window->Command(24325)->isEnabled());
  }

  void insertAndZeroRunThroughTheirDialogs() {
    Open();
    TEnvelopeTreeWindow* window = client_->EnvelopeWindow();
    TEnvelopeList& envelopes = document_->Envelopes();
    Click(window, 1);
    WhenModal<TNodePropertiesDialog>([](TNodePropertiesDialog* dialog) {
      dialog->findChild<QLineEdit*>(QStringLiteral("name"))->setText(QStringLiteral("Travel"));
      dialog->accept();
    });
    QTest::keyClick(window->View(), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(SelectedNames(window), std::vector<std::string>{"Travel"});
    QCOMPARE(envelopes.Envelope(envelopes.EnvelopeIdOfName("Travel"))->Parent(),
             envelopes.RootItem());

    // Rows: 1 Envelopes, 2 Travel, 3 Groceries, 4 Rent. Rent's money goes to the first choice,
    // Travel, which is selected too and keeps its own.
    envelopes.EnvelopeChangeBalance(envelopes.EnvelopeIdOfName("Rent"), 1000);
    Click(window, 4, Qt::ControlModifier);
    QVERIFY(window->Command(24516)->isEnabled());
    WhenModal<TEnvelopeChooserDialog>([](TEnvelopeChooserDialog* dialog) { dialog->accept(); });
    // The window manager of a desktop gives the activation back after the dialog; here the test
    // does.
    frame_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
    window->Command(24516)->trigger();
    QCOMPARE(envelopes.EnvelopeBalance(envelopes.EnvelopeIdOfName("Rent")), 0);
    QCOMPARE(envelopes.EnvelopeBalance(envelopes.EnvelopeIdOfName("Travel")), 1000);
  }

  // A node made by an insert command shows at once in its place, and a click on its row
  // selects it, in both list windows and for every kind of node.
  void insertedNodesShowAtOnce() {
    Open();
    struct Case {
      bool accounts;
      Qt::Key key;
      const char* name;
    };
    const Case cases[] = {{false, Qt::Key_E, "Travel"},
                          {false, Qt::Key_B, "Fun"},
                          {false, Qt::Key_A, "Pool"},
                          {true, Qt::Key_A, "Cash"},
                          {true, Qt::Key_G, "Loans"}};
    for (const Case& c : cases) {
      TEnhancedListWindow* window =
          c.accounts ? static_cast<TEnhancedListWindow*>(client_->AccountWindow())
                     : client_->EnvelopeWindow();
      const qsizetype before = window->RowTexts().size();
      // A desktop's window manager gives the activation back after each dialog; here the test
      // does.
      frame_->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(frame_.get()));
      Click(window, 1);
      WhenModal<TNodePropertiesDialog>([&c](TNodePropertiesDialog* dialog) {
        dialog->findChild<QLineEdit*>(QStringLiteral("name"))->setText(QString::fromLatin1(c.name));
        dialog->accept();
      });
      QTest::keyClick(window->View(), c.key, Qt::ControlModifier);
      const QStringList rows = window->RowTexts();
      QVERIFY2(rows.size() == before + 1,
               qPrintable(QString::fromLatin1(c.name) + QStringLiteral(": ") + rows.join('|')));
      qsizetype row = -1;
      for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i].startsWith(QString::fromLatin1(c.name)))
          row = i;
      }
      QVERIFY2(row > 0, c.name);
      Click(window, 1);
      Click(window, static_cast<size_t>(row + 1));
      QCOMPARE(SelectedNames(window), std::vector<std::string>{c.name});
    }
  }

  // A place kept from a larger screen or main window is moved (and shrunk) into the area.
  void aRestoredPlaceOutsideTheAreaComesInside() {
    auto document = std::make_unique<TVorlaData>(environment_);
    TTreeWindowLayout& layout = document->EnvelopeLayout();
    layout.x = 5000;
    layout.y = -300;
    layout.width = 4000;
    layout.height = 200;
    layout.open = true;
    Open(std::move(document), false);
    const QRect area = client_->viewport()->rect();
    const QRect placed = client_->EnvelopeWindow()->geometry();
    QVERIFY2(area.contains(placed), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                   .arg(placed.x())
                                                   .arg(placed.y())
                                                   .arg(placed.width())
                                                   .arg(placed.height())));
    QCOMPARE(placed.height(), 200);
  }

  void arrowKeysAndWheelScrollByRows() {
    Open();
    TEnvelopeTreeWindow* window = client_->EnvelopeWindow();
    window->resize(window->width(), 3 * window->RowHeight() + 60);
    QScrollBar* bar = window->View()->verticalScrollBar();
    Click(window, 1);
    QTest::keyClick(window->View(), Qt::Key_Up);
    QCOMPARE(bar->value(), 0);
    for (int i = 0; i < 5; ++i)
      QTest::keyClick(window->View(), Qt::Key_Down);
    QCOMPARE(SelectedNames(window), std::vector<std::string>{"Shared"});
    QVERIFY(window->RowRect(6, 0).bottom() < window->View()->viewport()->height());
    QVERIFY(bar->value() > 0);
    // One notch of the wheel (120 units) is one row.
    const int before = bar->value();
    QWheelEvent notch(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window->View()->viewport(), &notch);
    QCOMPARE(bar->value(), before - window->RowHeight());
  }

  void doubleClickOnTheWatchdogColumnAsksFirst() {
    Open();
    TEnvelopeTreeWindow* window = client_->EnvelopeWindow();
    TEnv* groceries =
        document_->Envelopes().Envelope(document_->Envelopes().EnvelopeIdOfName("Groceries"));
    messages_.answers = {TMessageAnswer::Yes};
    QTest::mouseDClick(Viewport(window), Qt::LeftButton, Qt::NoModifier,
                       window->RowRect(2, 1).center());
    QCOMPARE(messages_.messages.size(), size_t{1});
    QCOMPARE(messages_.messages[0].caption, std::string("Toggle Watchdog"));
    QVERIFY(messages_.messages[0].buttons == TMessageButtons::YesNoCancel);
    QVERIFY(!groceries->Watchdog());
  }

  void keysAndContextMenuReachTheMainWindow() {
    Open();
    TAccountTreeWindow* window = client_->AccountWindow();
    Click(window, 2);
    QTest::keyClick(window->View(), Qt::Key_F4, Qt::ShiftModifier);
    QTest::keyClick(window->View(), Qt::Key_F5, Qt::ShiftModifier);
    QCOMPARE(commands_, (std::vector<TCommandId>{kCmdTile, kCmdCascade}));
    // Without a ledger hook the ledger commands stay off; with one,
    // Ctrl+Enter opens the account's reconcile view.
    QVERIFY(!window->Command(115)->isEnabled());
    std::vector<std::pair<uint32_t, bool>> opened;
    client_->SetAccountLedgerHook(
        [&opened](uint32_t id, bool reconcile) { opened.emplace_back(id, reconcile); });
    QTest::keyClick(window->View(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(opened.size(), size_t{1});
    QCOMPARE(opened[0].first, document_->Accounts().IdOfName("Checking"));
    QVERIFY(opened[0].second);
    // The right button selects the row under it alone and shows the menu there; its
    // configuration and report entries run the main window's commands.
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
      QWidget* popup = QApplication::activePopupWidget();
      if (popup == nullptr)
        return;
      for (QAction* action : popup->actions())
        shown << action->text();
      popup->close();
    });
    QTest::mousePress(Viewport(window), Qt::RightButton, Qt::NoModifier, OnRow(window, 3));
    QCOMPARE(SelectedNames(window), std::vector<std::string>{"Savings"});
    QVERIFY(shown.contains(QStringLiteral("Print Account &Summary Report...")));
    QVERIFY(window->Command(110)->isEnabled());
    window->Command(141)->trigger();
    QCOMPARE(commands_.back(), kCmdAccountLedgerReport);
    window->Command(123)->trigger();
    QCOMPARE(commands_.back(), kCmdAccountListConfiguration);
  }

  // Every picture the windows draw is compiled in and draws something, at a row's size on a plain
  // screen and at a cursor's size on a doubled one; a name without a drawing gives nothing.
  void everyPictureRendersAtTwoSizes() {
    QVERIFY(TreePicture(QStringLiteral("no-such-picture"), 16, 1.0).isNull());
    const QStringList names = TreePictureNames();
    QVERIFY(names.contains(QStringLiteral("watchdog")) && names.size() > 10);
    for (const QString& name : names) {
      for (const auto& [side, ratio] : {std::pair{14, 1.0}, std::pair{32, 2.0}}) {
        const QImage image = TreePicture(name, side, ratio).toImage();
        QVERIFY2(image.width() == side * ratio && image.height() == side * ratio, qPrintable(name));
        int drawn = 0;
        for (int y = 0; y < image.height(); ++y) {
          for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
        QVERIFY2(drawn >= side * ratio, qPrintable(name));
      }
    }
  }

  // Not a check: with QUENBROOK_LIST_BUDGET and QUENBROOK_SCREENSHOT_DIR set, pictures of both
  // lists over that budget for the documentation.
  void screenshots() {
    const QString budget = qEnvironmentVariable("QUENBROOK_LIST_BUDGET");
    const QString folder = qEnvironmentVariable("QUENBROOK_SCREENSHOT_DIR");
    if (budget.isEmpty() || folder.isEmpty())
      QSKIP("No budget for screenshots given");
    TResult<std::unique_ptr<TVorlaData>> document =
        ReadDocumentFile(budget.toStdString(), environment_);
    QVERIFY2(document, document ? "" : document.Error().c_str());
    Open(std::move(document).Value());
    for (TEnhancedListWindow* window : std::initializer_list<TEnhancedListWindow*>{
             client_->AccountWindow(), client_->EnvelopeWindow()}) {
      window->showNormal();
      window->resize(440, 560);
      Click(window, 3);
      QCoreApplication::processEvents();
      const QString name = window == client_->AccountWindow() ? QStringLiteral("account-list.png")
                                                              : QStringLiteral("envelope-list.png");
      QVERIFY(window->grab().save(QDir(folder).filePath(name), "PNG"));
    }
  }
};

QTEST_MAIN(ListWindowsTest)
#include "list_windows_test.moc"
