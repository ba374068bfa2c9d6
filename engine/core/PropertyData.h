#pragma once
// Typed property values: every configurable quantity of the engine (node
// properties, animator keys, settings, profiles) is one of these small
// reference-counted objects. A value knows its type, converts itself to and
// from text, compares and interpolates itself, and reads and writes itself as
// one XML element.
//
// Text forms never depend on the process locale: floats are written with six
// decimals ("%0f"), values of several numbers are joined by ";", and numbers are
// read with the engine's own number syntax, so any separator is accepted.
#include "engine/core/NameId.h"
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"

namespace engine {

class XmlReader;
class XmlWriter;

// Type ids of the property values (11 and up are the compound values).
enum PropertyTypeId : int32_t {
    PROPERTY_NONE = 0,
    PROPERTY_INT = 1,
    PROPERTY_BOOL = 2,
    PROPERTY_FLOAT = 3,
    PROPERTY_COLOR = 4,
    PROPERTY_COLORF = 5,
    PROPERTY_VECTOR2D = 6,
    PROPERTY_VECTOR3D = 7,
    PROPERTY_RECT = 8,
    PROPERTY_STRING = 9,
    PROPERTY_STRINGW = 10,
    PROPERTY_STRINGW_ARRAY = 11,
    PROPERTY_PROPERTIES = 12,
    PROPERTY_ATLAS_TEXTURE = 13,
    PROPERTY_FONT = 14,
    PROPERTY_SOUND = 15,
};

class IPropertyData : public virtual RefCounted {
public:
    // The type name, also the XML element name of the value.
    virtual const stringw& getTypeName() const;
    virtual const stringw& getClassName() const;
    virtual int32_t getTypeId() const { return PROPERTY_NONE; }
    // True for the class's own type id and for 0.
    virtual bool isOfType(int32_t typeId) const { return typeId == 0 || typeId == getTypeId(); }
    // A new value of the same class holding a copy of the content.
    virtual CountedRef<IPropertyData> clone() const = 0;
    virtual stringw toStringW() const;
    virtual stringc toString() const = 0;
    virtual void fromString(const stringc& text) = 0;
    virtual void fromStringW(const stringw& text);
    // True when `other` is a value of the same type holding the same content.
    virtual bool equals(const IPropertyData* other) const = 0;
    // Writes into `out` the value at fraction t between this value (t = 0) and
    // `end` (t = 1); true when `out` was written with a value to apply. `end`
    // and `out` must be values of this type, else nothing happens (false). The
    // mode is passed through; no value type reads it.
    virtual bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t mode) const = 0;
    // Called once with the following key's value before any interpolate.
    virtual void prepareInterpolation(const IPropertyData* next) { (void)next; }
    // Sets the value from the attribute "Value" of the element the reader
    // stands on (empty text when absent). Reads no further nodes.
    virtual void readFromXml(XmlReader* reader);
    // One empty element named by the type name, with "Name" and "Value".
    virtual void writeToXml(XmlWriter* writer, const stringc& name) const;
};

class CPropertyDataInt : public IPropertyData {
public:
    explicit CPropertyDataInt(int32_t v = 0) : value(v) {}
    const stringw& getTypeName() const override;
    const stringw& getClassName() const override;
    int32_t getTypeId() const override { return PROPERTY_INT; }
    CountedRef<IPropertyData> clone() const override;
    stringc toString() const override;
    void fromString(const stringc& text) override;
    bool equals(const IPropertyData* other) const override;
    bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t mode) const override;

    int32_t value;
};

class CPropertyDataBool : public IPropertyData {
public:
    explicit CPropertyDataBool(bool v = false) : value(v) {}
    const stringw& getTypeName() const override;
    const stringw& getClassName() const override;
    int32_t getTypeId() const override { return PROPERTY_BOOL; }
    CountedRef<IPropertyData> clone() const override;
    stringc toString() const override;
    void fromString(const stringc& text) override;
    bool equals(const IPropertyData* other) const override;
    bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t mode) const override;

    bool value;
};

