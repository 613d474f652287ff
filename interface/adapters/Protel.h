// The Protel adapter of the main window: its guest lookup ProtelDateiLesen,
// its room report converter ZimmerBerichtZuProtel and its revenue converter
// UmsatzBerichtZuProtel with their lookups and look-aheads (members of
// TFormPelko, defined in Protel.cpp), as the program's adapter list
// registers them.
#pragma once

#include "interface/hotel_adapters.h"

namespace pelko {

HotelAdapter protelAdapter();

}  // namespace pelko
