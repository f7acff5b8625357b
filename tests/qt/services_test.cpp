#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>

#include "platform/drives.h"
#include "qt/desktop_launch.h"
#include "qt/fonts.h"
#include "qt/help_viewer.h"
#include "qt/qt_services.h"
#include "tests/qt/qt_test_support.h"

namespace zv::qt {
namespace {

TEST(QtServicesTest, MessageBoxHasJapaneseButtonsAndReturnsTheAnswer) {
  QtServices services;
  QStringList labels;
  QString text, title;
  test::answerNextMessageBox(QStringLiteral("いいえ"), [&](QMessageBox* box) {
    labels.clear();
    for (QAbstractButton* b : box->buttons()) labels << b->text();
    text = box->text();
    title = box->windowTitle();
  });
  MsgAnswer a = services.messageBox("終了してもいいですか\r\n2 行目", MsgButtons::YesNoCancel,
                                    MsgIcon::Question, "お疲れ様でした");
  EXPECT_EQ(a, MsgAnswer::No);
  EXPECT_TRUE(labels.contains(QStringLiteral("はい")));
  EXPECT_TRUE(labels.contains(QStringLiteral("いいえ")));
  EXPECT_TRUE(labels.contains(QStringLiteral("キャンセル")));
  EXPECT_EQ(text, QStringLiteral("終了してもいいですか\n2 行目"));
  EXPECT_EQ(title, QStringLiteral("お疲れ様でした"));

  // One Japanese font for the whole text, the backslashes of a path included.
  QString family;
  test::answerNextMessageBox(QStringLiteral("OK"),
                             [&](QMessageBox* box) { family = box->font().family(); });
  EXPECT_EQ(services.messageBox("C:\\データ\\a.txt を削除します", MsgButtons::OK,
                                MsgIcon::Information, "情報"),
            MsgAnswer::OK);
  EXPECT_EQ(family, fontFamily(""));

  // Once answered, the keys are back in the window that asked.
  QWidget asking;
  asking.show();
  asking.activateWindow();
  test::settle();
  ASSERT_EQ(QApplication::activeWindow(), &asking);
  QWidget* activeInBox = nullptr;
  test::answerNextMessageBox(QStringLiteral("OK"),
                             [&](QMessageBox*) { activeInBox = QApplication::activeWindow(); });
  services.messageBox("完了しました", MsgButtons::OK, MsgIcon::Information, "情報");
  test::settle();
  EXPECT_NE(activeInBox, &asking);
  EXPECT_EQ(QApplication::activeWindow(), &asking);
}

TEST(QtServicesTest, ScreenMetricsClipboardAndInputBox) {
  QtServices services;
  EXPECT_GT(services.twipsPerPixelX(), 0);
  EXPECT_NEAR(services.screenWidth() / services.twipsPerPixelX(),
              QGuiApplication::primaryScreen()->geometry().width(), 0.5);
  services.setClipboardText("ISH テキスト");
  EXPECT_EQ(services.clipboardText(), "ISH テキスト");

  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [timer] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QInputDialog*>(w);
      if (!dialog || !dialog->isVisible()) continue;
      timer->stop();
      timer->deleteLater();
      dialog->setTextValue(QStringLiteral("新しいフォルダ"));
      dialog->accept();
    }
  });
  timer->start(20);
  auto answer = services.inputBox("名前を入力してください", "新規", "");
  ASSERT_TRUE(answer);
  EXPECT_EQ(*answer, "新しいフォルダ");
}

TEST(QtServicesTest, OpeningAMissingFileFailsWithoutStartingAnything) {
  QtServices services;
  EXPECT_FALSE(services.shellOpen("C:\\no\\such\\file.lzh"));
  EXPECT_FALSE(services.startFileManager("C:\\no\\such\\folder"));
}

