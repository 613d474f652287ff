// The serial frame receiver, fed the bytes of a line as they come: whatever
// arrives, a completed message fits the receive buffer and carries a good
// checksum, and sending a completed message again gives it back unchanged.
#include <cstring>

#include "driver/protocol/protocol.h"
#include "fuzz/fuzz_support.h"

FUZZ_TARGET(frame_receiver)(const std::uint8_t* data, std::size_t size) {
    using namespace tarvik;
    FrameReceiver rx;
    static std::uint8_t frame[kMaxFrameSize];
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t n = rx.feed(data[i]);
        FUZZ_CHECK(rx.position() < kMessageBufferSize);
        if (n == 0) continue;
        FUZZ_CHECK(n < kMessageBufferSize);
        const std::string msg(rx.message(n));
        // The encoder's frame of the message, fed to a fresh receiver, is the
        // message again (no address prefix: register 0).
        const std::size_t len =
            encodeFrame(reinterpret_cast<const std::uint8_t*>(msg.data()), msg.size(), 0, frame);
        FUZZ_CHECK(len <= kMaxFrameSize);
        FrameReceiver again;
        std::size_t got = 0;
        for (std::size_t k = 0; k < len; ++k) {
            got = again.feed(frame[k]);
            FUZZ_CHECK(got == 0 || k + 1 == len);
        }
        FUZZ_CHECK(got == n);
        FUZZ_CHECK(again.message(got) == msg);
    }
    // The input as a body: its frame, to every register, decodes to the body
    // with the address prefix in front (bodies that fit the buffer).
    if (size > 0 && size + 3 < kMessageBufferSize) {
        const int reg = data[0] % 100;
        const std::size_t len = encodeFrame(data, size, reg, frame);
        FUZZ_CHECK(len <= kMaxFrameSize);
        FrameReceiver rx2;
        std::size_t got = 0;
        for (std::size_t k = 0; k < len; ++k) got = rx2.feed(frame[k]);
        const std::size_t prefix = reg == 0 ? 0 : 3;
        FUZZ_CHECK(got == size + prefix);
        FUZZ_CHECK(std::memcmp(rx2.data() + prefix, data, size) == 0);
    }
    return 0;
}
