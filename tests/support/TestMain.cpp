// The entry of every test program. The engine's kinds are registered as the
// device registers them, so that tests which read scene files or property sets
// without a device find every engine node kind and property value.
#include "engine/platform/EngineKinds.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    engine::registerEngineKinds();
    return RUN_ALL_TESTS();
}
