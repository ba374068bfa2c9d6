#pragma once
// Writer of the engine's XML files (scene files, property sets, profiles).
//
// The files are UTF-16 little-endian text starting with a byte-order mark, one
// tab of indentation per open element in front of each tag, CR LF line breaks
// and " />" closing empty elements. Line breaks are written only when asked
// for, as callers lay their elements out themselves.
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include <cstdio>
#include <string>

namespace engine {

class XmlWriter : public virtual RefCounted {
public:
    // Collects the bytes in memory (see getBuffer).
    XmlWriter();
    // Writes to a file, replacing it. A file that cannot be created is logged
    // and leaves a writer that writes nothing (isValid false).
    explicit XmlWriter(const char* path);
    explicit XmlWriter(const stringc& path) : XmlWriter(path.c_str()) {}
    ~XmlWriter() override;

    XmlWriter(const XmlWriter&) = delete;
    XmlWriter& operator=(const XmlWriter&) = delete;

    bool isValid() const { return valid_; }

    // The XML declaration line <?xml version="1.0"?> and a line break.
    void writeXMLHeader();
    // A start tag, or an empty element when `empty` is set. Attributes whose
    // name or value is null are left out.
    void writeElement(const wchar_t* name, bool empty = false,
                      const wchar_t* attr1Name = nullptr, const wchar_t* attr1Value = nullptr,
                      const wchar_t* attr2Name = nullptr, const wchar_t* attr2Value = nullptr,
                      const wchar_t* attr3Name = nullptr, const wchar_t* attr3Value = nullptr,
                      const wchar_t* attr4Name = nullptr, const wchar_t* attr4Value = nullptr,
                      const wchar_t* attr5Name = nullptr, const wchar_t* attr5Value = nullptr);
    // The same with any number of attributes (names and values pair up by index).
    void writeElement(const wchar_t* name, bool empty, const array<stringw>& names,
                      const array<stringw>& values);
    void writeClosingTag(const wchar_t* name);
    // Character data, escaped.
    void writeText(const wchar_t* text);
    void writeComment(const wchar_t* comment);
    void writeLineBreak();

    // Flushes and closes a file; false when some write failed. Memory writers
    // just answer whether they are valid.
    bool close();

    // Everything written so far, when writing to memory.
    const std::string& getBuffer() const { return buffer_; }

private:
    // Ends a start tag: " />" for an empty element, else ">" and one more indent.
    void closeStartTag(bool empty);
    void put(const wchar_t* text);
    void put(const wchar_t* text, size_t length);
    void putEscaped(const wchar_t* text);
    void putAttribute(const wchar_t* name, const wchar_t* value);
    void putIndent();
    void flushChunk();

    std::FILE* file_ = nullptr;
    std::string buffer_;   // all output in memory mode, pending bytes in file mode
    stringc path_;
    int32_t tabs_ = 0;
    bool textWrittenLast_ = false;
    bool bomWritten_ = false;
    bool valid_ = true;
    bool toFile_ = false;
};

}  // namespace engine
