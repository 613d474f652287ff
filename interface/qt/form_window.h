// A top-level window bound to a form of the model: its caption, background,
// place and size, minimised state and visibility follow the form, and the
// user's moving, sizing and minimising are written back into it (so saving
// stores where the user left the window). Closing by the window system goes
// to the form's own close handling.
#pragma once

#include <QWidget>
#include <functional>

#include "interface/controls.h"

namespace pelko::qt {

class Binding;

class FormWindow : public QWidget {
  public:
    FormWindow(ui::TForm& form, Qt::WindowFlags flags);

    ui::TForm& form() { return form_; }
    // Runs when the window system asks the window to close (close box,
    // Alt+F4, system menu); the window closes only through allowClose.
    void setCloseHandler(std::function<void()> handler) { onClose_ = std::move(handler); }
    // Lets the next close request through (the program ends or hides it).
    void allowClose() { closeAllowed_ = true; }
    // Moves the keyboard focus to the next control, as Tab does.
    void focusNext() { focusNextChild(); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void apply(ui::Property property);
    void writeBack();

    ui::TForm& form_;
    Binding* binding_ = nullptr;
    std::function<void()> onClose_;
    bool closeAllowed_ = false;
    bool designed_ = false;  // the first showing of the design is done
};

}  // namespace pelko::qt
