#pragma once
// Switches the process to a locale whose decimal separator is a comma for the
// lifetime of the object (generating de_DE.UTF-8 with localedef when it is not
// installed), and back to "C" afterwards. active() is false when no such
// locale could be had; tests then skip.
#include "support/TempDir.h"

namespace testing_support {

class CommaLocale {
public:
    CommaLocale();
    ~CommaLocale();
    bool active() const { return active_; }

private:
    TempDir dir_;
    bool active_ = false;
};

}  // namespace testing_support
