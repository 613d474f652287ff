// The expansion of compressed (SO) records: any bytes after SO expand within
// the bound or are refused as a whole, never reading or writing outside the
// record and the output buffer.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "driver/protocol/protocol.h"
#include "fuzz/fuzz_support.h"

FUZZ_TARGET(record_expansion)(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    if (size == 0) return 0;
    // The first byte picks a smaller output buffer now and then, so that the
    // bound is met at every size.
    const std::size_t cap =
        data[0] < 16 ? static_cast<std::size_t>(data[0]) * 64 : kMaxExpandedRecord;
    std::vector<std::uint8_t> in(data + 1, data + size);
    if (in.empty() || in[0] != SO) in.insert(in.begin(), SO);
    // Exact-size heap buffers, so that the address sanitizer sees every
    // byte beyond them.
    std::unique_ptr<std::uint8_t[]> input(new std::uint8_t[in.size()]);
    std::copy(in.begin(), in.end(), input.get());
    std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[cap + 1]);
    const ExpandResult r = expandRecord(input.get(), in.size(), out.get(), cap);
    FUZZ_CHECK(r.length <= cap && r.length <= kMaxExpandedRecord);
    FUZZ_CHECK(r.status == ExpandStatus::Ok || r.length == 0);
    std::string viaString;
    const ExpandStatus s = expandRecord(
        std::string_view(reinterpret_cast<const char*>(input.get()), in.size()), viaString);
    if (cap >= kMaxExpandedRecord) {
        FUZZ_CHECK(s == r.status);
        if (s == ExpandStatus::Ok)
            FUZZ_CHECK(viaString ==
                       std::string(reinterpret_cast<const char*>(out.get()), r.length));
    }
    FUZZ_CHECK(expandStatusName(s) != nullptr);
    return 0;
}
