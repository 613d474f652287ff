// INI files with the behaviour of the Windows profile functions, which the
// interface program's settings file and the reactivation list were made for:
//   - "[Section]" lines open a section; "key=value" lines inside it hold keys.
//     Section and key names are found regardless of ASCII case, with blanks
//     and tabs around them ignored. Lines before the first section, lines
//     without "=" and any other text are kept but hold no key.
//   - A value is read without the blanks and tabs around it; a value enclosed
//     in double or single quotes is read without them. Values are read cut to
//     2047 characters (the buffer the programs always read with).
//   - A section that occurs twice: the first one wins, for reading and for
//     writing. The same for a key that occurs twice in a section.
//   - A missing file, section or key gives the default; so does an integer
//     value that is not a number (decimal, or hexadecimal with "$" or "0x",
//     within the 32-bit range; a value of "1" or any other non-zero number is
//     a true boolean).
//   - A write replaces the value of the key's line, or adds the key at the end
//     of its section, or adds the section at the end of the file; every other
//     line stays as it was, byte for byte. New lines end with CR LF. Line
//     breaks inside a written value become blanks, so that a value can never
//     make lines of its own.
//   - The file is written only by flush(), by replacing it as a whole (a new
//     file beside it, renamed into place): a failed write leaves the old file
//     as it was, never truncated. The first write creates the file. A
//     deferred flush of a text of unchanged length writes the changed bytes
//     in place instead (see flush()).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace plat {

class IniFile {
  public:
    static constexpr std::size_t kMaxValueLength = 2047;

    // Reads the file now. A missing file reads as empty; a file that exists
    // but cannot be read also reads as empty, and readable() says so.
    explicit IniFile(std::string path);

    const std::string& path() const { return path_; }
    bool readable() const { return readable_; }

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    std::int32_t readInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;
    bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;
    // True when the section holds the key (whatever its value).
    bool hasKey(std::string_view section, std::string_view key) const;

    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, std::int64_t value);
    void writeBool(std::string_view section, std::string_view key, bool value);

    bool modified() const { return modified_; }
    // Writes the changes (nothing to do when there are none). False when the
    // file could not be written; it then holds what it held before. The
    // changes stay pending, and a further flush() tries again.
    // Deferred: the file is not forced to the disk (see Durability); a text
    // that keeps its length (a number that keeps its digits) is then written
    // over the file in place when the file still holds what was read, which
    // costs microseconds where renaming a new file into place may cost
    // milliseconds. The file is never shorter or longer than a whole
    // version, at no moment.
    bool flush(Durability durability = Durability::Synced);

    // The file's text as it would be written.
    std::string text() const;

  private:
    struct Line {
        std::string body;      // without its line end
        const char* end = "";  // "\r\n", "\n" or "" (last line without a line end)
    };
    // Index of the section's header line, or -1.
    long findSection(std::string_view section) const;
    // Index of the key's line within the section starting at header `at`, or -1.
    long findKey(long at, std::string_view key) const;

    std::string path_;
    std::vector<Line> lines_;
    std::string disk_;     // what the file held when read or last written
    bool onDisk_ = false;  // the file exists and holds disk_
    bool readable_ = true;
    bool modified_ = false;
};

// One write, at once: reads the file, sets the key, writes the file.
bool writeProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value, Durability durability = Durability::Synced);
bool writeProfileInteger(const std::string& path, std::string_view section, std::string_view key,
                         std::int64_t value, Durability durability = Durability::Synced);

// The integer reading of the profile functions: the whole text is a decimal
// number with an optional sign, or hexadecimal after "$" or "0x"; blanks
// around it are allowed. False for anything else or outside 32 bits.
bool parseProfileInteger(std::string_view text, std::int32_t& out);

}  // namespace plat
