#include "platform/display.h"

#include <cstdlib>

namespace plat {
namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

}  // namespace

bool displayPresent() {
    return isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM");
}

std::string windowPlatforms() {
    if (isSet("QT_QPA_PLATFORM")) return {};
    std::string list;
    if (isSet("WAYLAND_DISPLAY")) list += "wayland;";
    if (isSet("DISPLAY")) list += "xcb;";
    return list + "offscreen";
}

}  // namespace plat
