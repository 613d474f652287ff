// The driver's command-file reader: KEY=VALUE lines of any bytes, with the
// integer rule of the values, the dated names of output files and the job
// log line of every command.
#include <algorithm>

#include "driver/command_file.h"
#include "driver/job_format.h"
#include "fuzz/fuzz_support.h"
#include "platform/file.h"

FUZZ_TARGET(command_file)(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    const std::string path = fuzzsupport::writeScratch("TK.DAT", fuzzsupport::asText(data, size));
    plat::File file;
    FUZZ_CHECK(file.open(path, plat::File::Mode::Read, plat::File::Share::Exclusive));
    CommandFileReader reader;
    reader.attach(&file);
    CommandLine line;
    std::size_t lines = 0;
    plat::DateTime t{2008, 2, 12, 16, 34, 7, 0};
    while (reader.next(line)) {
        ++lines;
        FUZZ_CHECK(lines <= size);  // every line takes at least one byte
        // At most 1055 characters of a line are taken.
        FUZZ_CHECK(line.keyword.size() + line.value.size() < CommandFileReader::kLineBuffer);
        FUZZ_CHECK(line.keyword.find('=') == std::string::npos);
        FUZZ_CHECK(line.keyword.find('\n') == std::string::npos);
        FUZZ_CHECK(line.value.find('\n') == std::string::npos);
        FUZZ_CHECK(line.value.find('\r') == std::string::npos);
        FUZZ_CHECK(!line.damaged || line.keyword.find('\0') == std::string::npos);
        FUZZ_CHECK(std::none_of(line.keyword.begin(), line.keyword.end(),
                                [](char c) { return c >= 'a' && c <= 'z'; }));
        if (std::optional<int> n = readInteger(line.value)) {
            FUZZ_CHECK(integerValue(line.value, 7) == *n);
        }
        const std::string dated = datedName(line.value, t);
        FUZZ_CHECK(dated.size() == line.value.size() + dateText(t).size());
        const std::string head = logLineHead(t, line.keyword, line.value);
        FUZZ_CHECK(head.find(line.value) != std::string::npos);
    }
    return 0;
}