class CPropertyDataFloat : public IPropertyData {
public:
    explicit CPropertyDataFloat(float v = 0.0f) : value(v) {}
    const stringw& getTypeName() const override;
    const stringw& getClassName() const override;
    int32_t getTypeId() const override { return PROPERTY_FLOAT; }
    CountedRef<IPropertyData> clone() const override;
    stringc toString() const override;
    void fromString(const stringc& text) override;
    bool equals(const IPropertyData* other) const override;
    bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t mode) const override;

    float value;
};

// A 32-bit colour, alpha in the top byte. Text without a hexadecimal number
// reads as 0 (transparent black), which is also the value the registry makes.
class CPropertyDataColor : public IPropertyData {
public:
    explicit CPropertyDataColor(SColor v = SColor(0)) : value(v) {}
    const stringw& getTypeName() const override;
    const stringw& getClassName() const override;
    int32_t getTypeId() const override { return PROPERTY_COLOR; }
    CountedRef<IPropertyData> clone() const override;
    stringc toString() const override;
    void fromString(const stringc& text) override;
    bool equals(const IPropertyData* other) const override;
    bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t mode) const override;

    SColor value;
};

class CPropertyDataColorf : public IPropertyData {
public:
    explicit CPropertyDataColorf(SColorf v = SColorf(0.0f, 0.0f, 0.0f, 0.0f)) : value(v) {}
    const stringw& getTypeName() const override;
    const stringw& getClassName() const override;
    int32_t getTypeId() const override { return PROPERTY_COLORF; }
    CountedRef<IPropertyData> clone() const override;
    stringc toString() const override;
    void fromString(const stringc& text) override;
    bool equals(const IPropertyData* other) const override;
    bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t mode) const override;

    SColorf value;
};

class CPropertyDataVector2d : public IPropertyData {
public:
    explicit CPropertyDataVector2d(vector2df v = vector2df(0.0f, 0.0f)) : value(v) {}
    const stringw& getTypeName() const override;
    const stringw& getClassName() const override;
    int32_t getTypeId() const override { return PROPERTY_VECTOR2D; }
    CountedRef<IPropertyData> clone() const override;
    stringc toString() const override;
    void fromString(const stringc& text) override;
    bool equals(const IPropertyData* other) const override;
    bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t mode) const override;

    vector2df value;
};

// Equality allows each component a difference of up to 1e-6.
class CPropertyDataVector3d : public IPropertyData {
public:
    explicit CPropertyDataVector3d(vector3df v = vector3df(0.0f, 0.0f, 0.0f)) : value(v) {}
    const stringw& getTypeName() const override;
    const stringw& getClassName() const override;
    int32_t getTypeId() const override { return PROPERTY_VECTOR3D; }
    CountedRef<IPropertyData> clone() const override;
    stringc toString() const override;
    void fromString(const stringc& text) override;
    bool equals(const IPropertyData* other) const override;
    bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t mode) const override;

    vector3df value;
};

class CPropertyDataRect : public IPropertyData {
public:
    explicit CPropertyDataRect(rectf v = rectf(0.0f, 0.0f, 0.0f, 0.0f)) : value(v) {}
    const stringw& getTypeName() const override;
    const stringw& getClassName() const override;
    int32_t getTypeId() const override { return PROPERTY_RECT; }
    CountedRef<IPropertyData> clone() const override;
    stringc toString() const override;
    void fromString(const stringc& text) override;
    bool equals(const IPropertyData* other) const override;
    bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t mode) const override;

    rectf value;
};

class CPropertyDataString : public IPropertyData {
public:
    explicit CPropertyDataString(const stringc& v = stringc()) : value(v) {}
    const stringw& getTypeName() const override;
    const stringw& getClassName() const override;
    int32_t getTypeId() const override { return PROPERTY_STRING; }
    CountedRef<IPropertyData> clone() const override;
    stringc toString() const override;
    void fromString(const stringc& text) override;
    bool equals(const IPropertyData* other) const override;
    bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t mode) const override;

    stringc value;
};

