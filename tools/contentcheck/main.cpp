// Checks a runtime content tree for anything dangling:
//   contentcheck [--require-coverage] <assets-folder>
// Prints each problem and exits with 1 when there is one, 0 otherwise. It
// also reports the kinds of the code that no shipped level uses (see
// DataCoverage.h); with --require-coverage each of those is a problem too.
#include "tools/contentcheck/ContentChecker.h"
#include "tools/contentcheck/DataCoverage.h"
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const bool requireCoverage = argc == 3 && std::strcmp(argv[1], "--require-coverage") == 0;
    if (argc != 2 && !requireCoverage) {
        std::fprintf(stderr, "usage: contentcheck [--require-coverage] <assets-folder>\n");
        return 2;
    }
    const char* root = argv[argc - 1];
    contentcheck::ContentChecker checker(root);
    bool good = checker.run();
    for (const std::string& problem : checker.problems()) std::fprintf(stderr, "%s\n", problem.c_str());
    std::printf("%s: %s; %zu problem(s)\n", root, checker.summary().c_str(), checker.problems().size());

    contentcheck::DataCoverage coverage(root);
    coverage.run();
    for (const std::string& gap : coverage.gaps()) {
        std::fprintf(requireCoverage ? stderr : stdout, "not covered: %s\n", gap.c_str());
    }
    std::printf("coverage: %d level(s), %zu kind(s) of the code used by none\n", coverage.levelCount(),
                coverage.gaps().size());
    if (requireCoverage && !coverage.gaps().empty()) good = false;
    return good ? 0 : 1;
}
