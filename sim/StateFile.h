#pragma once
// The simulated wheel's flash, kept in a small text file so that the -sim
// program remembers stored settings from one run to the next:
//   leds 00 11 ... (54 bytes in hex)
//   paddle 60
//   version 1.0.3
// Only a regular file is ever read or replaced: a directory, a device or a
// FIFO named by mistake is refused without being opened.

#include "device/leds.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace sim {

struct StoredState {
    vorla::LedBlock leds{};
    std::uint8_t paddle = 0;
    std::string version;
};

// A state file is a few dozen bytes; anything much larger is not one.
constexpr std::size_t kMaxStateFileSize = 4096;

std::string encodeState(const StoredState &state);
// The state a file's text holds, or nothing when any line is missing or damaged.
std::optional<StoredState> decodeState(const std::string &text);

struct StateFileRead {
    bool exists = false;
    std::string text;  // when it exists and could be read
    std::string error; // why it could not be, or empty
};

// Reads the file at `path`, at most kMaxStateFileSize bytes, without blocking.
StateFileRead readStateFile(const std::string &path);

// Replaces the file at `path` with `text` (written beside it, then renamed
// over it). Returns why that failed, or an empty string.
std::string writeStateFile(const std::string &path, const std::string &text);

} // namespace sim
