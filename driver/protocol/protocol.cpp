#include "driver/protocol/protocol.h"

#include <array>
#include <cstdio>

namespace tarvik {

namespace {

// Checksum of each nibble value, for the nibble-at-a-time computation.
constexpr std::array<std::uint16_t, 16> makeNibbleTable() {
    std::array<std::uint16_t, 16> t{};
    for (unsigned n = 0; n < 16; ++n) {
        std::uint16_t c = static_cast<std::uint16_t>(n);
        for (int bit = 0; bit < 4; ++bit)
            c = static_cast<std::uint16_t>((c & 1u) ? (c >> 1) ^ 0xA001u : (c >> 1));
        t[n] = c;
    }
    return t;
}
constexpr std::array<std::uint16_t, 16> kNibbleTable = makeNibbleTable();

}  // namespace

std::uint16_t crc16(const std::uint8_t* data, std::size_t len, std::uint16_t crc) {
    for (std::size_t i = 0; i < len; ++i) {
        const unsigned b = data[i];
        crc = static_cast<std::uint16_t>((crc >> 4) ^ kNibbleTable[(crc ^ b) & 0x0Fu]);
        crc = static_cast<std::uint16_t>((crc >> 4) ^ kNibbleTable[(crc ^ (b >> 4)) & 0x0Fu]);
    }
    return crc;
}

std::uint16_t crc16(std::string_view data, std::uint16_t crc) {
    return crc16(reinterpret_cast<const std::uint8_t*>(data.data()), data.size(), crc);
}

// ------------------------------------------------------------------ frames

std::size_t encodeFrame(const std::uint8_t* body, std::size_t len, int registerNumber,
                        std::uint8_t* out) {
    std::size_t n = 0;
    out[n++] = DLE;
    out[n++] = STX;
    std::uint16_t crc = 0xFFFF;
    if (registerNumber >= 1 && registerNumber <= 99) {
        const std::uint8_t prefix[3] = {'#', static_cast<std::uint8_t>('0' + registerNumber / 10),
                                        static_cast<std::uint8_t>('0' + registerNumber % 10)};
        for (std::uint8_t b : prefix) out[n++] = b;
        crc = crc16(prefix, 3, crc);
    }
    crc = crc16(body, len, crc);
    std::size_t i = 0;
    while (i < len) {
        const std::uint8_t b = body[i];
        if (b == 0x00 || b == 0xFF) {
            std::size_t run = 1;
            while (i + run < len && body[i + run] == b && run < 255) ++run;
            out[n++] = b;
            out[n++] = static_cast<std::uint8_t>(run);
            i += run;
            continue;
        }
        if (b == DLE) out[n++] = DLE;
        out[n++] = b;
        ++i;
    }
    out[n++] = DLE;
    out[n++] = ETX;
    out[n++] = static_cast<std::uint8_t>(crc >> 8);
    out[n++] = static_cast<std::uint8_t>(crc & 0xFF);
    return n;
}

std::string encodeFrame(std::string_view body, int registerNumber) {
    std::string out(2 * body.size() + 9, '\0');
    const std::size_t n =
        encodeFrame(reinterpret_cast<const std::uint8_t*>(body.data()), body.size(), registerNumber,
                    reinterpret_cast<std::uint8_t*>(out.data()));
    out.resize(n);
    return out;
}

void FrameReceiver::clear() {
    for (auto& b : buf_) b = 0;
    pos_ = 0;
    state_ = State::Data;
    crcHigh_ = 0;
    wrapped_ = false;
}

void FrameReceiver::store(std::uint8_t b) {
    buf_[pos_++] = b;
    if (pos_ >= kMessageBufferSize) {
        pos_ = 0;
        wrapped_ = true;
    }
}

std::size_t FrameReceiver::feed(std::uint8_t b) {
    switch (state_) {
        case State::Data:
            if (b == DLE) {
                state_ = State::AfterDle;
            } else {
                store(b);
                if (b == 0x00) state_ = State::ZeroRun;
                if (b == 0xFF) state_ = State::FfRun;
            }
            return 0;
        case State::AfterDle:
            if (b == STX || b == EOT) {
                pos_ = 0;
                wrapped_ = false;
                state_ = State::Data;
            } else if (b == ETX) {
                state_ = State::ChecksumHigh;
            } else {
                store(b);
                state_ = State::Data;
            }
            return 0;
        case State::ChecksumHigh:
            crcHigh_ = b;
            state_ = State::ChecksumLow;
            return 0;
        case State::ChecksumLow: {
            state_ = State::Data;
            const std::uint16_t want = static_cast<std::uint16_t>(crcHigh_ << 8 | b);
            const std::size_t len = pos_;
            const bool good = !wrapped_ && crc16(buf_, len) == want;
            wrapped_ = false;
            if (good) return len;
            pos_ = 0;
            return 0;
        }
        case State::ZeroRun:
        case State::FfRun: {
            const std::uint8_t fill = state_ == State::ZeroRun ? 0x00 : 0xFF;
            for (unsigned k = 1; k < b; ++k) store(fill);
            state_ = State::Data;
            return 0;
        }
    }
    return 0;
}

// -------------------------------------------------------------- expansion

namespace {

// Reads one number of 7-bit groups. Answers false when the input ends inside
// it. Values beyond `limit` are reported as limit + 1 (no overflow of the
// accumulator whatever the number of groups).
bool readNumber(const std::uint8_t* in, std::size_t len, std::size_t& i, std::size_t limit,
                std::size_t& value) {
    value = 0;
    for (;;) {
        if (i >= len) return false;
        const std::uint8_t b = in[i++];
        if (value <= limit) value = (value << 7) | (b & 0x7Fu);
        if (value > limit) value = limit + 1;
        if ((b & 0x80u) == 0) return true;
    }
}

}  // namespace

ExpandResult expandRecord(const std::uint8_t* in, std::size_t len, std::uint8_t* out,
                          std::size_t cap) {
    const std::size_t bound = cap < kMaxExpandedRecord ? cap : kMaxExpandedRecord;
    const ExpandResult truncated{ExpandStatus::Truncated, 0};
    const ExpandResult overflow{ExpandStatus::Overflow, 0};
    if (len < 2) return truncated;  // SO without its escape byte
    const std::uint8_t esc = in[1];
    std::size_t i = 2;
    std::size_t n = 0;
    while (i < len) {
        const std::uint8_t b = in[i++];
        if (b != esc) {
            if (n >= bound) return overflow;
            out[n++] = b;
            continue;
        }
        if (i >= len) return truncated;
        if (in[i] == 0x00) {
            ++i;
            if (n >= bound) return overflow;
            out[n++] = esc;
            continue;
        }
        std::size_t count = 0, distance = 0;
        if (!readNumber(in, len, i, bound, count)) return truncated;
        if (!readNumber(in, len, i, bound, distance)) return truncated;
        if (count > bound - n) return overflow;
        if (distance == 0 || distance > n) return {ExpandStatus::BadReference, 0};
        for (std::size_t k = 0; k < count; ++k, ++n) out[n] = out[n - distance];
    }
    return {ExpandStatus::Ok, n};
}

ExpandStatus expandRecord(std::string_view in, std::string& out) {
    std::uint8_t buf[kMaxExpandedRecord];
    const ExpandResult r =
        expandRecord(reinterpret_cast<const std::uint8_t*>(in.data()), in.size(), buf);
    if (r.status == ExpandStatus::Ok)
        out.assign(reinterpret_cast<const char*>(buf), r.length);
    else
        out.clear();
    return r.status;
}

const char* expandStatusName(ExpandStatus s) {
    switch (s) {
        case ExpandStatus::Ok:
            return "ok";
        case ExpandStatus::Overflow:
            return "overflow";
        case ExpandStatus::Truncated:
            return "truncated";
        case ExpandStatus::BadReference:
            return "bad reference";
    }
    return "?";
}

// ---------------------------------------------------------- offset coding

void offsetEncode(std::uint8_t* data, std::size_t len) {
    for (std::size_t i = 0; i < len; ++i) data[i] = static_cast<std::uint8_t>(data[i] - 0x30);
}

void offsetDecode(std::uint8_t* data, std::size_t len) {
    for (std::size_t i = 0; i < len; ++i) data[i] = static_cast<std::uint8_t>(data[i] + 0x30);
}

void offsetEncode(std::string& data) {
    offsetEncode(reinterpret_cast<std::uint8_t*>(data.data()), data.size());
}

void offsetDecode(std::string& data) {
    offsetDecode(reinterpret_cast<std::uint8_t*>(data.data()), data.size());
}

bool isOffsetEncodedLine(std::uint8_t firstByte) {
    return firstByte <= 0x09 || firstByte == 0xDA || firstByte == 0xDD;
}

// ------------------------------------------------------ answers and limits

int commandStatusForReason(std::uint8_t reason) {
    switch (reason) {
        case 0x00:
            return 0;
        case 0x02:
        case 0x03:
            return 14;
        case 0x05:
            return 11;
        case 0x06:
            return 12;
        case 0x08:
            return 13;
        case 0x3A:
            return 17;
        default:
            return 12;
    }
}

int uploadStatusForReason(std::uint8_t reason) {
    if (reason == 0x27) return 16;
    if (reason == 0x3A) return 17;
    return 0;
}

int serialTimeLimitMs(int baudIndex) {
    static constexpr int kBase[9] = {10000, 10000, 8000, 6000, 6000, 4000, 2000, 2000, 2000};
    if (baudIndex < 0 || baudIndex > 8) baudIndex = 0;
    return kBase[baudIndex] + 4000;
}

std::string clockMessage(int hour, int minute, int second, int day, int month, int year) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "T%02d%02d%02d%02d%02d%04d", hour % 100, minute % 100,
                  second % 100, day % 100, month % 100, year % 10000);
    return buf;
}

}  // namespace tarvik
