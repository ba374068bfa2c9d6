// Checks a runtime content tree for anything dangling:
//   contentcheck <assets-folder>
// Prints each problem and exits with 1 when there is one, 0 otherwise.
#include "tools/contentcheck/ContentChecker.h"
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: contentcheck <assets-folder>\n");
        return 2;
    }
    contentcheck::ContentChecker checker(argv[1]);
    const bool good = checker.run();
    for (const std::string& problem : checker.problems()) std::fprintf(stderr, "%s\n", problem.c_str());
    std::printf("%s: %s; %zu problem(s)\n", argv[1], checker.summary().c_str(), checker.problems().size());
    return good ? 0 : 1;
}
