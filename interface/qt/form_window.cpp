#include "interface/qt/form_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include "interface/qt/binding.h"

namespace pelko::qt {

FormWindow::FormWindow(ui::TForm& form, Qt::WindowFlags flags)
    : QWidget(nullptr, flags), form_(form) {
    setObjectName(toQ(form.name()));
    binding_ = new Binding(form_, this, [this](ui::Property p) { apply(p); });
    for (ui::Property p :
         {ui::Property::Caption, ui::Property::Color, ui::Property::Font, ui::Property::Hint})
        apply(p);
    // The design size, centred on the screen; the program may then place it.
    resize(form_.width(), form_.height());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = screen->availableGeometry();
        move(r.x() + (r.width() - form_.width()) / 2, r.y() + (r.height() - form_.height()) / 2);
    }
    designed_ = true;
}

void FormWindow::apply(ui::Property property) {
    switch (property) {
        case ui::Property::Caption:
            setWindowTitle(toQ(form_.caption()));
            break;
        case ui::Property::Bounds:
            if (!designed_) break;
            if (pos() != QPoint(form_.left(), form_.top())) move(form_.left(), form_.top());
            if (size() != QSize(form_.width(), form_.height()))
                resize(form_.width(), form_.height());
            break;
        case ui::Property::WindowState:
            if (form_.windowState() == ui::TForm::WindowState::Minimized) {
                if (!isMinimized()) showMinimized();
            } else if (isMinimized()) {
                showNormal();
            }
            break;
        case ui::Property::Visible:
            if (form_.visible() && !isVisible()) {
                show();
                raise();
                activateWindow();
            } else if (!form_.visible() && isVisible()) {
                closeAllowed_ = true;
                hide();
                closeAllowed_ = false;
            }
            break;
        default:
            applyCommon(form_, this, property);
    }
}

void FormWindow::writeBack() {
    if (binding_->applying() || !designed_) return;
    form_.setBounds(x(), y(), width(), height());
}

void FormWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    writeBack();
}

void FormWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    writeBack();
}

void FormWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || binding_->applying()) return;
    form_.setWindowState(isMinimized() ? ui::TForm::WindowState::Minimized
                                       : ui::TForm::WindowState::Normal);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    if (closeAllowed_ || !onClose_) {
        event->accept();
        return;
    }
    event->ignore();
    guarded(onClose_);
}

}  // namespace pelko::qt
