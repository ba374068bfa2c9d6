#include "engine/platform/VideoModeList.h"

#include <algorithm>

namespace engine {

void VideoModeList::addMode(int32_t width, int32_t height, int32_t depth) {
    const VideoMode mode{width, height, depth};
    auto place = std::lower_bound(modes_.begin(), modes_.end(), mode);
    if (place != modes_.end() && *place == mode) return;
    modes_.insert(place, mode);
}

VideoMode VideoModeList::getMode(int32_t index) const {
    if (index < 0 || index >= getModeCount()) return VideoMode();
    return modes_[static_cast<size_t>(index)];
}

}  // namespace engine
