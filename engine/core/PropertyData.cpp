#include "engine/core/PropertyData.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include <charconv>
#include <cfloat>
#include <cmath>

namespace engine {

namespace {

// ---------------------------------------------------------------------------
// Numbers as text. Nothing here consults the locale: the files the engine
// reads and writes use "." whatever the player's language is.

template <class C>
bool isDigit(C c) {
    return c >= C('0') && c <= C('9');
}

template <class C>
bool isSpace(C c) {
    return c == C(' ') || c == C('\t') || c == C('\n') || c == C('\v') || c == C('\f') || c == C('\r');
}

// Digits as an unsigned number: exact integer arithmetic while it cannot
// overflow, then float arithmetic. Consumes every digit.
template <class C>
float readDigits(const C*& p) {
    uint32_t whole = 0;
    while (isDigit(*p) && whole < 429496719u) {
        whole = whole * 10u + static_cast<uint32_t>(*p - C('0'));
        ++p;
    }
    float value = static_cast<float>(whole);
    bool saturated = false;
    while (isDigit(*p)) {
        if (!saturated) {
            value = value * 10.0f + static_cast<float>(*p - C('0'));
            saturated = value > FLT_MAX;
        }
        ++p;
    }
    return value;
}

template <class C>
int32_t parseIntT(const C* p, const C** end) {
    bool negative = false;
    if (*p == C('-') || *p == C('+')) {
        negative = *p == C('-');
        ++p;
    }
    int64_t value = 0;
    while (isDigit(*p)) {
        if (value <= 2147483647) value = value * 10 + static_cast<int64_t>(*p - C('0'));
        ++p;
    }
    if (value > 2147483647) value = 2147483647;
    if (end) *end = p;
    return static_cast<int32_t>(negative ? -value : value);
}

// Powers of ten for up to 15 fraction digits.
const float kFractionScale[16] = {0.0f,     0.1f,      0.01f,      0.001f,      0.0001f,      0.00001f,
                                  0.000001f, 0.0000001f, 0.00000001f, 0.000000001f, 0.0000000001f,
                                  1e-11f,    1e-12f,    1e-13f,     1e-14f,      1e-15f};

template <class C>
float parseFloatT(const C* p, const C** end) {
    bool negative = false;
    if (*p == C('-')) {
        negative = true;
        ++p;
    }
    float value = readDigits(p);
    if (*p == C('.')) {
        ++p;
        const C* start = p;
        const float fraction = readDigits(p);
        const size_t count = static_cast<size_t>(p - start);
        if (count < 16)
            value += fraction * kFractionScale[count];
        else  // longer fractions than the table covers: scale exactly
            value += static_cast<float>(static_cast<double>(fraction) * std::pow(10.0, -static_cast<double>(count)));
    }
    if (*p == C('e') || *p == C('E')) {
        ++p;
        const int32_t exponent = parseIntT(p, &p);
        // Zero and infinity keep their value whatever the exponent (0 times
        // infinity is no number).
        if (value != 0.0f && std::isfinite(value))
            value = static_cast<float>(static_cast<double>(value) * std::pow(10.0, static_cast<double>(exponent)));
    }
    if (end) *end = p;
    return negative ? -value : value;
}

template <class C>
void scanNumbers(const C* p, float* out, int count) {
    int found = 0;
    if (p) {
        while (*p && found < count) {
            if (*p == C('-') || isDigit(*p))
                out[found++] = parseFloatT(p, &p);
            else
                ++p;
        }
    }
    for (; found < count; ++found) out[found] = 0.0f;
}

// The C library's atoi rules: white space, optional sign, digits. Values beyond
// the 32-bit range are clamped.
int32_t parseAtoi(const char* p) {
    while (isSpace(*p)) ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    int64_t value = 0;
    while (isDigit(*p)) {
        if (value <= 2147483648LL) value = value * 10 + (*p - '0');
        ++p;
    }
    if (negative) value = -value;
    if (value > 2147483647LL) value = 2147483647LL;
    if (value < -2147483648LL) value = -2147483648LL;
    return static_cast<int32_t>(value);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The scanf conversion "%08x": white space, then at most eight characters of
// optional sign, optional 0x prefix and hexadecimal digits. Text without a
// digit gives 0.
uint32_t parseHexColor(const char* p) {
    while (isSpace(*p)) ++p;
    int width = 8;
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
        --width;
    }
    uint32_t value = 0;
    bool digits = false;
    if (width > 0 && *p == '0') {
        digits = true;
        ++p;
        --width;
        if (width > 0 && (*p == 'x' || *p == 'X')) {
            ++p;
            --width;
        }
    }
    for (; width > 0 && hexDigit(*p) >= 0; --width, ++p) {
        value = (value << 4) | static_cast<uint32_t>(hexDigit(*p));
        digits = true;
    }
    if (!digits) return 0;
    return negative ? 0u - value : value;
}

stringc formatFloat(float value) {
    char buffer[128];
    const auto result =
        std::to_chars(buffer, buffer + sizeof(buffer), static_cast<double>(value), std::chars_format::fixed, 6);
    *result.ptr = '\0';
    return stringc(buffer);
}

stringc formatInt(int32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer) - 1, value);
    *result.ptr = '\0';
    return stringc(buffer);
}

