#include "qt/help_viewer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "core/messages/help_texts.h"
#include "platform/drives.h"
#include "qt/fonts.h"

namespace zv::qt {

HelpViewer::HelpViewer() : QWidget(nullptr) {
  setObjectName(QStringLiteral("HelpViewer"));
  setAccessibleName(QStringLiteral("ヘルプ"));
  setWindowTitle(QStringLiteral("Zorvex 32+ ヘルプ"));
  setFont(toQFont(FontSpec{"ＭＳ Ｐゴシック", 10}));
  resize(640, 520);

  auto* layout = new QVBoxLayout(this);
  auto* bar = new QHBoxLayout;
  auto* contents = new QPushButton(QStringLiteral("目次(&C)"), this);
  auto* search = new QPushButton(QStringLiteral("キーワード(&K)"), this);
  auto* back = new QPushButton(QStringLiteral("戻る(&B)"), this);
  auto* close = new QPushButton(QStringLiteral("閉じる(&X)"), this);
  contents->setObjectName(QStringLiteral("contents"));
  search->setObjectName(QStringLiteral("search"));
  back->setObjectName(QStringLiteral("back"));
  close->setObjectName(QStringLiteral("close"));
  for (auto* b : {contents, search, back}) bar->addWidget(b);
  bar->addStretch(1);
  bar->addWidget(close);
  layout->addLayout(bar);

  searchPanel_ = new QWidget(this);
  auto* searchLayout = new QVBoxLayout(searchPanel_);
  searchLayout->setContentsMargins(0, 0, 0, 0);
  searchLayout->addWidget(
      new QLabel(QStringLiteral("調べたい言葉を入力してください:"), searchPanel_));
  searchText_ = new QLineEdit(searchPanel_);
  searchText_->setObjectName(QStringLiteral("keyword"));
  keywordList_ = new QListWidget(searchPanel_);
  keywordList_->setObjectName(QStringLiteral("keywords"));
  keywordList_->setMaximumHeight(150);
  searchLayout->addWidget(searchText_);
  searchLayout->addWidget(keywordList_);
  searchPanel_->hide();
  layout->addWidget(searchPanel_);

  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("page"));
  browser_->setOpenLinks(true);
  layout->addWidget(browser_, 1);

  connect(contents, &QPushButton::clicked, this, [this] { showContents(); });
  connect(search, &QPushButton::clicked, this, [this] { showKeywordSearch(); });
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  connect(searchText_, &QLineEdit::textChanged, this,
          [this](const QString& t) { filterKeywords(t); });
  connect(searchText_, &QLineEdit::returnPressed, this, [this] { openKeyword(); });
  connect(keywordList_, &QListWidget::itemActivated, this, [this] { openKeyword(); });
  connect(keywordList_, &QListWidget::itemClicked, this, [this] { openKeyword(); });
}

void HelpViewer::setHelpFile(const std::string& helpFile) {
  if (helpFile == helpFile_ && !folder_.isEmpty()) return;
  helpFile_ = helpFile;
  try {
    folder_ = QString::fromStdString(hostPath(helpFile));
  } catch (const std::exception&) {
    folder_.clear();
  }
  // An installed program keeps its files in the user's data folder; the help stays with the
  // installation.
  if (folder_.isEmpty() || !QFileInfo::exists(folder_)) {
    QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/zorvex32/ZORVEX.HLP");
    if (QFileInfo(installed).isDir()) folder_ = QDir(installed).canonicalPath();
  }
  browser_->setSearchPaths({folder_});
  loadKeywords();
}

void HelpViewer::showPage(const QString& page) {
  QString file = page.section('#', 0, 0);
  if (folder_.isEmpty() || !QFileInfo(QDir(folder_).filePath(file)).isFile()) {
    QString text = QString::fromStdString(helpPageMissingText(helpFile_, file.toStdString()));
    browser_->setHtml(
        QStringLiteral("<h2>%1</h2><p>%2</p>")
            .arg(QString::fromUtf8(kHelpPageMissingTitle).toHtmlEscaped(), text.toHtmlEscaped()));
    return;
  }
  browser_->setSource(QUrl::fromLocalFile(QDir(folder_).filePath(file)));
  QString anchor = page.section('#', 1);
  if (!anchor.isEmpty()) browser_->scrollToAnchor(anchor);
}

void HelpViewer::showTopic(int context) {
  searchPanel_->hide();
  showPage(QString::number(context) + QStringLiteral(".html"));
}

void HelpViewer::showContents() {
  searchPanel_->hide();
  showPage(QStringLiteral("index.html"));
}

void HelpViewer::showKeywordSearch() {
  showPage(QStringLiteral("keywords.html"));
  searchPanel_->show();
  searchText_->clear();
  filterKeywords(QString());
  searchText_->setFocus();
}

void HelpViewer::loadKeywords() {
  keywords_.clear();
  QFile file(QDir(folder_).filePath(QStringLiteral("keywords.html")));
  if (folder_.isEmpty() || !file.open(QIODevice::ReadOnly)) return;
  QString html = QString::fromUtf8(file.readAll());
  static const QRegularExpression link(QStringLiteral("<li><a href=\"([^\"]+)\">([^<]+)</a>"));
  for (auto it = link.globalMatch(html); it.hasNext();) {
    auto m = it.next();
    keywords_.push_back({m.captured(2), m.captured(1)});
  }
}

void HelpViewer::filterKeywords(const QString& text) {
  keywordList_->clear();
  for (const auto& [word, page] : keywords_) {
    if (text.isEmpty() || word.contains(text, Qt::CaseInsensitive)) {
      auto* item = new QListWidgetItem(word, keywordList_);
      item->setData(Qt::UserRole, page);
    }
  }
  if (keywordList_->count() > 0) keywordList_->setCurrentRow(0);
}

void HelpViewer::openKeyword() {
  QListWidgetItem* item = keywordList_->currentItem();
  if (item) showPage(item->data(Qt::UserRole).toString());
}

QString HelpViewer::currentPage() const { return browser_->source().fileName(); }

QString HelpViewer::currentTitle() const { return browser_->documentTitle(); }

}  // namespace zv::qt
