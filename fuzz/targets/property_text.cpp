// Property values from text: the first byte picks the type, the rest up to
// a zero byte is one text and what follows another. Both are read narrow and
// wide, written back and read again, compared and interpolated.
#include "engine/core/PropertyDataRegistry.h"
#include "fuzz/support/FuzzSupport.h"
#include <string>

using namespace engine;

namespace {

const wchar_t* const kTypes[] = {L"bool",     L"int",    L"float",        L"color",      L"colorf",
                                 L"vector2d", L"vector3d", L"rect",       L"string",     L"stringw",
                                 L"stringwArray", L"font", L"atlasTexture", L"sound", L"properties"};

stringw widen(const std::string& text) {
    stringw wide;
    for (unsigned char c : text) wide.append(wchar_t(c));
    return wide;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    IContentManager* manager = fuzz::ContentHarness::instance().manager();
    const stringw type = kTypes[data[0] % (sizeof(kTypes) / sizeof(kTypes[0]))];
    const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t split = rest.find('\0');
    const std::string first = rest.substr(0, split);
    const std::string second = split == std::string::npos ? std::string() : rest.substr(split + 1);

    CountedRef<IPropertyData> a = getPropertyDataRegistry().create(type, manager);
    CountedRef<IPropertyData> b = getPropertyDataRegistry().create(type, manager);
    CountedRef<IPropertyData> out = getPropertyDataRegistry().create(type, manager);
    if (!a || !b || !out) return 0;
    a->fromString(first.c_str());
    b->fromStringW(widen(second));
    CountedRef<IPropertyData> again = a->clone();
    again->fromString(a->toString());
    again->fromStringW(b->toStringW());
    a->equals(again.get());
    a->prepareInterpolation(b.get());
    for (float t : {0.0f, 0.5f, 1.0f}) a->interpolate(b.get(), out.get(), t, 0);
    fuzz::ContentHarness::instance().manager()->clearCache();
    return 0;
}