TEST(QtServicesTest, HelpShowsTopicsContentsAndKeywordsAndCloses) {
  QtServices services;
  std::string helpFile = windowsPath(ZV_TEST_HELP_DIR);
  for (int context : {2000, 3000, 5000, 6000}) {
    services.help(helpFile, kHelpContext, context);
    ASSERT_NE(services.helpViewer(), nullptr);
    EXPECT_EQ(services.helpViewer()->currentPage(), QString::number(context) + ".html");
    EXPECT_FALSE(services.helpViewer()->currentTitle().isEmpty());
  }
  services.help(helpFile, kHelpContext, 5000);
  EXPECT_EQ(services.helpViewer()->currentTitle(), QStringLiteral("圧縮する"));
  test::screenshot(services.helpViewer(), "help_5000");

  services.help(helpFile, kHelpContents, 0);
  EXPECT_EQ(services.helpViewer()->currentPage(), QStringLiteral("index.html"));

  services.help(helpFile, kHelpKeySearch, 0);
  HelpViewer* viewer = services.helpViewer();
  EXPECT_GE(viewer->keywords().size(), 10u);
  auto* search = viewer->findChild<QLineEdit*>("keyword");
  auto* list = viewer->findChild<QListWidget*>("keywords");
  ASSERT_TRUE(search && list);
  search->setText(QStringLiteral("自己解凍"));
  ASSERT_EQ(list->count(), 1);
  QMetaObject::invokeMethod(search, "returnPressed");
  EXPECT_EQ(viewer->currentPage(), QStringLiteral("6000.html"));
  test::screenshot(viewer, "help_keywords");

  // Closing names the help file: another file's close leaves this viewer alone.
  services.help("C:\\other\\HELP.HLP", kHelpQuit, 0);
  EXPECT_TRUE(viewer->isVisible());
  services.help(helpFile, kHelpQuit, 0);
  EXPECT_FALSE(viewer->isVisible());
}

TEST(QtServicesTest, HelpListsTheKeysThatStandInForTheMouse) {
  QtServices services;
  services.help(windowsPath(ZV_TEST_HELP_DIR), kHelpKeySearch, 0);
  HelpViewer* viewer = services.helpViewer();
  auto* search = viewer->findChild<QLineEdit*>("keyword");
  ASSERT_NE(search, nullptr);
  search->setText(QStringLiteral("キーボード"));
  QMetaObject::invokeMethod(search, "returnPressed");
  EXPECT_EQ(viewer->currentPage(), QStringLiteral("keys.html"));
  EXPECT_EQ(viewer->currentTitle(), QStringLiteral("キーボードでの操作"));
  QString text = viewer->findChild<QTextBrowser*>("page")->toPlainText();
  for (const char* key : {"Tab", "Space", "Ctrl+↑", "Ctrl+Space", "Shift+F10",
                          "アプリケーションキー", "Delete", "F2", "F5", "F6", "Ctrl+C", "Ctrl+V"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(key))) << key;
  viewer->resize(760, 900);
  test::screenshot(viewer, "help_keys");
  viewer->findChild<QTextBrowser*>("page")->scrollToAnchor(QStringLiteral("fileutility"));
  test::screenshot(viewer, "help_keys_fileutility");
}

TEST(QtServicesTest, MissingHelpSaysSoInJapanese) {
  QtServices services;
  services.help("C:\\no\\such\\ZORVEX.HLP", kHelpContext, 2000);
  ASSERT_NE(services.helpViewer(), nullptr);
  auto* page = services.helpViewer()->findChild<QTextBrowser*>("page");
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(page->toPlainText().contains(QStringLiteral("ヘルプを表示できません")));
}

TEST(DesktopLaunchTest, ExecLinesBecomeArgumentVectors) {
  auto a = launchFromExec("gedit %U", "/tmp/a b.txt");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->program, "gedit");
  EXPECT_EQ(a->arguments, QStringList{"/tmp/a b.txt"});
  auto b = launchFromExec("\"/opt/my editor/bin/ed\" --new-window %f %i", "/x");
  ASSERT_TRUE(b);
  EXPECT_EQ(b->program, "/opt/my editor/bin/ed");
  EXPECT_EQ(b->arguments, (QStringList{"--new-window", "/x"}));
  // No field code: the file goes last. A file name with shell characters stays one argument.
  auto c = launchFromExec("nautilus --new-window", "/tmp/$(rm -rf ~);.txt");
  ASSERT_TRUE(c);
  EXPECT_EQ(c->arguments, (QStringList{"--new-window", "/tmp/$(rm -rf ~);.txt"}));
  EXPECT_EQ(launchFromExec("--file=%f 100%%", "/y")->arguments, QStringList{"100%"});
  EXPECT_FALSE(launchFromExec("", "/x"));
}

