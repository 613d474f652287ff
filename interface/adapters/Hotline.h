// The hotline adapter of the main window: its guest lookup HotlineDateiLesen
// and its room report converter ZimmerBerichtZuHotline (members of
// TFormPelko, defined in Hotline.cpp), as the program's adapter list
// registers them.
#pragma once

#include "interface/hotel_adapters.h"

namespace pelko {

HotelAdapter hotlineAdapter();

}  // namespace pelko
