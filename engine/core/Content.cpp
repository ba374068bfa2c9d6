#include "engine/core/Content.h"

namespace engine {

Content* Content::clone() {
    return nullptr;
}

}  // namespace engine
