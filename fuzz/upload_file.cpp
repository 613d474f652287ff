// The driver's reader of upload files (the room list, or any file a command
// file names): lines of any bytes, in offset encoding or not, each fits the
// send buffer behind the "U" and holds no line end.
#include "driver/command_file.h"
#include "driver/protocol/protocol.h"
#include "fuzz/fuzz_support.h"

FUZZ_TARGET(upload_file)(const std::uint8_t* data, std::size_t size) {
    const std::string path =
        fuzzsupport::writeScratch("VZIMMERS.CSV", fuzzsupport::asText(data, size));
    plat::File file;
    FUZZ_CHECK(file.open(path, plat::File::Mode::Read, plat::File::Share::Exclusive));
    tarvik::UploadLineReader reader(file);
    std::string line;
    std::size_t lines = 0;
    while (reader.next(line)) {
        FUZZ_CHECK(++lines <= size);
        FUZZ_CHECK(1 + line.size() <= tarvik::kMessageBufferSize);
        FUZZ_CHECK(line.find('\n') == std::string::npos);
        FUZZ_CHECK(line.find('\r') == std::string::npos);
    }
    return 0;
}
