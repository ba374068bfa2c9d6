// Time the engine's XML reader takes per megabyte of input, for documents
// whose size lies in one long attribute, one long text, or many small
// elements, at growing sizes: the time per megabyte stays flat when reading
// is linear in the input.
//
//   xml_read_bench [largest size in characters, default 2560000]
#include "engine/core/XmlReader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

using namespace engine;

namespace {

std::string longAttribute(size_t n) { return "<Root Value=\"" + std::string(n, 'x') + "\"/>"; }

std::string longText(size_t n) { return "<Root>" + std::string(n, 'x') + "</Root>"; }

std::string manyElements(size_t n) {
    static const std::string element = "<int Name=\"Item\" Value=\"12345\"/>\n";
    std::string doc = "<Properties>\n";
    for (size_t size = 0; size < n; size += element.size()) doc += element;
    return doc + "</Properties>\n";
}

// Milliseconds to read the whole document, the best of a few runs.
double readMs(const std::string& doc) {
    double best = 1e300;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        XmlReader reader(doc.data(), doc.size(), "bench");
        size_t nodes = 0;
        while (reader.read()) ++nodes;
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (nodes == 0) std::fprintf(stderr, "no nodes read\n");
        if (ms < best) best = ms;
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const size_t largest = argc > 1 ? static_cast<size_t>(std::strtoul(argv[1], nullptr, 10)) : 2560000u;
    const struct {
        const char* name;
        std::string (*make)(size_t);
    } shapes[] = {{"one attribute", longAttribute}, {"one text", longText}, {"many elements", manyElements}};
    std::printf("%-14s %12s %12s %12s\n", "document", "characters", "ms", "ms per MB");
    for (const auto& shape : shapes) {
        for (size_t n = 40000; n <= largest; n *= 4) {
            const std::string doc = shape.make(n);
            const double ms = readMs(doc);
            std::printf("%-14s %12zu %12.2f %12.2f\n", shape.name, doc.size(), ms,
                        ms / (static_cast<double>(doc.size()) / (1024.0 * 1024.0)));
        }
    }
    return 0;
}
