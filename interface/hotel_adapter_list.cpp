// The hotel software adapters built into the program: registerHotelAdapters
// is the one list of them. Each adapter adds one line here, registering the
// operations it provides for its hotel software, for example
//   registry.set(kHs3, hs3Adapter());
// where hs3Adapter() returns a HotelAdapter with the adapter's guest lookup
// and room report converter (see hotel_adapters.h).
#include "interface/adapters/Hotline.h"
#include "interface/adapters/Hs3.h"
#include "interface/adapters/Protel.h"
#include "interface/adapters/Velox.h"
#include "interface/hotel_adapters.h"

namespace pelko {

void registerHotelAdapters(HotelAdapterRegistry& registry) {
    registry.set(kHs3, hs3Adapter());
    registry.set(kVelox, veloxAdapter());
    registry.set(kProtel, protelAdapter());
    registry.set(kHotline, hotlineAdapter());
}

}  // namespace pelko
