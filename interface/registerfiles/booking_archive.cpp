#include "interface/registerfiles/booking_archive.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/paths.h"

namespace regfiles {
namespace {

bool digits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int number(std::string_view s) {
    int n = 0;
    for (char c : s) n = n * 10 + (c - '0');
    return n;
}

// Days since 1970-01-01 of a civil date.
std::int64_t dayNumber(int y, int m, int d) {
    return plat::toSerialSeconds(plat::DateTime{y, m, d, 0, 0, 0, 0, 0}) / 86400;
}

// An unfinished copy of a program that no longer runs: "<copy>.~<pid>.tmp".
bool leftOverOfDeadWriter(const std::string& name) {
    const std::size_t mark = name.rfind(".~");
    if (mark == std::string::npos || name.size() < mark + 7 ||
        name.compare(name.size() - 4, 4, ".tmp") != 0)
        return false;
    const std::string pid = name.substr(mark + 2, name.size() - mark - 6);
    if (!digits(pid) || pid.size() > 9) return false;
    return ::kill(static_cast<pid_t>(std::stol(pid)), 0) != 0 && errno == ESRCH;
}

}  // namespace

std::string archiveCopyName(const std::string& fileName, const plat::DateTime& t) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "_%02d%02d%02d_%02d%02d%02d", t.year % 100, t.month, t.day,
                  t.hour, t.minute, t.second);
    return fileName + stamp;
}

bool archiveCopyDate(std::string_view name, plat::DateTime& date) {
    // "_yymmdd_hhmmss" ending at `end`.
    auto stampEndsAt = [name](std::size_t end) {
        return end >= 14 && name[end - 14] == '_' && name[end - 7] == '_' &&
               digits(name.substr(end - 13, 6)) && digits(name.substr(end - 6, 6));
    };
    std::size_t end = name.size();
    if (!stampEndsAt(end)) {
        // A second copy of the same second: "_n" after the stamp.
        const std::size_t last = name.rfind('_');
        if (last == std::string_view::npos || name.size() - last - 1 > 4 ||
            !digits(name.substr(last + 1)) || !stampEndsAt(last))
            return false;
        end = last;
    }
    const std::string_view ymd = name.substr(end - 13, 6);
    const std::string_view hms = name.substr(end - 6, 6);
    date = plat::DateTime{2000 + number(ymd.substr(0, 2)),
                          number(ymd.substr(2, 2)),
                          number(ymd.substr(4, 2)),
                          number(hms.substr(0, 2)),
                          number(hms.substr(2, 2)),
                          number(hms.substr(4, 2)),
                          0,
                          0};
    return date.month >= 1 && date.month <= 12 && date.day >= 1 && date.day <= 31;
}

int pruneArchive(const std::string& archiveDir, const plat::DateTime& today, int keepDays) {
    DIR* d = ::opendir(plat::resolveCase(archiveDir).c_str());
    if (!d) return 0;
    std::vector<std::string> doomed;
    const std::int64_t todayNo = dayNumber(today.year, today.month, today.day);
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        plat::DateTime date;
        if (leftOverOfDeadWriter(name) ||
            (archiveCopyDate(name, date) &&
             todayNo - dayNumber(date.year, date.month, date.day) > keepDays))
            doomed.push_back(name);
    }
    ::closedir(d);
    int removed = 0;
    for (const std::string& name : doomed)
        if (plat::removeFile(plat::joinPath(archiveDir, name))) ++removed;
    return removed;
}

bool BookingCopy::open(const std::string& workingDirectory, const std::string& fileName,
                       const plat::DateTime& t) {
    discard();
    const std::string dir = plat::joinPath(workingDirectory, kArchiveDirectory);
    std::string name = archiveCopyName(fileName, t);
    name_ = std::string(kArchiveDirectory) + "/" + name;
    path_.clear();
    if (!plat::makeDirectory(dir)) return false;
    pruneArchive(dir, t);
    const std::string base = name;
    for (int n = 2; plat::fileExists(plat::joinPath(dir, name)); ++n)
        name = base + "_" + std::to_string(n);
    name_ = std::string(kArchiveDirectory) + "/" + name;
    path_ = plat::joinPath(dir, name);
    return file_.open(path_);
}

void BookingCopy::remove() {
    discard();
    if (!path_.empty()) plat::removeFile(path_);
}

std::string copyMessage(const std::string& copyName) {
    return "Sicherungskopie " + copyName + " kann nicht geschrieben werden";
}

}  // namespace regfiles
