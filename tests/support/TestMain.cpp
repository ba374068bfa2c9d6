// The entry of every test program. The engine's kinds are registered as the
// device registers them, so that tests which read scene files or property sets
// without a device find every engine node kind and property value.
#include "engine/platform/EngineDevice.h"
#include "engine/platform/EngineKinds.h"

#include <gtest/gtest.h>

namespace {

// The engine device is process state: a test that made and destroyed its own
// device (a window test) would leave every later test of the program with a
// destroyed engine. Each test starts with the engine a fresh process has.
class EngineRecordReset : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { engine::forgetDestroyedEngine(); }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    engine::registerEngineKinds();
    testing::UnitTest::GetInstance()->listeners().Append(new EngineRecordReset());
    return RUN_ALL_TESTS();
}