stringc formatHex8(uint32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer) - 1, value, 16);
    const size_t length = static_cast<size_t>(result.ptr - buffer);
    stringc out;
    for (size_t i = length; i < 8; ++i) out.append('0');
    *result.ptr = '\0';
    out.append(buffer);
    return out;
}

stringc joinFloats(std::initializer_list<float> values) {
    stringc out;
    bool first = true;
    for (float v : values) {
        if (!first) out.append(';');
        out.append(formatFloat(v));
        first = false;
    }
    return out;
}

float lerp(float start, float end, float t) { return start + (end - start) * t; }

// Truncation toward zero of a double, kept inside the 32-bit range.
int64_t truncateClamped(double v, int64_t low, int64_t high) {
    if (std::isnan(v)) return 0;
    v = std::trunc(v);
    if (v <= static_cast<double>(low)) return low;
    if (v >= static_cast<double>(high)) return high;
    return static_cast<int64_t>(v);
}

// The interpolation end and output as this value's own class, or null.
template <class T>
bool castPair(const IPropertyData* end, IPropertyData* out, const T*& e, T*& o) {
    e = dynamic_cast<const T*>(end);
    o = dynamic_cast<T*>(out);
    return e && o;
}

#define DEFINE_NAMES(Class, typeName)                    \
    const stringw& Class::getTypeName() const {          \
        static const stringw name(typeName);             \
        return name;                                     \
    }                                                    \
    const stringw& Class::getClassName() const {         \
        static const stringw name(L## #Class);           \
        return name;                                     \
    }

}  // namespace

// ---------------------------------------------------------------------------
// Number syntax

float parseFloatW(const wchar_t* text, const wchar_t** end) {
    if (!text) {
        if (end) *end = text;
        return 0.0f;
    }
    return parseFloatT(text, end);
}

float parseFloat(const char* text, const char** end) {
    if (!text) {
        if (end) *end = text;
        return 0.0f;
    }
    return parseFloatT(text, end);
}

int32_t parseIntW(const wchar_t* text, const wchar_t** end) {
    if (!text) {
        if (end) *end = text;
        return 0;
    }
    return parseIntT(text, end);
}

int32_t parseInt(const char* text, const char** end) {
    if (!text) {
        if (end) *end = text;
        return 0;
    }
    return parseIntT(text, end);
}

