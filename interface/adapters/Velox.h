// The Velox adapter of the main window: its guest lookup VeloxDateiLesen and
// its room report converter ZimmerBerichtZuVelox (members of TFormPelko,
// defined in Velox.cpp), as the program's adapter list registers them.
#pragma once

#include "interface/hotel_adapters.h"

namespace pelko {

HotelAdapter veloxAdapter();

}  // namespace pelko
