// The interface program with its main window on the desktop.
#pragma once

#include <QApplication>

#include "interface/hotel_adapters.h"

namespace pelko::qt {

// Opens the main window and runs until the closing prompt ends the program.
// Exits with 2 when the display cannot be reached.
int windowMain(int argc, const char* const* argv, const HotelAdapterRegistry& adapters);

}  // namespace pelko::qt
