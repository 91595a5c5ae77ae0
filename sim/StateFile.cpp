#include "sim/StateFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace sim {

namespace fs = std::filesystem;

std::string encodeState(const StoredState &state)
{
    std::string text = "leds";
    for (auto byte : state.leds) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", byte);
        text += hex;
    }
    text += "\npaddle " + std::to_string(state.paddle) + "\nversion " + state.version + '\n';
    return text;
}

std::optional<StoredState> decodeState(const std::string &text)
{
    StoredState state;
    bool leds = false, paddle = false, version = false;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        // A file edited on Windows ends its lines with CR LF.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::istringstream fields(line);
        std::string key;
        fields >> key;
        if (key == "leds") {
            for (auto &byte : state.leds) {
                std::string hex;
                if (!(fields >> hex) || hex.size() != 2 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                    return std::nullopt;
                byte = static_cast<std::uint8_t>(std::stoul(hex, nullptr, 16));
            }
            std::string extra;
            if (fields >> extra)
                return std::nullopt;
            leds = true;
        } else if (key == "paddle") {
            int value = -1;
            std::string extra;
            if (!(fields >> value) || value < 0 || value > 0xFF || fields >> extra)
                return std::nullopt;
            state.paddle = static_cast<std::uint8_t>(value);
            paddle = true;
        } else if (key == "version") {
            std::getline(fields >> std::ws, state.version);
            // A control character (a second CR, say) would not be written back as read.
            for (const char c : state.version)
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                    return std::nullopt;
            version = !state.version.empty();
        } else if (!key.empty()) {
            return std::nullopt;
        }
    }
    if (!leds || !paddle || !version)
        return std::nullopt;
    return state;
}

StateFileRead readStateFile(const std::string &path)
{
    StateFileRead result;
    std::error_code error;
    // Looked at before it is opened: opening a FIFO would block, and reading
    // a device such as /dev/zero would never end.
    const fs::file_status status = fs::status(path, error);
    if (error) {
        if (status.type() != fs::file_type::not_found)
            result.error = path + ": " + error.message();
        return result;
    }
    result.exists = true;
    if (!fs::is_regular_file(status)) {
        result.error = path + ": not a regular file";
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.error = path + ": " + std::strerror(errno);
        return result;
    }
    std::string text(kMaxStateFileSize + 1, '\0');
    in.read(&text[0], std::streamsize(text.size()));
    text.resize(std::size_t(in.gcount()));
    if (in.bad()) {
        result.error = path + ": cannot be read";
        return result;
    }
    if (text.size() > kMaxStateFileSize) {
        result.error = path + ": larger than " + std::to_string(kMaxStateFileSize) + " bytes";
        return result;
    }
    result.text = std::move(text);
    return result;
}

std::string writeStateFile(const std::string &path, const std::string &text)
{
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!error && !fs::is_regular_file(status))
        return path + ": not a regular file"; // never replace a directory or a device
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out)
            return temporary + ": " + std::strerror(errno);
        out << text;
        out.flush();
        if (!out) {
            fs::remove(temporary, error);
            return temporary + ": cannot be written";
        }
    }
    fs::rename(temporary, path, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return path + ": " + error.message();
    }
    return std::string();
}

} // namespace sim
