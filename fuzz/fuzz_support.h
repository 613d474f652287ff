// What every fuzz target shares.
//
// A target is written once and built two ways:
//   - with PELKO_FUZZ (clang, -fsanitize=fuzzer,address,undefined) as a
//     libFuzzer program of its own: FUZZ_TARGET(name) defines
//     LLVMFuzzerTestOneInput;
//   - in the normal test suite (tests/fuzz) as one entry of the replay test,
//     which runs every target over its seed inputs and over the inputs that
//     once made it fail (fuzz/regressions/<name>): FUZZ_TARGET(name) then
//     registers the function under its name.
//
// A target checks what must hold for every input with FUZZ_CHECK; a broken
// rule aborts the fuzzer (which keeps the input) or fails the replay test.
// Inputs that are files for the program are written into a scratch
// directory of the process, which the readers then open by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzsupport {

using TargetFn = int (*)(const std::uint8_t* data, std::size_t size);

struct Target {
    const char* name;
    TargetFn fn;
};

// The targets registered in this program (replay build).
std::vector<Target>& targets();
bool registerTarget(const char* name, TargetFn fn);

// Reports a broken rule: aborts under the fuzzer, fails the test in replay.
void fail(const char* file, int line, const char* what);

// The scratch directory of this process (created on first use, removed at
// exit) and a file in it.
const std::string& scratchDir();
std::string scratchFile(std::string_view name);
// Writes `bytes` as the file `name` of the scratch directory; its path.
std::string writeScratch(std::string_view name, std::string_view bytes);
// Removes everything in the scratch directory (the directory stays).
void clearScratch();

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Cuts the input into `n` parts at the marker line "\n--8<--\n" (further
// markers stay in the last part; missing parts are empty), so that one input
// can hold several files.
std::vector<std::string_view> splitParts(std::string_view input, std::size_t n);
inline constexpr std::string_view kPartMarker = "\n--8<--\n";

}  // namespace fuzzsupport

#define FUZZ_CHECK(cond)                                             \
    do {                                                             \
        if (!(cond)) ::fuzzsupport::fail(__FILE__, __LINE__, #cond); \
    } while (0)

#ifdef PELKO_FUZZ_REPLAY
#define FUZZ_TARGET(name)                                               \
    static int fuzz_##name(const std::uint8_t* data, std::size_t size); \
    [[maybe_unused]] static const bool fuzz_registered_##name =         \
        ::fuzzsupport::registerTarget(#name, &fuzz_##name);             \
    static int fuzz_##name
#else
#define FUZZ_TARGET(name) extern "C" int LLVMFuzzerTestOneInput
#endif
