// The look both programs' windows share: the classic desktop's silver
// controls and its small sans-serif font, on any Linux desktop.
#pragma once

class QApplication;

namespace plat::qt {

// Fusion style, "MS Sans Serif" 8 pt (with Linux stand-ins for the font), the
// classic silver for windows and buttons, grey disabled texts.
void applyDesktopLook(QApplication& app);

}  // namespace plat::qt
