#include "interface/qt/help_window.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "interface/qt/binding.h"

namespace pelko::qt {

HelpWindow::HelpWindow() : QWidget(nullptr, Qt::Window), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Pelko-Programm Hilfe"));
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(720, 620);
}

void HelpWindow::showTopic(const std::string& helpFile, int context) {
    QFileInfo info(toQ(helpFile));
    if (!info.isFile()) return;
    QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
    url.setFragment(QString::number(context));
    browser_->setSource(url);
    browser_->scrollToAnchor(QString::number(context));
    show();
    raise();
    activateWindow();
}

}  // namespace pelko::qt
