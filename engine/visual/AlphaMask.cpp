#include "engine/visual/AlphaMask.h"

namespace engine {

bool AlphaMask::build(irr::video::IImage* image) {
    clear();
    if (!image) return false;
    const irr::core::dimension2d<irr::u32> size = image->getDimension();
    std::vector<irr::u8> alpha(static_cast<size_t>(size.Width) * size.Height);
    if (image->getColorFormat() == irr::video::ECF_A8R8G8B8) {
        // The common case, read straight from the pixels: A8R8G8B8 is one
        // native 32-bit value per pixel.
        const irr::u8* rows = static_cast<const irr::u8*>(image->lock());
        if (rows) {
            const irr::u32 pitch = image->getPitch();
            for (irr::u32 y = 0; y < size.Height; ++y) {
                const irr::u32* row = reinterpret_cast<const irr::u32*>(rows + static_cast<size_t>(y) * pitch);
                for (irr::u32 x = 0; x < size.Width; ++x)
                    alpha[static_cast<size_t>(y) * size.Width + x] = static_cast<irr::u8>(row[x] >> 24);
            }
            image->unlock();
            size_ = size;
            alpha_.swap(alpha);
            return true;
        }
    }
    for (irr::u32 y = 0; y < size.Height; ++y)
        for (irr::u32 x = 0; x < size.Width; ++x)
            alpha[static_cast<size_t>(y) * size.Width + x] = static_cast<irr::u8>(image->getPixel(x, y).getAlpha());
    size_ = size;
    alpha_.swap(alpha);
    return true;
}

void AlphaMask::clear() {
    size_ = irr::core::dimension2d<irr::u32>(0, 0);
    alpha_.clear();
    alpha_.shrink_to_fit();
}

bool AlphaMask::isOpaqueAt(irr::u32 x, irr::u32 y, irr::u32 threshold) const {
    if (x >= size_.Width || y >= size_.Height || alpha_.empty()) return false;
    return alpha_[static_cast<size_t>(y) * size_.Width + x] > threshold;
}

}  // namespace engine
