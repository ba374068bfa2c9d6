#pragma once
// The engine's XML reader: Irrlicht's parser, read as wide text.
//
// Input with a UTF-16 or UTF-32 byte-order mark is decoded (UTF-16 surrogate
// pairs become one character); other input is taken as 8-bit text and widened
// byte by byte by the engine's rule (no UTF-8 decoding).
//
// Empty elements: Irrlicht reports <A/> as an element start with no end. This
// reader follows such a start with an end node of the same name, so every
// element start has its end. On the start node isEmptyElement() is true. A
// reader of an element consumes it up to and including its end; code that
// returns early when it stands on an empty element calls finishEmptyElement()
// to step onto that end (it does nothing on any other node).
//
// A loop that reads "up to the end of A" must not stop at the end of another
// element named A inside it or passed over before it (an empty <A/> has one
// too): it takes the depth of A's start and reads with readInside(depth),
// which stops only at the end that closes A.
//
// Input that cannot be read, is empty or holds no element at all is logged as an
// error and gives a reader whose isValid() is false and whose read() is false.
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include <cstddef>
#include <string>
#include <vector>

namespace engine {

class XmlReader : public virtual RefCounted {
public:
    // Reads a file of the operating system.
    explicit XmlReader(const char* path);
    explicit XmlReader(const stringc& path) : XmlReader(path.c_str()) {}
    // Reads a copy of bytes in memory; `name` only serves error messages.
    XmlReader(const void* data, size_t size, const char* name = "memory");
    // Reads an open file from its current position to its end. The file stays
    // the caller's.
    explicit XmlReader(irr::io::IReadFile* file);
    ~XmlReader() override;

    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;

    bool isValid() const { return valid_; }

    // Moves to the next node; false at the end of the input.
    bool read();

    // EXN_ELEMENT (1) for a start, EXN_ELEMENT_END (2) for an end, EXN_TEXT...;
    // EXN_NONE before the first read and after the end.
    irr::io::EXML_NODE getNodeType() const;
    // The element name of a start or end node.
    const stringw& getNodeName() const;
    // The text of a text, comment or CDATA node.
    const stringw& getNodeData() const;
    // True on the start node of an element written as <A/>.
    bool isEmptyElement() const;
    // On the start node of an empty element, moves onto its end node; otherwise
    // does nothing. Returns true when it moved.
    bool finishEmptyElement();

    // The number of elements enclosing the current node: 0 for the start and
    // end of a root element, 1 for its children and texts... An element's
    // start and the end that closes it have the same depth. 0 before the first
    // read and after the end.
    int32_t getDepth() const;
    // Moves to the next node inside the element whose start had `depth`: false
    // when that node is the element's end (the reader then stands on it) or the
    // input has ended (getNodeType() is then EXN_NONE).
    bool readInside(int32_t depth);
    // On an element start, moves onto the end that closes it, passing over
    // everything inside; false when the input ends first, or when the reader
    // stands on no element start (it then does not move).
    bool skipElement();

    // Attributes of the current element start, in document order. Out-of-range
    // indices give the empty text.
    int32_t getAttributeCount() const;
    const stringw& getAttributeName(int32_t index) const;
    const stringw& getAttributeValue(int32_t index) const;

    bool hasAttribute(const wchar_t* name) const;
    // The attribute's text, or `defaultValue` when the element has no such attribute.
    stringw getAttributeValue(const wchar_t* name, const stringw& defaultValue = stringw()) const;
    // Numbers in the engine's number syntax (leading white space allowed), so
    // "1e3" gives 1000 and " 7" gives 7; text without a number gives 0. The
    // default applies only when the attribute is missing. Ints are read as a
    // float and truncated toward zero.
    float getAttributeValueAsFloat(const wchar_t* name, float defaultValue = 0.0f) const;
    int32_t getAttributeValueAsInt(const wchar_t* name, int32_t defaultValue = 0) const;

private:
    struct Node {
        irr::io::EXML_NODE type = irr::io::EXN_NONE;
        stringw name;  // element name, or the text of text-like nodes
        std::vector<std::pair<stringw, stringw>> attributes;
        bool empty = false;
        int32_t depth = 0;
    };

    void parse(const std::vector<char>& bytes, const char* name);
    const Node* current() const;
    const std::pair<stringw, stringw>* findAttribute(const wchar_t* name) const;

    std::vector<Node> nodes_;
    size_t position_ = 0;  // index of the current node plus one; 0 before the first read
    bool valid_ = false;
};

}  // namespace engine
