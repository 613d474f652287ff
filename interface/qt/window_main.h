// The interface program with its main window on the desktop.
#pragma once

#include <QApplication>

#include "interface/hotel_adapters.h"

namespace pelko::qt {

// The look of the program's windows: the Fusion style, the window font
// ("MS Sans Serif" 8 point, taken from the sans-serif faces there are).
void applyDesktopLook(QApplication& app);

// Opens the main window and runs until the closing prompt ends the program.
// Exits with 2 when the display cannot be reached.
int windowMain(int argc, const char* const* argv, const HotelAdapterRegistry& adapters);

}  // namespace pelko::qt
