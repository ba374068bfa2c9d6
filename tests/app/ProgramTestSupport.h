#pragma once
// Running the real program from a test: a private X server of a chosen screen
// size, the program started with its own data and runtime folders and its log
// in a file, and the content it is given.
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/DisplayTestSupport.h"

namespace program_test {

// Xvfb on a free display number, stopped with the object. It stays up when
// its last client leaves unless `resetWhenEmpty` (Xvfb's own default, which
// xvfb-run keeps).
class XServer {
public:
    XServer(int width, int height, bool resetWhenEmpty = false);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool isRunning() const { return pid_ > 0 && !display_.empty(); }
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// A private 1024 x 768 server named in this process's DISPLAY, and a probe
// connection to it; false when either cannot be had.
bool startPrivateDisplay(std::unique_ptr<XServer>& server, std::unique_ptr<device_test::XProbe>& probe);

// One start of the program: its environment is the test's plus `environment`
// ("NAME=value" entries replace the test's), its output goes to `logPath`.
class ProgramRun {
public:
    ProgramRun(const std::string& program, const std::vector<std::string>& environment, const std::string& logPath,
               const std::vector<std::string>& arguments = {});
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool started() const { return pid_ > 0; }
    // True with the exit status (-1 for a signal) once the program ended
    // within the time.
    bool waitForExit(int timeoutMs, int& status);
    std::string log() const;
    size_t countInLog(const std::string& fragment) const;

private:
    pid_t pid_ = -1;
    std::string logPath_;
};

// Polls until the condition holds or the time is up.
bool waitUntil(int timeoutMs, const std::function<bool()>& condition);

// The window id the running instance stored in its lock file (0 when none).
uint64_t instanceWindow(const std::string& runtimeFolder);

// A screen image of the window and the colour at a point.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // ARGB, rows from the top
    uint32_t at(int x, int y) const;
    // Writes the frame as a PNG file for people to look at.
    void save(const std::string& path) const;
};

// True when the colours differ by at most `tolerance` in each channel.
bool near(uint32_t a, uint32_t b, int tolerance = 24);

// Writes an opaque PNG of one colour.
void writeImage(const std::string& path, int width, int height, uint32_t argb);
// Writes a mono 16-bit WAVE file of a sine tone.
void writeTone(const std::string& path, int seconds, double frequency);
// The root mean square of the samples of a WAVE file (16-bit integer or
// 32-bit float, any channel count), in full scale; -1 when it cannot be read.
double waveRms(const std::string& path);

}  // namespace program_test