TEST(DesktopLaunchTest, EntriesThatNeedATerminalAreMarkedAndWrapped) {
  QDir home(QDir::temp().filePath(
      QStringLiteral("zv_entries_%1").arg(QCoreApplication::applicationPid())));
  home.mkpath(QStringLiteral("applications"));
  QFile f(home.filePath(QStringLiteral("applications/tv.desktop")));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Text));
  f.write("[Desktop Entry]\nName=tv\nExec=vim %F\nTerminal=true\n[Desktop Action x]\nExec=other\n");
  f.close();
  QByteArray old = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", home.absolutePath().toUtf8());
  auto entry = desktopEntry(QStringLiteral("tv.desktop"));
  qputenv("XDG_DATA_HOME", old);
  home.removeRecursively();
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->exec, QStringLiteral("vim %F")) << "only the main entry's Exec counts";
  EXPECT_TRUE(entry->terminal);
  if (auto wrapped = inTerminal(Launch{QStringLiteral("vim"), {QStringLiteral("/a b")}})) {
    EXPECT_EQ(wrapped->arguments.mid(wrapped->arguments.size() - 2),
              (QStringList{QStringLiteral("vim"), QStringLiteral("/a b")}));
    EXPECT_NE(wrapped->program, QStringLiteral("vim"));
  }
}

// The progress dialog of library runs: shown with its line, moved on, cancelled, hidden; a run
// after a cancel starts uncancelled.
TEST(QtServicesTest, ProgressDialogMovesOnAndCancels) {
  QtServices services;
  services.showProgress("処理中です", "書庫 C:\\out\\a.lzh", true);
  QProgressDialog* dialog = services.progressDialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(services.stepProgress("C:\\out\\a.lzh\nreadme.txt", 500));
  EXPECT_EQ(dialog->value(), 500);
  EXPECT_TRUE(dialog->labelText().contains("readme.txt"));
  test::screenshot(dialog, "progress");
  dialog->cancel();
  EXPECT_TRUE(services.stepProgress("", 600));
  services.hideProgress();
  EXPECT_FALSE(dialog->isVisible());
  services.showProgress("処理中です", "書庫 C:\\b.lzh", false);
  EXPECT_FALSE(services.stepProgress("", 0));
  EXPECT_EQ(dialog->maximum(), 0);  // no total: it only shows that work goes on
}

// Fills and closes the field dialog once it shows.
void answerFieldsDialog(const QStringList& values, const QString& button) {
  auto* timer = new QTimer;
  timer->setInterval(20);
  QObject::connect(timer, &QTimer::timeout, [=] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() != QStringLiteral("fieldsDialog") || !w->isVisible()) continue;
      QList<QLineEdit*> edits = w->findChildren<QLineEdit*>();
      for (int i = 0; i < edits.size() && i < values.size(); ++i) edits[i]->setText(values[i]);
      for (QPushButton* b : w->findChildren<QPushButton*>()) {
        if (b->text() != button) continue;
        timer->stop();
        timer->deleteLater();
        b->click();
        return;
      }
    }
  });
  timer->start();
}

// The field dialog gives the values as typed, announces each field by its label, and gives
// nothing on キャンセル; the choice box gives the index of the button pressed.
TEST(QtServicesTest, FieldDialogAndChoiceBoxGiveWhatTheUserChose) {
  QtServices services;
  QString announced;
  answerFieldsDialog({QStringLiteral("配布用"), QStringLiteral("展開先")}, QStringLiteral("OK"));
  QTimer::singleShot(10, [&] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* e = w->findChild<QLineEdit*>(QStringLiteral("sfxTitle")))
        announced = e->accessibleName();
  });
  auto values =
      services.fieldsBox("自己解凍書庫の設定", "a.lzh から作る自己解凍書庫",
                         {{"タイトル：", "a", "sfxTitle"}, {"解凍先：", "", "sfxFolder"}});
  ASSERT_TRUE(values.has_value());
  EXPECT_EQ(*values, (std::vector<std::string>{"配布用", "展開先"}));
  EXPECT_EQ(announced, QStringLiteral("タイトル"));
  answerFieldsDialog({}, QStringLiteral("キャンセル"));
  EXPECT_FALSE(services.fieldsBox("t", "c", {{"x：", "", "x"}}).has_value());

  // In the middle of a busy run the question shows the arrow; the hourglass comes back after.
  services.setBusy(true);
  bool arrow = false;
  test::answerNextMessageBox(QStringLiteral("すべて上書き"),
                             [&](QMessageBox*) { arrow = !QApplication::overrideCursor(); });
  EXPECT_EQ(services.choiceBox("a.txt", "上書きの確認", {"はい", "すべて上書き", "いいえ"}, 2, 2),
            1);
  EXPECT_TRUE(arrow);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  services.setBusy(false);
}

}  // namespace
}  // namespace zv::qt
