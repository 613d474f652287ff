// How the readers and converters report a failure: the caller shows the text
// in a message box with the caption "Meldung" and the stop icon.
#pragma once

#include <functional>
#include <string>

namespace regfiles {

using MessageSink = std::function<void(const std::string& text)>;

// "Datei <name> kann nicht gelesen werden": a file that cannot be opened, for
// reading or for writing.
inline std::string cannotReadMessage(const std::string& fileName) {
    return "Datei " + fileName + " kann nicht gelesen werden";
}

// "Datei <name> kann nicht geschrieben werden": a write that failed.
inline std::string cannotWriteMessage(const std::string& fileName) {
    return "Datei " + fileName + " kann nicht geschrieben werden";
}

}  // namespace regfiles
