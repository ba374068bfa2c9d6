#include "engine/core/Event.h"

namespace engine {

const wchar_t* Event::getClassName() const {
    return L"#thisClassName";
}

}  // namespace engine
