// The engine's XML reader: every node and attribute of any input.
#include "engine/core/XmlReader.h"
#include "fuzz/support/FuzzSupport.h"

using namespace engine;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::quietLogger();
    auto file = fuzz::memoryFile(data, size, "fuzz.xml");
    CountedRef<XmlReader> reader(new XmlReader(file.get()));
    size_t seen = 0;
    while (reader->read()) {
        seen += reader->getNodeName().size() + reader->getNodeData().size();
        for (int32_t i = 0; i < reader->getAttributeCount(); ++i)
            seen += reader->getAttributeName(i).size() + reader->getAttributeValue(i).size();
        seen += size_t(reader->getAttributeValueAsInt(L"Value")) + reader->hasAttribute(L"Name");
        if (reader->getAttributeValueAsFloat(L"Value") > 0.0f) ++seen;
        if (seen % 3 == 0) reader->finishEmptyElement();
    }
    volatile size_t sink = seen;
    (void)sink;
    return 0;
}
