#pragma once
// The key codes the controls react to, as KeyDownEvent::getKey() reports them.
#include <cstdint>

namespace engine {

namespace KeyCode {
constexpr int32_t Backspace = 8;
constexpr int32_t Enter = 13;
constexpr int32_t Escape = 27;
constexpr int32_t End = 35;
constexpr int32_t Home = 36;
constexpr int32_t Left = 37;
constexpr int32_t Up = 38;
constexpr int32_t Right = 39;
constexpr int32_t Down = 40;
constexpr int32_t Delete = 46;
}  // namespace KeyCode

}  // namespace engine
