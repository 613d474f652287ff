// The program's modal boxes on the desktop: message boxes (caption, text,
// icon, OK or OK and Cancel or Yes and No) and the input prompt. Each runs
// its own event loop, so the program's timer goes on ticking while it is open.
#pragma once

#include <QPointer>
#include <QWidget>

#include "interface/ports.h"

namespace pelko::qt {

class Dialogs : public DialogPort {
  public:
    // Boxes are centred on `owner` while it is shown.
    void setOwner(QWidget* owner) { owner_ = owner; }
    DialogAnswer ask(const DialogRequest& request) override;

  private:
    QWidget* parentWidget() const;
    QPointer<QWidget> owner_;
};

}  // namespace pelko::qt