vector2df parseVector2d(const stringw& text) {
    float v[2];
    scanNumbers(text.c_str(), v, 2);
    return vector2df(v[0], v[1]);
}
vector2df parseVector2d(const stringc& text) {
    float v[2];
    scanNumbers(text.c_str(), v, 2);
    return vector2df(v[0], v[1]);
}
vector3df parseVector3d(const stringw& text) {
    float v[3];
    scanNumbers(text.c_str(), v, 3);
    return vector3df(v[0], v[1], v[2]);
}
vector3df parseVector3d(const stringc& text) {
    float v[3];
    scanNumbers(text.c_str(), v, 3);
    return vector3df(v[0], v[1], v[2]);
}
rectf parseRect(const stringw& text) {
    float v[4];
    scanNumbers(text.c_str(), v, 4);
    return rectf(v[0], v[1], v[2], v[3]);
}
rectf parseRect(const stringc& text) {
    float v[4];
    scanNumbers(text.c_str(), v, 4);
    return rectf(v[0], v[1], v[2], v[3]);
}
SColorf parseColorf(const stringw& text) {
    float v[4];
    scanNumbers(text.c_str(), v, 4);
    return SColorf(v[0], v[1], v[2], v[3]);
}
SColorf parseColorf(const stringc& text) {
    float v[4];
    scanNumbers(text.c_str(), v, 4);
    return SColorf(v[0], v[1], v[2], v[3]);
}

// ---------------------------------------------------------------------------
// The interface

const stringw& IPropertyData::getTypeName() const {
    static const stringw name(L"none");
    return name;
}

const stringw& IPropertyData::getClassName() const {
    static const stringw name(L"IPropertyData");
    return name;
}

stringw IPropertyData::toStringW() const { return widen(toString()); }

void IPropertyData::fromStringW(const stringw& text) { fromString(narrow(text)); }

void IPropertyData::readFromXml(XmlReader* reader) {
    if (!reader) return;
    fromStringW(reader->getAttributeValue(L"Value"));
}

void IPropertyData::writeToXml(XmlWriter* writer, const stringc& name) const {
    if (!writer) return;
    writer->writeElement(getTypeName().c_str(), true, L"Name", widen(name).c_str(), L"Value", toStringW().c_str());
}

// ---------------------------------------------------------------------------
// int

DEFINE_NAMES(CPropertyDataInt, L"int")

CountedRef<IPropertyData> CPropertyDataInt::clone() const { return CountedRef<IPropertyData>(new CPropertyDataInt(value)); }

stringc CPropertyDataInt::toString() const { return formatInt(value); }

void CPropertyDataInt::fromString(const stringc& text) { value = parseAtoi(text.c_str()); }

bool CPropertyDataInt::equals(const IPropertyData* other) const {
    const auto* o = dynamic_cast<const CPropertyDataInt*>(other);
    return o && o->value == value;
}

bool CPropertyDataInt::interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t) const {
    const CPropertyDataInt* e;
    CPropertyDataInt* o;
    if (!castPair(end, out, e, o)) return false;
    const int64_t difference = static_cast<int64_t>(e->value) - value;
    const int64_t step = truncateClamped(static_cast<double>(difference) * t, -4294967296LL, 4294967296LL);
    o->value = static_cast<int32_t>(truncateClamped(static_cast<double>(value + step), -2147483647LL - 1, 2147483647LL));
    return true;
}

// ---------------------------------------------------------------------------
// bool

DEFINE_NAMES(CPropertyDataBool, L"bool")

CountedRef<IPropertyData> CPropertyDataBool::clone() const { return CountedRef<IPropertyData>(new CPropertyDataBool(value)); }

stringc CPropertyDataBool::toString() const { return stringc(value ? "true" : "false"); }

void CPropertyDataBool::fromString(const stringc& text) { value = text == "true"; }

bool CPropertyDataBool::equals(const IPropertyData* other) const {
    const auto* o = dynamic_cast<const CPropertyDataBool*>(other);
    return o && o->value == value;
}

bool CPropertyDataBool::interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t) const {
    const CPropertyDataBool* e;
    CPropertyDataBool* o;
    if (!castPair(end, out, e, o)) return false;
    const bool wanted = t == 1.0f ? e->value : value;
    if (o->value == wanted) return false;
    o->value = wanted;
    return true;
}

// ---------------------------------------------------------------------------
// float

DEFINE_NAMES(CPropertyDataFloat, L"float")

CountedRef<IPropertyData> CPropertyDataFloat::clone() const {
    return CountedRef<IPropertyData>(new CPropertyDataFloat(value));
}

stringc CPropertyDataFloat::toString() const { return formatFloat(value); }

