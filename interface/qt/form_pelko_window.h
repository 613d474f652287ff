// The main window FormPelko on the desktop: every control of the window
// model as a widget of the same name (objectName), placed as designed,
// bound to its control in both directions, its clicks, changes, Enter keys
// and the grid's exit wired to the window's operations, and the one-second
// timer.
#pragma once

#include <QTimer>
#include <map>
#include <string>

#include "interface/form_pelko.h"
#include "interface/qt/form_window.h"

namespace pelko::qt {

class FormPelkoWindow : public FormWindow {
  public:
    explicit FormPelkoWindow(TFormPelko& form);
    ~FormPelkoWindow() override;

    TFormPelko& pelko() { return pelko_; }
    // The widget of a control by its name; null for controls without one
    // (the timer, the file-open dialog).
    QWidget* widget(const std::string& name) const;
    // Starts the one-second timer (Timer1).
    void startTimer();
    QTimer* timer() const { return timer_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createControls();
    void tick();

    TFormPelko& pelko_;
    std::map<std::string, QWidget*> widgets_;
    std::map<QObject*, void (TFormPelko::*)(char&)> keyHandlers_;
    QTimer* timer_;
    QMetaObject::Connection focusConnection_;
};

}  // namespace pelko::qt
