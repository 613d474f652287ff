// Protel: the reactivation list TiReaktiv.ini in the working directory.
//
// A register can open a closed bill again (reactivate it); the journal then
// holds the superseded closing and the new one. Before a journal is converted
// for Protel, a first pass (ReaktivSuchen) writes the list:
//   [TischZeile]      <field 10 of an opening line>=<its closing key, field 2>
//                     (a later opening line of the same field 10 replaces it)
//   [KeineRechTisch]  <closing key that TischZeile holds for field 10 of a
//                     reactivation line, "0" when none>=<that field 10>
// and the conversion leaves out every bill whose closing key is a key of
// KeineRechTisch. The pass splits at every ";" (no quoting, no umlaut
// mapping), reads lines with at most 149 characters (the rest of a longer
// line is cut off) and keeps fields 2, 8 and 12 with at most 9 characters,
// field 10 with 29 and field 13 with 19.
//
// Opening line: field 12 reads 0, field 13 reads 249, field 8 not empty (the
// line after it is passed over). Reactivation line: field 12 reads 1300,
// field 13 reads 11.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "interface/registerfiles/line_splitter.h"

namespace protel {

inline constexpr const char* kReactivationFile = "TiReaktiv.ini";
inline constexpr const char* kTableSection = "TischZeile";
inline constexpr const char* kNoBillSection = "KeineRechTisch";

// The INI object the list is kept in: sections and keys are found
// regardless of ASCII case with blanks and tabs around them ignored, values
// are read without the blanks and tabs around them and without enclosing
// quotes; flush() writes the file (CR LF lines). It starts empty: the list
// file is deleted before every build.
class ReactivationIni {
  public:
    explicit ReactivationIni(std::string path) : path_(std::move(path)) {}
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    bool hasKey(std::string_view section, std::string_view key) const;
    bool flush();
    std::string text() const;

  private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };
    const Section* find(std::string_view section) const;
    Section* find(std::string_view section);
    std::string path_;
    std::vector<Section> sections_;
};

// ReaktivSuchen: reads the journal from its position to its end and writes
// the two sections into `list` (not flushed).
void buildReactivationList(regfiles::LineReader& journal, ReactivationIni& list);

// Whether the bill with this closing key was reactivated.
bool isReactivated(const ReactivationIni& list, std::string_view closingKey);

}  // namespace protel
