// The program's help window: the HTML help file in a browser pane, opened at
// the anchor of a help context (id="10001").
#pragma once

#include <QWidget>
#include <string>

class QTextBrowser;

namespace pelko::qt {

class HelpWindow : public QWidget {
  public:
    HelpWindow();
    // Shows the file at the topic of the context number. A file that does
    // not exist shows nothing.
    void showTopic(const std::string& helpFile, int context);
    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_;
};

}  // namespace pelko::qt
