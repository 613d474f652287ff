// The transmission log viewer FormProtokoll on the desktop: a window that is
// not modal, with the title, the memo of the log lines and its close button,
// bound to the viewer of the window model. Its close box closes it the way
// the model's close does (the memo keeps its lines).
#pragma once

#include <map>
#include <string>

#include "interface/form_protokoll.h"
#include "interface/qt/form_window.h"

namespace pelko::qt {

class FormProtokollWindow : public FormWindow {
  public:
    explicit FormProtokollWindow(TFormProtokoll& form);
    QWidget* widget(const std::string& name) const;

  private:
    TFormProtokoll& protokoll_;
    std::map<std::string, QWidget*> widgets_;
};

}  // namespace pelko::qt
