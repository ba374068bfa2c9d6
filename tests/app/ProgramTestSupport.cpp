#include "app/ProgramTestSupport.h"
#include "engine/io/IrrRef.h"
#include "engine/platform/EngineDevice.h"
#include "engine/platform/Image.h"
#include "engine/platform/ImageManager.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace program_test {

namespace {

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The test's environment with the entries replaced or added.
std::vector<std::string> mergedEnvironment(const std::vector<std::string>& changes) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text(*entry);
        const std::string name = text.substr(0, text.find('='));
        bool replaced = false;
        for (const std::string& change : changes)
            if (change.substr(0, change.find('=')) == name) replaced = true;
        if (!replaced) result.push_back(text);
    }
    result.insert(result.end(), changes.begin(), changes.end());
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(&text[0]);
    result.push_back(nullptr);
    return result;
}

void stop(pid_t pid) {
    if (pid <= 0) return;
    if (waitpid(pid, nullptr, WNOHANG) == 0) {
        kill(pid, SIGTERM);
        for (int i = 0; i < 100 && waitpid(pid, nullptr, WNOHANG) == 0; ++i) sleepMs(20);
        if (waitpid(pid, nullptr, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
}

}  // namespace

XServer::XServer(int width, int height, bool resetWhenEmpty) {
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    std::vector<std::string> arguments = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen,
                                          "-nolisten", "tcp"};
    if (!resetWhenEmpty) arguments.push_back("-noreset");
    std::vector<char*> argv = pointers(arguments);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const bool spawned = posix_spawnp(&pid, "Xvfb", &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (!spawned) {
        close(fds[0]);
        return;
    }
    pid_ = pid;
    // Xvfb writes its display number once it takes connections.
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty()) display_ = ":" + number;
}

bool startPrivateDisplay(std::unique_ptr<XServer>& server, std::unique_ptr<device_test::XProbe>& probe) {
    server = std::make_unique<XServer>(1024, 768);
    if (!server->isRunning()) return false;
    setenv("DISPLAY", server->display().c_str(), 1);
    probe = std::make_unique<device_test::XProbe>();
    return probe->isOpen();
}

XServer::~XServer() { stop(pid_); }

ProgramRun::ProgramRun(const std::string& program, const std::vector<std::string>& environment,
                       const std::string& logPath, const std::vector<std::string>& arguments)
    : logPath_(logPath) {
    std::vector<std::string> env = mergedEnvironment(environment);
    std::vector<char*> envp = pointers(env);
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = pointers(words);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) pid_ = pid;
    posix_spawn_file_actions_destroy(&actions);
}

ProgramRun::~ProgramRun() { stop(pid_); }

bool ProgramRun::waitForExit(int timeoutMs, int& status) {
    if (pid_ <= 0) return false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int raw = 0;
        const pid_t done = waitpid(pid_, &raw, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) return false;
        sleepMs(5);
    }
}

std::string ProgramRun::log() const {
    std::ifstream in(logPath_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

size_t ProgramRun::countInLog(const std::string& fragment) const {
    const std::string text = log();
    size_t count = 0;
    for (size_t at = text.find(fragment); at != std::string::npos; at = text.find(fragment, at + 1)) ++count;
    return count;
}

bool waitUntil(int timeoutMs, const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        sleepMs(20);
    }
    return true;
}

uint64_t instanceWindow(const std::string& runtimeFolder) {
    std::ifstream in(runtimeFolder + "/Lodgeroo_Game_Instance.lock", std::ios::binary);
    uint64_t window = 0;
    if (!in.read(reinterpret_cast<char*>(&window), sizeof window)) return 0;
    return window;
}

uint32_t Frame::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    return pixels[static_cast<size_t>(y) * width + x];
}

void Frame::save(const std::string& path) const {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::vector<uint32_t> copy = pixels;
    engine::CountedRef<engine::Image> image(new engine::Image(
        engine::CreationContext(), engine::CF_A8R8G8B8,
        engine::dimension2du(static_cast<irr::u32>(width), static_cast<irr::u32>(height)), copy.data(), false, false));
    engine::IrrRef<irr::io::IWriteFile> file(engine::getEngine()->getFileSystem()->createAndWriteFile(path.c_str(), false));
    if (file) engine::ImageManager::instance().writeImage(image.get(), file.get());
}

bool near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF), cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > tolerance) return false;
    }
    return true;
}

void writeImage(const std::string& path, int width, int height, uint32_t argb) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    engine::CountedRef<engine::Image> image(new engine::Image(
        engine::CreationContext(), engine::CF_A8R8G8B8,
        engine::dimension2du(static_cast<irr::u32>(width), static_cast<irr::u32>(height))));
    image->fill(argb);
    engine::IrrRef<irr::io::IWriteFile> file(engine::getEngine()->getFileSystem()->createAndWriteFile(path.c_str(), false));
    if (file) engine::ImageManager::instance().writeImage(image.get(), file.get());
}

namespace {

void put16(std::ofstream& out, uint16_t value) { out.put(static_cast<char>(value & 0xFF)).put(static_cast<char>(value >> 8)); }
void put32(std::ofstream& out, uint32_t value) {
    put16(out, static_cast<uint16_t>(value & 0xFFFF));
    put16(out, static_cast<uint16_t>(value >> 16));
}

}  // namespace

void writeTone(const std::string& path, int seconds, double frequency) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    const uint32_t rate = 22050;
    const uint32_t samples = rate * static_cast<uint32_t>(seconds);
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    put32(out, 36 + samples * 2);
    out.write("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1);
    put16(out, 1);
    put32(out, rate);
    put32(out, rate * 2);
    put16(out, 2);
    put16(out, 16);
    out.write("data", 4);
    put32(out, samples * 2);
    for (uint32_t i = 0; i < samples; ++i)
        put16(out, static_cast<uint16_t>(static_cast<int16_t>(
                       16000.0 * std::sin(2.0 * 3.14159265358979 * frequency * i / rate))));
}

double waveRms(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return -1.0;
    auto u16 = [&](size_t at) { return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8); };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    uint32_t format = 0, bits = 0;
    size_t data = 0, dataSize = 0;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        size_t size = u32(at + 4);
        if (id == "fmt " && at + 24 <= bytes.size()) {
            format = u16(at + 8);
            bits = u16(at + 22);
            // WAVE_FORMAT_EXTENSIBLE: the sub-format's first two bytes.
            if (format == 0xFFFE && at + 34 <= bytes.size()) format = u16(at + 32);
        } else if (id == "data") {
            data = at + 8;
            // A file still being written may carry no size yet.
            dataSize = (size == 0 || data + size > bytes.size()) ? bytes.size() - data : size;
            break;
        }
        at += 8 + size + (size & 1);
    }
    if (!data) return -1.0;
    double sum = 0.0;
    size_t count = 0;
    if (format == 1 && bits == 16) {
        for (size_t at = data; at + 2 <= data + dataSize; at += 2, ++count) {
            const double v = static_cast<int16_t>(u16(at)) / 32768.0;
            sum += v * v;
        }
    } else if (format == 3 && bits == 32) {
        for (size_t at = data; at + 4 <= data + dataSize; at += 4, ++count) {
            float v = 0.0f;
            std::memcpy(&v, &bytes[at], 4);
            sum += static_cast<double>(v) * v;
        }
    } else {
        return -1.0;
    }
    return count ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
}

}  // namespace program_test
