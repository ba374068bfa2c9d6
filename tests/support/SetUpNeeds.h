#pragma once
// Tests that need something of the machine: a display, an audio device, or a
// font or tool that tools/install-deps.sh installs. Outside CI such a test is
// skipped with its reason when the thing is missing. Under CI (CI=true) the
// machine is set up for every test, so the test fails instead: a broken
// set-up must not pass as a run of skipped tests.
#include <gtest/gtest.h>

namespace testing_support {

// True when the environment variable CI is "true".
bool runningUnderCi();

}  // namespace testing_support

// A statement for a test or a fixture's SetUp, with the reason streamed in:
//   if (!display) SKIP_OR_FAIL_UNDER_CI() << "no X display";
#define SKIP_OR_FAIL_UNDER_CI()                                                                                 \
    return GTEST_MESSAGE_(::testing_support::runningUnderCi()                                                   \
                              ? "Fails under CI (CI=true), where the machine must have what this test needs:" \
                              : "",                                                                             \
                          ::testing_support::runningUnderCi() ? ::testing::TestPartResult::kFatalFailure       \
                                                              : ::testing::TestPartResult::kSkip)
