// Pelko_Programm: the interface program between the cash registers and the
// hotel software.
#include "interface/headless.h"
#include "interface/hotel_adapters.h"

int main(int argc, char** argv) {
    pelko::HotelAdapterRegistry adapters;
    pelko::registerHotelAdapters(adapters);
    return pelko::headless::programMain(argc, argv, adapters);
}