void CPropertyDataFloat::fromString(const stringc& text) { value = parseFloat(text.c_str()); }

bool CPropertyDataFloat::equals(const IPropertyData* other) const {
    const auto* o = dynamic_cast<const CPropertyDataFloat*>(other);
    return o && o->value == value;
}

bool CPropertyDataFloat::interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t) const {
    const CPropertyDataFloat* e;
    CPropertyDataFloat* o;
    if (!castPair(end, out, e, o)) return false;
    o->value = lerp(value, e->value, t);
    return true;
}

// ---------------------------------------------------------------------------
// color

DEFINE_NAMES(CPropertyDataColor, L"color")

CountedRef<IPropertyData> CPropertyDataColor::clone() const {
    return CountedRef<IPropertyData>(new CPropertyDataColor(value));
}

stringc CPropertyDataColor::toString() const { return formatHex8(value.color); }

void CPropertyDataColor::fromString(const stringc& text) { value.color = parseHexColor(text.c_str()); }

bool CPropertyDataColor::equals(const IPropertyData* other) const {
    const auto* o = dynamic_cast<const CPropertyDataColor*>(other);
    return o && o->value.color == value.color;
}

bool CPropertyDataColor::interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t) const {
    const CPropertyDataColor* e;
    CPropertyDataColor* o;
    if (!castPair(end, out, e, o)) return false;
    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float start = static_cast<float>((value.color >> shift) & 0xFF);
        const float stop = static_cast<float>((e->value.color >> shift) & 0xFF);
        const int64_t channel = truncateClamped(start * (1.0f - t) + stop * t, -2147483647LL - 1, 2147483647LL);
        result |= (static_cast<uint32_t>(channel) & 0xFFu) << shift;
    }
    o->value.color = result;
    return true;
}

// ---------------------------------------------------------------------------
// colorf

DEFINE_NAMES(CPropertyDataColorf, L"colorf")

CountedRef<IPropertyData> CPropertyDataColorf::clone() const {
    return CountedRef<IPropertyData>(new CPropertyDataColorf(value));
}

stringc CPropertyDataColorf::toString() const { return joinFloats({value.r, value.g, value.b, value.a}); }

void CPropertyDataColorf::fromString(const stringc& text) { value = parseColorf(text); }

bool CPropertyDataColorf::equals(const IPropertyData* other) const {
    const auto* o = dynamic_cast<const CPropertyDataColorf*>(other);
    return o && o->value.r == value.r && o->value.g == value.g && o->value.b == value.b && o->value.a == value.a;
}

bool CPropertyDataColorf::interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t) const {
    const CPropertyDataColorf* e;
    CPropertyDataColorf* o;
    if (!castPair(end, out, e, o)) return false;
    const float keep = 1.0f - t;
    o->value = SColorf(value.r * keep + e->value.r * t, value.g * keep + e->value.g * t,
                       value.b * keep + e->value.b * t, value.a * keep + e->value.a * t);
    return true;
}

// ---------------------------------------------------------------------------
// vector2d

DEFINE_NAMES(CPropertyDataVector2d, L"vector2d")

CountedRef<IPropertyData> CPropertyDataVector2d::clone() const {
    return CountedRef<IPropertyData>(new CPropertyDataVector2d(value));
}

stringc CPropertyDataVector2d::toString() const { return joinFloats({value.X, value.Y}); }

void CPropertyDataVector2d::fromString(const stringc& text) { value = parseVector2d(text); }

bool CPropertyDataVector2d::equals(const IPropertyData* other) const {
    const auto* o = dynamic_cast<const CPropertyDataVector2d*>(other);
    return o && o->value.X == value.X && o->value.Y == value.Y;
}

bool CPropertyDataVector2d::interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t) const {
    const CPropertyDataVector2d* e;
    CPropertyDataVector2d* o;
    if (!castPair(end, out, e, o)) return false;
    o->value = vector2df(lerp(value.X, e->value.X, t), lerp(value.Y, e->value.Y, t));
    return true;
}

// ---------------------------------------------------------------------------
// vector3d

