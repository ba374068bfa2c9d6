#pragma once

namespace testing_support {

// Keeps Mesa's OpenGL driver modules mapped until exit, so that the leak check
// still sees the blocks they hold after a GL context closes.
void pinOpenGLDriverModules();

}  // namespace testing_support
