#include "interface/qt/host.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include "interface/controls.h"
#include "interface/qt/binding.h"
#include "interface/qt/form_window.h"
#include "interface/qt/help_window.h"

namespace pelko::qt {

Host::Host() = default;
Host::~Host() = default;

void Host::minimize() {
    if (window_ && !window_->isMinimized()) window_->showMinimized();
}

// Like the next-control message the original window posted to itself: the
// focus moves once the key that asked for it has been handled.
void Host::focusNextControl() {
    QPointer<FormWindow> window = window_;
    QTimer::singleShot(0, [window] {
        if (window) window->focusNext();
    });
}

void Host::showHelp(const std::string& helpFile, int context) {
    if (!help_) help_ = std::make_unique<HelpWindow>();
    help_->showTopic(helpFile, context);
}

void Host::closeAllHelp() {
    if (help_) help_->hide();
}

// The directory chooser starts in the given directory; what the user
// confirms is the chosen directory.
bool Host::chooseDirectory(const ui::TOpenDialog& dialog, std::string& chosen) {
    QFileDialog chooser(window_, toQ(dialog.title), toQ(dialog.initialDir));
    chooser.setObjectName(QStringLiteral("OpenDialog1"));
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOption(QFileDialog::ShowDirsOnly, true);
    chooser.setOption(QFileDialog::DontUseNativeDialog, true);
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return false;
    chosen = fromQ(chooser.selectedFiles().first());
    return true;
}

void Host::quit() {
    quitRequested_ = true;
    closeAllHelp();
    if (window_) window_->allowClose();
    QCoreApplication::quit();
}

}  // namespace pelko::qt
