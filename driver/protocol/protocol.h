// The register protocol without any I/O: control bytes, the frame checksum,
// the frame encoder, the byte-by-byte frame receiver, the expansion of
// compressed records, the offset encoding of stored records and upload lines,
// and the small tables that map the register's answers to status codes.
//
// On the serial line every message travels in a frame:
//
//     DLE STX [ "#" d d ] body' DLE ETX crc-high crc-low
//
// where body' is the body with DLE doubled and every run of 0x00 or 0xFF
// bytes written as the byte and a count (1..255). The checksum is CRC-16 with
// the reflected polynomial 0xA001, start 0xFFFF, no final inversion, over the
// address prefix and the body before substitution. On UDP a message is one
// datagram as it stands (no frame, no checksum).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

// Control bytes.
inline constexpr std::uint8_t STX = 0x02;
inline constexpr std::uint8_t ETX = 0x03;
inline constexpr std::uint8_t EOT = 0x04;
inline constexpr std::uint8_t ACK = 0x06;
inline constexpr std::uint8_t SO = 0x0E;
inline constexpr std::uint8_t DLE = 0x10;
inline constexpr std::uint8_t NAK = 0x15;
inline constexpr std::uint8_t SYN = 0x16;

// Size of the send and receive buffers. A received message holds at most
// kMessageBufferSize - 1 bytes; a message to send at most kMessageBufferSize.
inline constexpr std::size_t kMessageBufferSize = 1056;

// Longest frame the encoder can produce: every body byte may become two
// (a doubled DLE, or a lone 0x00/0xFF with its count), plus DLE STX, the
// "#nn" prefix, DLE ETX and the two checksum bytes.
inline constexpr std::size_t kMaxFrameSize = 2 * kMessageBufferSize + 9;

// Longest record after expansion: the expanded record is followed by CR LF
// and both must fit into one message buffer. (It is also the longest line an
// upload sends, so every stored record can be sent back as it is.)
inline constexpr std::size_t kMaxExpandedRecord = kMessageBufferSize - 2;

// ---------------------------------------------------------------- checksum

// CRC-16 (reflected polynomial 0xA001, no final inversion), computed a nibble
// at a time. Pass the previous result as `crc` to continue over more bytes.
std::uint16_t crc16(const std::uint8_t* data, std::size_t len, std::uint16_t crc = 0xFFFF);
std::uint16_t crc16(std::string_view data, std::uint16_t crc = 0xFFFF);

// ------------------------------------------------------------------ frames

// Writes the frame of `body` for register `registerNumber` (1..99 adds the
// "#nn" prefix; 0 or anything outside 1..99 sends no prefix) into `out`,
// which must hold kMaxFrameSize bytes (or at least frameSize(...)). Answers
// the frame's length.
std::size_t encodeFrame(const std::uint8_t* body, std::size_t len, int registerNumber,
                        std::uint8_t* out);
// The same into a string (bytes as chars).
std::string encodeFrame(std::string_view body, int registerNumber = 0);

// The receiver of serial frames, one byte at a time. It keeps its state and
// its 1056-byte buffer between calls, exactly as the line dictates:
//
//   data          DLE -> after-DLE; 0x00 -> store, zero-run; 0xFF -> store,
//                 ff-run; any other -> store
//   after-DLE     STX or EOT -> position 0, data (new frame / sender reset);
//                 ETX -> checksum-high; any other (DLE too) -> store, data
//   checksum-high remember as high byte -> checksum-low
//   checksum-low  -> data; CRC over the stored bytes from 0 equal to the
//                 checksum: the message is complete; otherwise position 0
//   zero-run n    store n-1 more 0x00 (none for 0 or 1) -> data
//   ff-run n      store n-1 more 0xFF -> data
//
// Storing past the end of the buffer wraps to position 0, so a message holds
// at most 1055 bytes. A frame whose data wrapped is always dropped at its
// checksum (also in the rare case that the checksum over the wrapped bytes
// happens to match), so an over-long frame can never be taken as a message.
// The receiver does not interpret an address prefix: whatever stands between
// the frame's start and DLE ETX is the message.
class FrameReceiver {
  public:
    enum class State { Data, AfterDle, ChecksumHigh, ChecksumLow, ZeroRun, FfRun };

