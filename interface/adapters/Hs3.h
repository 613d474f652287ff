// The HS-3 adapter of the main window: its guest lookup HS3DateiLesen and
// its room report converter ZimmerBerichtZuHS3 (members of TFormPelko,
// defined in Hs3.cpp), as the program's adapter list registers them.
#pragma once

#include "interface/hotel_adapters.h"

namespace pelko {

HotelAdapter hs3Adapter();

}  // namespace pelko
