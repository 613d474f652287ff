// Protel: the register's article and Z-text tables VART.CSV and VZtxt.CSV in
// the working directory (fetched with the program fetch when Protel is the
// hotel software), without the window (the main window's members
// ArtikelDateiLesen and ZTextDateiLesen are built on them).
//
// Both files are split with the quoted variant, separator ";", without the
// umlaut mapping. Lines are read with at most 149 characters (the rest of a
// longer line is cut off). Numbers are kept with at most 19 characters, the
// group text with at most 9. Every lookup opens its file; what it holds is
// kept while it is unchanged (regfiles::LookupCache).
#pragma once

#include <string>

#include "interface/registerfiles/message_sink.h"

namespace protel {

inline constexpr const char* kArticleFile = "VART.CSV";
inline constexpr const char* kZTextFile = "VZtxt.CSV";
inline constexpr std::size_t kNumberWidth = 19;
inline constexpr std::size_t kGroupWidth = 9;

enum class TableResult { Found, NotFound, CannotOpen };

// Article lookup: the first line of VART.CSV whose field 2 equals `number`
// (texts compared exactly) and that has a field 5 replaces `number` by field
// 5 and sets `groupText` to field 44 (empty when the line has no field 44).
// Without a match `number` stays and `groupText` is empty.
TableResult lookUpArticle(const std::string& workingDirectory, std::string& number,
                          std::string& groupText);

// Z-text lookup: the first line of VZtxt.CSV whose field 2 equals `number`
// and that has a field 3 replaces `number` by field 3. Without a match
// `number` stays.
TableResult lookUpZText(const std::string& workingDirectory, std::string& number);

// The same, showing "Datei VART.CSV kann nicht gelesen werden" or "Datei
// VZtxt.CSV kann nicht gelesen werden" when the table cannot be opened (the
// lookup then answers as without a match).
void translateArticle(const std::string& workingDirectory, std::string& number,
                      std::string& groupText, const regfiles::MessageSink& showStop);
void translateZText(const std::string& workingDirectory, std::string& number,
                    const regfiles::MessageSink& showStop);

// The group field of a G record: the group text, "1" when it is empty.
inline std::string groupField(const std::string& groupText) {
    return groupText.empty() ? std::string("1") : groupText;
}

}  // namespace protel
