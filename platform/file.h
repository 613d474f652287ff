// Files opened the way the programs need them: optionally "without sharing"
// (an exclusive advisory lock held while open), always through the
// case-insensitive name rule, with every write checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_stamp.h"

namespace plat {

class File {
  public:
    enum class Mode {
        Read,       // existing file, read only
        ReadWrite,  // existing file, read and write
        Append,     // read and write, created if missing, positioned at the end
        Create,     // read and write, created anew (an existing file is emptied)
        CreateNew,  // read and write, created; fails when the file already exists
    };
    enum class Share { Shared, Exclusive };

    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens `path` (resolved case-insensitively). With Share::Exclusive the
    // open fails when another open holds the file; an existing file is only
    // emptied (Mode::Create) once the lock is ours.
    bool open(std::string_view path, Mode mode, Share share = Share::Exclusive);
    bool isOpen() const { return fd_ >= 0; }
    void close();

    // Writes all of `data`; false when any byte could not be written.
    bool write(std::string_view data);
    bool write(const void* data, std::size_t len);
    // Reads up to len bytes; 0 at the end, -1 on error.
    long read(void* buf, std::size_t len);
    std::int64_t size() const;
    bool truncate();  // empties the file and moves to its start
    bool seekEnd();
    bool seek(std::int64_t pos);
    std::int64_t tell() const;
    int fd() const { return fd_; }
    const std::string& path() const { return path_; }
    // The file's stamp when it was opened.
    const FileStamp& openStamp() const { return stamp_; }

  private:
    int fd_ = -1;
    std::string path_;
    FileStamp stamp_;
};

// Test hook for write-error injection: after `n` more successful writes
// through File::write, every further write fails (n < 0 switches it off), as
// on a full disk. With `count` > 0 only that many writes fail and the ones
// after them succeed again, as after a passing I/O error. Also set from the
// environment variables PELKO_FAIL_WRITE_AFTER (n) and PELKO_FAIL_WRITE_COUNT
// (count) at start.
void injectWriteFailureAfter(long n, long count = 0);

// Convenience: the whole file as bytes (empty optional-like flag on failure).
bool readWholeFile(std::string_view path, std::string& out);

// How a replaced file reaches the disk. Synced: the new contents are forced
// to the disk before they are renamed into place, so that after a power
// failure the file holds the old or the new contents on every file system.
// Deferred: the system writes them back in its own time; for a file that is
// replaced many times in a row (forcing each version to a disk costs
// milliseconds) and then forced to the disk once with syncFile. A program
// that ends or dies meanwhile loses nothing; a power failure before
// syncFile may bring back an older version.
enum class Durability { Synced, Deferred };

// A file whose contents are replaced as a whole: what is written goes into a
// new file beside it ("<name>.~<pid>.tmp" in the same directory), and only
// commit() puts it in place, synced (unless deferred), by renaming it over the old one. Until
// then, and whenever anything fails, whoever reads the file finds it as it
// was (or finds none, when there was none): never a half-written one. The
// file keeps the permissions of the one it replaces; a symbolic link is
// followed to its target. Left-over new files of processes that no longer
// run (killed while writing) are removed when the next one is opened.
class ReplacingFile {
  public:
    ReplacingFile() = default;
    ~ReplacingFile() { discard(); }
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Starts a new version of `path` (resolved case-insensitively). False
    // when the new file cannot be created beside it.
    bool open(std::string_view path);
    bool isOpen() const { return file_.isOpen(); }
    // Through File::write, so the write-failure hook covers it. After a
    // failed write every further write fails and commit() refuses.
    bool write(std::string_view data);
    bool failed() const { return failed_; }
    // Puts the new version in place. False (the old file untouched, the new
    // one removed) when a write failed or any step fails. Deferred: not
    // forced to the disk (see Durability).
    bool commit(Durability durability = Durability::Synced);
    // Drops the new version; the old file stays as it was.
    void discard();
    // The file being replaced (resolved), and the new version's path.
    const std::string& target() const { return target_; }
    const std::string& tempPath() const { return temp_; }

  private:
    File file_;
    std::string target_;
    std::string temp_;
    bool failed_ = false;
};

// Replaces the contents of `path` (resolved case-insensitively, a symbolic
// link followed to its target) without ever leaving it truncated: the bytes
// go into a new file beside it, which is renamed into place. An existing
// file keeps its permissions. False, with the old file untouched, when any
// step fails.
bool replaceFileContents(std::string_view path, std::string_view bytes,
                         Durability durability = Durability::Synced);

// Writes `bytes` over the file at `path` (resolved case-insensitively) in
// place, when the file holds exactly `expected` now and `bytes` is as long:
// only the bytes that differ are written, so the file keeps its size and is
// never truncated, not even for a moment. False, with nothing written, when
// the file holds anything else or cannot be opened for writing; false after
// a failed write.
bool overwriteSameLength(std::string_view path, std::string_view expected, std::string_view bytes);

// Forces the contents of `path` (resolved case-insensitively) and its entry
// in its directory to the disk. False when the file cannot be opened or the
// system reports a failure.
bool syncFile(std::string_view path);

}  // namespace plat
