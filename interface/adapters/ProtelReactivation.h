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

#include <string_view>

#include "interface/registerfiles/line_splitter.h"
#include "platform/ini.h"

namespace protel {

inline constexpr const char* kReactivationFile = "TiReaktiv.ini";
inline constexpr const char* kTableSection = "TischZeile";
inline constexpr const char* kNoBillSection = "KeineRechTisch";

// The list is kept in an INI file of the platform's usual form (section and
// key names found regardless of ASCII case, values read without the blanks
// around them); queries read the object, not the file.
using ReactivationIni = plat::IniFile;

// ReaktivSuchen: reads the journal from its position to its end and writes
// the two sections into `list` (not flushed).
void buildReactivationList(regfiles::LineReader& journal, ReactivationIni& list);

// Whether the bill with this closing key was reactivated.
bool isReactivated(const ReactivationIni& list, std::string_view closingKey);

}  // namespace protel
