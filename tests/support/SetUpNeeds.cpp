#include "support/SetUpNeeds.h"

#include <cstdlib>
#include <cstring>

namespace testing_support {

bool runningUnderCi() {
    const char* ci = std::getenv("CI");
    return ci && std::strcmp(ci, "true") == 0;
}

}  // namespace testing_support
