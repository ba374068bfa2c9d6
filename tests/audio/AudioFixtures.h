#pragma once
// Sound files made in memory for the audio tests.
#include "engine/io/MemoryFile.h"
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace audiotest {

inline void put16(std::string& s, uint16_t v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char(v >> 8));
}
inline void put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(char((v >> (8 * i)) & 0xFF));
}

struct WavSpec {
    uint16_t tag = 1;  // 1 PCM, 0xFFFE extensible
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t bits = 16;
    uint32_t mask = 0;  // extensible only
    uint32_t frames = 100;
    bool dataFirst = false;
    bool riffLower = false;
};

inline WavSpec seconds(double s, uint16_t channels = 1) {
    WavSpec w;
    w.channels = channels;
    w.frames = uint32_t(22050 * s);
    return w;
}

// A "fmt " chunk of the description.
inline std::string fmtChunk(const WavSpec& w) {
    std::string body;
    put16(body, w.tag);
    put16(body, w.channels);
    put32(body, w.rate);
    uint16_t align = uint16_t(w.channels * w.bits / 8);
    put32(body, w.rate * align);
    put16(body, align);
    put16(body, w.bits);
    if (w.tag == 0xFFFE) {
        put16(body, 22);
        put16(body, w.bits);
        put32(body, w.mask);
        body.append(16, '\x01');
    }
    std::string chunk = "fmt ";
    put32(chunk, uint32_t(body.size()));
    return chunk + body;
}

// A sample block whose bytes count up, so reads can be checked.
inline std::string samples(const WavSpec& w) {
    std::string data;
    size_t bytes = size_t(w.frames) * w.channels * (w.bits / 8);
    for (size_t i = 0; i < bytes; ++i) data.push_back(char(i * 7 + 1));
    return data;
}

inline std::string dataChunk(const std::string& data) {
    std::string chunk = "data";
    put32(chunk, uint32_t(data.size()));
    chunk += data;
    if (data.size() & 1) chunk.push_back('\0');
    return chunk;
}

inline std::string makeWav(const WavSpec& w, const std::string& extraChunk = std::string()) {
    std::string body = w.riffLower ? "wave" : "WAVE";
    body += extraChunk;
    if (w.dataFirst)
        body += dataChunk(samples(w)) + fmtChunk(w);
    else
        body += fmtChunk(w) + dataChunk(samples(w));
    std::string file = w.riffLower ? "riff" : "RIFF";
    put32(file, uint32_t(body.size()));
    return file + body;
}

// A read file over a copy of the bytes (the caller drops it).
inline engine::MemoryFile* memoryFile(const std::string& bytes, const std::string& name) {
    char* block = new char[bytes.size() + 1];
    std::memcpy(block, bytes.data(), bytes.size());
    return new engine::MemoryFile(block, int32_t(bytes.size()), name.c_str(), true);
}

// An Ogg file made with sox, or empty when sox is not there.
inline std::string makeOggWithSox(const std::string& path, int channels, const char* seconds = "0.5") {
    if (std::system("command -v sox >/dev/null 2>&1") != 0) return std::string();
    std::string cmd = "sox -n -r 22050 -c " + std::to_string(channels) + " '" + path + "' synth " + seconds +
                      " sine 440 >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) return std::string();
    return path;
}

}  // namespace audiotest
