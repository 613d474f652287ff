// Paths and names: the executable's own location, extension changes, and the
// case-insensitive resolution of file names that the Windows layout relied on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace plat {

// Full path of the running executable (/proc/self/exe resolved; falls back to
// the real path of argv[0] given to setArgv0).
std::string executablePath();
void setArgv0(const char* argv0);

// The path with its extension (the part from the last "." of the last path
// component on) replaced by `ext`, which includes its dot: ".LOG", ".END".
// A path without an extension gets `ext` appended.
std::string changeExtension(std::string_view path, std::string_view ext);

// The executable's path with another extension: <dir>/Tarvik.TXT and the like.
std::string siblingWithExtension(std::string_view ext);

std::string dirName(std::string_view path);   // "" for a bare name, "/" for "/x"
std::string baseName(std::string_view path);
std::string joinPath(std::string_view dir, std::string_view name);

// Resolves every component of `path` that does not exist as written: an exact
// match wins, otherwise the first entry (in byte order) that equals the name
// ignoring ASCII case. Components that match nothing are kept as written, so
// the result is also the right name to create a new file under.
std::string resolveCase(std::string_view path);

bool fileExists(std::string_view path);       // regular file, case-insensitive
bool directoryExists(std::string_view path);  // case-insensitive
std::optional<std::int64_t> fileSize(std::string_view path);
bool removeFile(std::string_view path);
// Creates the directory (its parent must exist); true also when a directory
// of that name (case-insensitive) is there already.
bool makeDirectory(std::string_view path);

// The file's modification time in local time packed as a DOS date and time
// (date in the high word). Empty when the file does not exist.
std::optional<std::int32_t> dosDateStamp(std::string_view path);

std::string currentDirectory();
bool changeDirectory(std::string_view path);

}  // namespace plat
