#pragma once
// The display modes the screen offers and the desktop's own mode.
#include <cstdint>
#include <vector>

namespace engine {

struct VideoMode {
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;  // bits per pixel

    bool operator==(const VideoMode& o) const { return width == o.width && height == o.height && depth == o.depth; }
    bool operator!=(const VideoMode& o) const { return !(*this == o); }
    // By width, then height, then depth.
    bool operator<(const VideoMode& o) const {
        if (width != o.width) return width < o.width;
        if (height != o.height) return height < o.height;
        return depth < o.depth;
    }
};

// Modes without duplicates, ascending.
class VideoModeList {
public:
    // Leaves out a mode equal in all three fields to one in the list.
    void addMode(int32_t width, int32_t height, int32_t depth);
    int32_t getModeCount() const { return static_cast<int32_t>(modes_.size()); }
    // A zero mode for an index outside the list.
    VideoMode getMode(int32_t index) const;
    const VideoMode& getDesktopMode() const { return desktop_; }
    void setDesktopMode(int32_t width, int32_t height, int32_t depth) { desktop_ = VideoMode{width, height, depth}; }
    bool empty() const { return modes_.empty(); }
    void clear() {
        modes_.clear();
        desktop_ = VideoMode();
    }

private:
    std::vector<VideoMode> modes_;
    VideoMode desktop_;
};

}  // namespace engine
