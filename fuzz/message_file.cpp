// The driver's message text file beside the executable: "N=text" lines of
// any bytes override the 50 texts, each cut to 40 bytes.
#include "driver/messages.h"
#include "driver/status_codes.h"
#include "fuzz/fuzz_support.h"

FUZZ_TARGET(message_file)(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    const std::string path =
        fuzzsupport::writeScratch("Tarvik.TXT", fuzzsupport::asText(data, size));
    MessageTable table;
    table.load(path);
    for (int i = 0; i <= MessageTable::kCount + 1; ++i) {
        FUZZ_CHECK(table.text(i).size() <= MessageTable::kMaxText);
        FUZZ_CHECK(table.text(i).find('\n') == std::string::npos);
    }
    FUZZ_CHECK(table.text(0).empty() && table.text(MessageTable::kCount + 1).empty());
    for (int code = 0; code <= kLastStatusCode; ++code)
        FUZZ_CHECK(&table.statusText(code) == &table.text(messageOfStatus(code)));
    return 0;
}
