#include "support/CommaLocale.h"
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

namespace testing_support {

CommaLocale::CommaLocale() {
    const char* german = "de_DE.UTF-8";
    if (!std::setlocale(LC_ALL, german)) {
        const std::string command = "localedef -c -i de_DE -f UTF-8 '" + dir_.file(german) + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) == 0) {
            ::setenv("LOCPATH", dir_.path().c_str(), 1);
            if (!std::setlocale(LC_ALL, german)) ::unsetenv("LOCPATH");
        }
    }
    active_ = std::setlocale(LC_ALL, german) && std::strcmp(std::localeconv()->decimal_point, ",") == 0;
}

CommaLocale::~CommaLocale() {
    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
}

}  // namespace testing_support
