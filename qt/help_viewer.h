// A small window showing the program's HTML help: the help "file" is a folder holding
// index.html (contents), keywords.html (keyword index) and <context number>.html topics.
#pragma once
#include <QWidget>
#include <string>
#include <utility>
#include <vector>

class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace zv::qt {

class HelpViewer : public QWidget {
 public:
  HelpViewer();

  // The help file as the windows name it (program path).
  void setHelpFile(const std::string& helpFile);
  const std::string& helpFile() const { return helpFile_; }

  void showTopic(int context);
  void showContents();
  void showKeywordSearch();

  // What is on show, for tests: the page's file name ("5000.html") and its title.
  QString currentPage() const;
  QString currentTitle() const;
  // Keyword index entries: keyword and the page (with anchor) it leads to.
  const std::vector<std::pair<QString, QString>>& keywords() const { return keywords_; }

 private:
  void showPage(const QString& page);
  void loadKeywords();
  void filterKeywords(const QString& text);
  void openKeyword();

  std::string helpFile_;
  QString folder_;
  QTextBrowser* browser_;
  QWidget* searchPanel_;
  QLineEdit* searchText_;
  QListWidget* keywordList_;
  std::vector<std::pair<QString, QString>> keywords_;
};

}  // namespace zv::qt
