// Pelko_Programm: the interface program between the cash registers and the
// hotel software.
#include "interface/headless.h"
#include "interface/hotel_adapters.h"
#ifdef PELKO_WITH_QT
#include "interface/qt/window_main.h"
#endif

int main(int argc, char** argv) {
    pelko::HotelAdapterRegistry adapters;
    pelko::registerHotelAdapters(adapters);
#ifdef PELKO_WITH_QT
    return pelko::headless::programMain(argc, argv, adapters, &pelko::qt::windowMain);
#else
    return pelko::headless::programMain(argc, argv, adapters);
#endif
}
