// Files opened the way the programs need them: optionally "without sharing"
// (an exclusive advisory lock held while open), always through the
// case-insensitive name rule, with every write checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

class File {
public:
    enum class Mode {
        Read,          // existing file, read only
        ReadWrite,     // existing file, read and write
        Append,        // read and write, created if missing, positioned at the end
        Create,        // read and write, created anew (an existing file is emptied)
        CreateNew,     // read and write, created; fails when the file already exists
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

private:
    int fd_ = -1;
    std::string path_;
};

// Test hook for write-error injection: after `n` more successful writes
// through File::write, every further write fails (n < 0 switches it off).
// Also set from the environment variable PELKO_FAIL_WRITE_AFTER at start.
void injectWriteFailureAfter(long n);

// Convenience: the whole file as bytes (empty optional-like flag on failure).
bool readWholeFile(std::string_view path, std::string& out);

// Replaces the contents of `path` (resolved case-insensitively, a symbolic
// link followed to its target) without ever leaving it truncated: the bytes
// go into a new file beside it, which is synced and renamed into place. An
// existing file keeps its permissions. False, with the old file untouched,
// when any step fails.
bool replaceFileContents(std::string_view path, std::string_view bytes);

}  // namespace plat