    // Feeds one received byte. Answers the message length when this byte
    // completes a frame with a good checksum, otherwise 0. The message is
    // then data()[0 .. length-1] and stays there until the next byte is fed
    // or clear() is called. (An empty frame completes with length 0 and is
    // thus indistinguishable from nothing, as it carries nothing.)
    std::size_t feed(std::uint8_t byte);

    // Zeroes the buffer, position 0, state data. Called before every send of
    // a transaction.
    void clear();

    // 0 when no frame is in progress (nothing stored since the last start,
    // drop or clear).
    std::size_t position() const { return pos_; }
    State state() const { return state_; }
    const std::uint8_t* data() const { return buf_; }
    std::string_view message(std::size_t length) const {
        return {reinterpret_cast<const char*>(buf_), length};
    }

  private:
    void store(std::uint8_t b);

    std::uint8_t buf_[kMessageBufferSize] = {};
    std::size_t pos_ = 0;
    State state_ = State::Data;
    std::uint8_t crcHigh_ = 0;
    bool wrapped_ = false;
};

// -------------------------------------------------------------- expansion

// A record that begins with SO is compressed: the byte after SO is the escape
// byte E; then a byte other than E is copied, E 0x00 stands for E itself, and
// E count distance copies `count` bytes one after another, each from
// `distance` bytes back in the output. Numbers are big-endian groups of seven
// bits, a set high bit meaning another byte follows.
enum class ExpandStatus {
    Ok,            // the whole record was expanded
    Overflow,      // the output would exceed the bound (or a count is absurd)
    Truncated,     // the record ends inside an escape sequence (or right after SO)
    BadReference,  // a distance of 0 or reaching before the start of the output
};
struct ExpandResult {
    ExpandStatus status;
    std::size_t length;  // bytes written to out; 0 unless status is Ok
};

// Expands `in` (the received record, starting with SO) into `out`, which
// holds `cap` bytes (at most kMaxExpandedRecord are ever written when cap is
// larger). On any status other than Ok the contents of `out` are unusable and
// the record must not be stored at all: a record is written whole or not.
ExpandResult expandRecord(const std::uint8_t* in, std::size_t len, std::uint8_t* out,
                          std::size_t cap = kMaxExpandedRecord);
// Convenience: answers the status and puts the expansion into `out` (empty
// unless Ok).
ExpandStatus expandRecord(std::string_view in, std::string& out);
// A name for logs and messages: "ok", "overflow", "truncated", "bad reference".
const char* expandStatusName(ExpandStatus s);

// ---------------------------------------------------------- offset coding

// Records stored by the B variants of the output files have 0x30 subtracted
// (mod 256) from every byte, the line end included (CR LF becomes DD DA).
// Upload lines in that form get it added back while they are read.
void offsetEncode(std::uint8_t* data, std::size_t len);
void offsetDecode(std::uint8_t* data, std::size_t len);
void offsetEncode(std::string& data);
void offsetDecode(std::string& data);
// An upload line is in offset encoding when its first byte is 0x00..0x09,
// 0xDA or 0xDD (an encoded digit, LF or CR).
bool isOffsetEncodedLine(std::uint8_t firstByte);

// ------------------------------------------------------ answers and limits

// Status code of a COMMAND for the reason byte of the register's final ACK:
// 0x00 -> 0, 0x02/0x03 -> 14, 0x05 -> 11, 0x06 -> 12, 0x08 -> 13, 0x3A -> 17,
// any other (0x27 included) -> 12.
int commandStatusForReason(std::uint8_t reason);
// Status code of an UPLOAD line for the reason byte: 0x27 -> 16 (the upload
// ends), 0x3A -> 17 (the upload ends), any other -> 0 (line accepted).
int uploadStatusForReason(std::uint8_t reason);

// Time limit of one attempt on the serial link by baud index 0..8, in ms
// (14000 for 0 and 1 down to 6000 for 6..8); indexes outside 0..8 count as 0.
int serialTimeLimitMs(int baudIndex);
// Time limit of one attempt on UDP.
inline constexpr int kUdpTimeLimitMs = 6000;

// The clock-setting message for TSYSTEM: "T" hh mm ss DD MM YYYY (15 bytes).
std::string clockMessage(int hour, int minute, int second, int day, int month, int year);

}  // namespace tarvik
