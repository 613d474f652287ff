// Whether a desktop is there to show windows on, and how the window toolkit
// is to reach it.
#pragma once

#include <string>

namespace plat {

// True when DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM is set and not empty:
// the programs then show their windows (when they were built with them).
bool displayPresent();

// The window-system plugins to try, in order, for the "-platform" argument
// of the window toolkit: the desktop's own ("wayland" where WAYLAND_DISPLAY
// is set, "xcb" for DISPLAY), then "offscreen", so that a display that
// cannot be reached is noticed (the toolkit comes up offscreen) instead of
// ending the program. Empty when QT_QPA_PLATFORM chooses the plugin itself.
std::string windowPlatforms();

}  // namespace plat