DEFINE_NAMES(CPropertyDataVector3d, L"vector3d")

CountedRef<IPropertyData> CPropertyDataVector3d::clone() const {
    return CountedRef<IPropertyData>(new CPropertyDataVector3d(value));
}

stringc CPropertyDataVector3d::toString() const { return joinFloats({value.X, value.Y, value.Z}); }

void CPropertyDataVector3d::fromString(const stringc& text) { value = parseVector3d(text); }

bool CPropertyDataVector3d::equals(const IPropertyData* other) const {
    const auto* o = dynamic_cast<const CPropertyDataVector3d*>(other);
    if (!o) return false;
    const auto near = [](float mine, float theirs) {
        return theirs >= mine - 0.000001f && theirs <= mine + 0.000001f;
    };
    return near(value.X, o->value.X) && near(value.Y, o->value.Y) && near(value.Z, o->value.Z);
}

bool CPropertyDataVector3d::interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t) const {
    const CPropertyDataVector3d* e;
    CPropertyDataVector3d* o;
    if (!castPair(end, out, e, o)) return false;
    o->value = vector3df(lerp(value.X, e->value.X, t), lerp(value.Y, e->value.Y, t), lerp(value.Z, e->value.Z, t));
    return true;
}

// ---------------------------------------------------------------------------
// rect

DEFINE_NAMES(CPropertyDataRect, L"rect")

CountedRef<IPropertyData> CPropertyDataRect::clone() const { return CountedRef<IPropertyData>(new CPropertyDataRect(value)); }

stringc CPropertyDataRect::toString() const {
    return joinFloats({value.UpperLeftCorner.X, value.UpperLeftCorner.Y, value.LowerRightCorner.X,
                       value.LowerRightCorner.Y});
}

void CPropertyDataRect::fromString(const stringc& text) { value = parseRect(text); }

bool CPropertyDataRect::equals(const IPropertyData* other) const {
    const auto* o = dynamic_cast<const CPropertyDataRect*>(other);
    return o && o->value.UpperLeftCorner.X == value.UpperLeftCorner.X &&
           o->value.UpperLeftCorner.Y == value.UpperLeftCorner.Y &&
           o->value.LowerRightCorner.X == value.LowerRightCorner.X &&
           o->value.LowerRightCorner.Y == value.LowerRightCorner.Y;
}

bool CPropertyDataRect::interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t) const {
    const CPropertyDataRect* e;
    CPropertyDataRect* o;
    if (!castPair(end, out, e, o)) return false;
    o->value = rectf(lerp(value.UpperLeftCorner.X, e->value.UpperLeftCorner.X, t),
                     lerp(value.UpperLeftCorner.Y, e->value.UpperLeftCorner.Y, t),
                     lerp(value.LowerRightCorner.X, e->value.LowerRightCorner.X, t),
                     lerp(value.LowerRightCorner.Y, e->value.LowerRightCorner.Y, t));
    return true;
}

// ---------------------------------------------------------------------------
// string

DEFINE_NAMES(CPropertyDataString, L"string")

CountedRef<IPropertyData> CPropertyDataString::clone() const {
    return CountedRef<IPropertyData>(new CPropertyDataString(value));
}

stringc CPropertyDataString::toString() const { return value; }

void CPropertyDataString::fromString(const stringc& text) { value = text; }

bool CPropertyDataString::equals(const IPropertyData* other) const {
    const auto* o = dynamic_cast<const CPropertyDataString*>(other);
    return o && o->value == value;
}

bool CPropertyDataString::interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t) const {
    const CPropertyDataString* e;
    CPropertyDataString* o;
    if (!castPair(end, out, e, o) || !(t >= 1.0f)) return false;
    o->value = e->value;
    return true;
}

// ---------------------------------------------------------------------------
// stringw

DEFINE_NAMES(CPropertyDataStringW, L"stringw")

CountedRef<IPropertyData> CPropertyDataStringW::clone() const {
    return CountedRef<IPropertyData>(new CPropertyDataStringW(value));
}

stringw CPropertyDataStringW::toStringW() const { return value; }

