// The audit trail of the booking files: every booking file a converter
// writes for the hotel software (HS3CASH.IN, BOOK.DAT, OSUMSATZ.DAT,
// ROOMBOOK.DAT) is also kept as a dated copy in the working directory,
//
//     ARCHIV/<file name>_<yymmdd>_<hhmmss>       e.g. ARCHIV/HS3CASH.IN_261211_140533
//
// (a second copy within the same second gets "_2", "_3", ... after it), so
// that every charge can be found and sent again after the hotel software
// has taken the next file in its place. A copy holds exactly the bytes of
// the booking file; it appears under its name only when it is complete.
// Copies are kept for kKeepDays days: whenever a copy is written, those
// whose date lies more than kKeepDays days before today are removed (as are
// the unfinished copies of a program that was killed while writing one).
// The revenue file XREDUCT.DAT has an archive of its own (XREDUCT/).
#pragma once

#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/file.h"

namespace regfiles {

inline constexpr const char* kArchiveDirectory = "ARCHIV";
inline constexpr int kKeepDays = 400;

// "<name>_<yymmdd>_<hhmmss>"
std::string archiveCopyName(const std::string& fileName, const plat::DateTime& t);

// The date of a copy's name (its "_yymmdd_hhmmss" part, with or without a
// "_n" after it); false for any other name.
bool archiveCopyDate(std::string_view copyName, plat::DateTime& date);

// Removes the copies in `archiveDir` dated more than `keepDays` days before
// `today`; answers how many were removed.
int pruneArchive(const std::string& archiveDir, const plat::DateTime& today,
                 int keepDays = kKeepDays);

// One dated copy, written beside the booking file as it is written.
class BookingCopy {
  public:
    // Starts the copy of `fileName` in <workingDirectory>/ARCHIV (created
    // when missing), dated `t`, and prunes the old copies. False when the
    // copy cannot be started.
    bool open(const std::string& workingDirectory, const std::string& fileName,
              const plat::DateTime& t);
    bool isOpen() const { return file_.isOpen(); }
    bool write(std::string_view bytes) { return file_.write(bytes); }
    bool failed() const { return file_.failed(); }
    // Puts the complete copy under its name; false (and no copy) when a
    // write failed or it cannot be put there.
    bool finish() { return file_.commit(); }
    void discard() { file_.discard(); }
    // Removes the finished copy again.
    void remove();
    // "ARCHIV/<name>_<yymmdd>_<hhmmss>", for messages.
    const std::string& name() const { return name_; }

  private:
    plat::ReplacingFile file_;
    std::string name_;
    std::string path_;
};

// "Sicherungskopie ARCHIV/<name> kann nicht geschrieben werden"
std::string copyMessage(const std::string& copyName);

}  // namespace regfiles