class CPropertyDataStringW : public IPropertyData {
public:
    explicit CPropertyDataStringW(const stringw& v = stringw()) : value(v) {}
    const stringw& getTypeName() const override;
    const stringw& getClassName() const override;
    int32_t getTypeId() const override { return PROPERTY_STRINGW; }
    CountedRef<IPropertyData> clone() const override;
    stringw toStringW() const override;
    stringc toString() const override;
    void fromString(const stringc& text) override;
    void fromStringW(const stringw& text) override;
    bool equals(const IPropertyData* other) const override;
    bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t mode) const override;

    stringw value;
};

// Construction functions: a new value holding the content.
CountedRef<CPropertyDataInt> makeIntProperty(int32_t value);
CountedRef<CPropertyDataBool> makeBoolProperty(bool value);
CountedRef<CPropertyDataFloat> makeFloatProperty(float value);
CountedRef<CPropertyDataColor> makeColorProperty(SColor value);
CountedRef<CPropertyDataVector2d> makeVector2dProperty(const vector2df& value);
CountedRef<CPropertyDataVector3d> makeVector3dProperty(const vector3df& value);
CountedRef<CPropertyDataString> makeStringProperty(const stringc& value);
CountedRef<CPropertyDataStringW> makeStringWProperty(const stringw& value);

// The value as class Data when it is of the given type; null for a missing
// value or one of another type.
template <class Data>
const Data* propertyDataAs(const CountedRef<IPropertyData>& data, int32_t typeId) {
    return data && data->isOfType(typeId) ? dynamic_cast<const Data*>(data.get()) : nullptr;
}

// Reading functions: the content of a value of that class; a missing value or
// one of another class gives the type's zero.
int32_t intFromProperty(const CountedRef<IPropertyData>& data);
bool boolFromProperty(const CountedRef<IPropertyData>& data);
float floatFromProperty(const CountedRef<IPropertyData>& data);
SColor colorFromProperty(const CountedRef<IPropertyData>& data);
vector2df vector2dFromProperty(const CountedRef<IPropertyData>& data);
vector3df vector3dFromProperty(const CountedRef<IPropertyData>& data);

// Text of a value that may be missing (empty text then).
stringc propertyDataToString(const CountedRef<IPropertyData>& data);
stringw getPropertyStringW(const CountedRef<IPropertyData>& data);
void propertyToString(const CountedRef<IPropertyData>& data, stringc& out);
void propertyToStringW(const CountedRef<IPropertyData>& data, stringw& out);

// Properties that hold a name id (a node's Name) travel as string values.
CountedRef<CPropertyDataString> makeStringPropertyFromNameId(NameId id);
// The interned text of the value; -1 for a missing value or an empty text.
NameId nameIdFromProperty(const CountedRef<IPropertyData>& data);

// The engine's number syntax, read from `text`: an optional "-", digits, an
// optional "." and fraction digits, an optional "e"/"E" and exponent. Text
// without digits gives 0. `end`, when given, receives the position after the
// number.
float parseFloatW(const wchar_t* text, const wchar_t** end = nullptr);
float parseFloat(const char* text, const char** end = nullptr);
// Optional "+" or "-" and decimal digits; clamped to 2147483647 on overflow.
int32_t parseIntW(const wchar_t* text, const wchar_t** end = nullptr);
int32_t parseInt(const char* text, const char** end = nullptr);

// The multi-number text forms: the first numbers of the text, each starting at a
// "-" or a digit, every other character skipped; missing numbers are 0.
vector2df parseVector2d(const stringw& text);
vector2df parseVector2d(const stringc& text);
vector3df parseVector3d(const stringw& text);
vector3df parseVector3d(const stringc& text);
rectf parseRect(const stringw& text);
rectf parseRect(const stringc& text);
SColorf parseColorf(const stringw& text);
SColorf parseColorf(const stringc& text);

}  // namespace engine