stringc CPropertyDataStringW::toString() const { return narrow(value); }

void CPropertyDataStringW::fromString(const stringc& text) { value = widen(text); }

void CPropertyDataStringW::fromStringW(const stringw& text) { value = text; }

bool CPropertyDataStringW::equals(const IPropertyData* other) const {
    const auto* o = dynamic_cast<const CPropertyDataStringW*>(other);
    return o && o->value == value;
}

bool CPropertyDataStringW::interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t) const {
    const CPropertyDataStringW* e;
    CPropertyDataStringW* o;
    if (!castPair(end, out, e, o) || !(t >= 1.0f)) return false;
    o->value = e->value;
    return true;
}

// ---------------------------------------------------------------------------
// Free functions

CountedRef<CPropertyDataInt> makeIntProperty(int32_t value) { return makeRef<CPropertyDataInt>(value); }
CountedRef<CPropertyDataBool> makeBoolProperty(bool value) { return makeRef<CPropertyDataBool>(value); }
CountedRef<CPropertyDataFloat> makeFloatProperty(float value) { return makeRef<CPropertyDataFloat>(value); }
CountedRef<CPropertyDataColor> makeColorProperty(SColor value) { return makeRef<CPropertyDataColor>(value); }
CountedRef<CPropertyDataVector2d> makeVector2dProperty(const vector2df& value) {
    return makeRef<CPropertyDataVector2d>(value);
}
CountedRef<CPropertyDataVector3d> makeVector3dProperty(const vector3df& value) {
    return makeRef<CPropertyDataVector3d>(value);
}
CountedRef<CPropertyDataString> makeStringProperty(const stringc& value) { return makeRef<CPropertyDataString>(value); }
CountedRef<CPropertyDataStringW> makeStringWProperty(const stringw& value) {
    return makeRef<CPropertyDataStringW>(value);
}

stringc propertyDataToString(const CountedRef<IPropertyData>& data) { return data ? data->toString() : stringc(); }

stringw getPropertyStringW(const CountedRef<IPropertyData>& data) { return data ? data->toStringW() : stringw(); }

void propertyToString(const CountedRef<IPropertyData>& data, stringc& out) { out = propertyDataToString(data); }

void propertyToStringW(const CountedRef<IPropertyData>& data, stringw& out) { out = getPropertyStringW(data); }

CountedRef<CPropertyDataString> makeStringPropertyFromNameId(NameId id) { return makeStringProperty(nameOfId(id)); }

int32_t intFromProperty(const CountedRef<IPropertyData>& data) {
    const auto* value = propertyDataAs<CPropertyDataInt>(data, PROPERTY_INT);
    return value ? value->value : 0;
}
bool boolFromProperty(const CountedRef<IPropertyData>& data) {
    const auto* value = propertyDataAs<CPropertyDataBool>(data, PROPERTY_BOOL);
    return value && value->value;
}
float floatFromProperty(const CountedRef<IPropertyData>& data) {
    const auto* value = propertyDataAs<CPropertyDataFloat>(data, PROPERTY_FLOAT);
    return value ? value->value : 0.0f;
}
SColor colorFromProperty(const CountedRef<IPropertyData>& data) {
    const auto* value = propertyDataAs<CPropertyDataColor>(data, PROPERTY_COLOR);
    return value ? value->value : SColor(0);
}
vector2df vector2dFromProperty(const CountedRef<IPropertyData>& data) {
    const auto* value = propertyDataAs<CPropertyDataVector2d>(data, PROPERTY_VECTOR2D);
    return value ? value->value : vector2df(0.0f, 0.0f);
}
vector3df vector3dFromProperty(const CountedRef<IPropertyData>& data) {
    const auto* value = propertyDataAs<CPropertyDataVector3d>(data, PROPERTY_VECTOR3D);
    return value ? value->value : vector3df(0.0f, 0.0f, 0.0f);
}

NameId nameIdFromProperty(const CountedRef<IPropertyData>& data) {
    if (!data) return kNoName;
    const stringc text = data->toString();
    if (text.empty()) return kNoName;
    return makeNameId(text);
}

}  // namespace engine
