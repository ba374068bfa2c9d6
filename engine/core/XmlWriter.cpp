#include "engine/core/XmlWriter.h"
#include "engine/core/Logger.h"
#include <cerrno>
#include <cstring>
#include <cwchar>

namespace engine {

namespace {

constexpr size_t kFlushSize = 64 * 1024;

void appendUnit(std::string& out, uint32_t unit) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>((unit >> 8) & 0xFF));
}

// One character as UTF-16 little-endian. wchar_t holds 32 bits here: characters
// beyond the 16-bit range become surrogate pairs. Widened bytes 0x80 to 0xFF
// arrive as 0xFF80 to 0xFFFF (the engine's widening rule); a value outside
// Unicode (such as a byte sign-extended to 32 bits by a plain conversion) is
// no character and becomes U+FFFD.
void appendChar(std::string& out, wchar_t c) {
    const int64_t v = static_cast<int64_t>(c);
    if (v >= 0 && v <= 0xFFFF) {
        appendUnit(out, static_cast<uint32_t>(v));
    } else if (v >= 0x10000 && v <= 0x10FFFF) {
        const uint32_t u = static_cast<uint32_t>(v - 0x10000);
        appendUnit(out, 0xD800 + (u >> 10));
        appendUnit(out, 0xDC00 + (u & 0x3FF));
    } else {
        appendUnit(out, 0xFFFD);
    }
}

const wchar_t* escapeOf(wchar_t c) {
    switch (c) {
        case L'&': return L"&amp;";
        case L'<': return L"&lt;";
        case L'>': return L"&gt;";
        case L'"': return L"&quot;";
        default: return nullptr;
    }
}

}  // namespace

XmlWriter::XmlWriter() = default;

XmlWriter::XmlWriter(const char* path) : path_(path ? path : ""), toFile_(true) {
    if (path && *path) file_ = std::fopen(path, "wb");
    if (!file_) {
        valid_ = false;
        getLogger().log("Could not open file for writing", path_.c_str(), LOG_ERROR);
    }
}

XmlWriter::~XmlWriter() { close(); }

void XmlWriter::flushChunk() {
    if (!toFile_ || buffer_.empty()) return;
    if (file_ && valid_) {
        if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
            valid_ = false;
            getLogger().log("Could not write file", path_.c_str(), LOG_ERROR);
        }
    }
    buffer_.clear();
}

bool XmlWriter::close() {
    if (!toFile_) return valid_;
    flushChunk();
    if (file_) {
        if (std::fclose(file_) != 0 && valid_) {
            valid_ = false;
            getLogger().log("Could not write file", path_.c_str(), LOG_ERROR);
        }
        file_ = nullptr;
    }
    return valid_;
}

void XmlWriter::put(const wchar_t* text, size_t length) {
    if (toFile_ && !file_) return;
    // Every output starts with the byte-order mark: without it the engine's
    // reader would take the UTF-16 text for 8-bit text.
    if (!bomWritten_) {
        appendUnit(buffer_, 0xFEFF);
        bomWritten_ = true;
    }
    for (size_t i = 0; i < length; ++i) appendChar(buffer_, text[i]);
    if (buffer_.size() >= kFlushSize) flushChunk();
}

void XmlWriter::put(const wchar_t* text) { put(text, std::wcslen(text)); }

void XmlWriter::putEscaped(const wchar_t* text) {
    const wchar_t* run = text;
    const wchar_t* p = text;
    for (; *p; ++p) {
        if (const wchar_t* symbol = escapeOf(*p)) {
            put(run, static_cast<size_t>(p - run));
            put(symbol);
            run = p + 1;
        }
    }
    put(run, static_cast<size_t>(p - run));
}

void XmlWriter::putAttribute(const wchar_t* name, const wchar_t* value) {
    if (!name || !value) return;
    put(L" ");
    put(name);
    put(L"=\"");
    putEscaped(value);
    put(L"\"");
}

void XmlWriter::putIndent() {
    for (int32_t i = 0; i < tabs_; ++i) put(L"\t");
}

void XmlWriter::writeXMLHeader() {
    put(L"<?xml version=\"1.0\"?>");
    writeLineBreak();
    textWrittenLast_ = false;
}

void XmlWriter::writeElement(const wchar_t* name, bool empty, const wchar_t* attr1Name,
                             const wchar_t* attr1Value, const wchar_t* attr2Name,
                             const wchar_t* attr2Value, const wchar_t* attr3Name,
                             const wchar_t* attr3Value, const wchar_t* attr4Name,
                             const wchar_t* attr4Value, const wchar_t* attr5Name,
                             const wchar_t* attr5Value) {
    if (!name) return;
    putIndent();
    put(L"<");
    put(name);
    putAttribute(attr1Name, attr1Value);
    putAttribute(attr2Name, attr2Value);
    putAttribute(attr3Name, attr3Value);
    putAttribute(attr4Name, attr4Value);
    putAttribute(attr5Name, attr5Value);
    closeStartTag(empty);
}

void XmlWriter::writeElement(const wchar_t* name, bool empty, const array<stringw>& names,
                             const array<stringw>& values) {
    if (!name) return;
    putIndent();
    put(L"<");
    put(name);
    const uint32_t count = names.size() < values.size() ? names.size() : values.size();
    for (uint32_t i = 0; i < count; ++i) putAttribute(names[i].c_str(), values[i].c_str());
    closeStartTag(empty);
}

void XmlWriter::writeClosingTag(const wchar_t* name) {
    if (!name) return;
    if (tabs_ > 0) --tabs_;
    // A closing tag that follows text stays on the text's line.
    if (!textWrittenLast_) putIndent();
    put(L"</");
    put(name);
    put(L">");
    textWrittenLast_ = false;
}

void XmlWriter::writeText(const wchar_t* text) {
    if (!text) return;
    putEscaped(text);
    textWrittenLast_ = true;
}

void XmlWriter::writeComment(const wchar_t* comment) {
    if (!comment) return;
    put(L"<!--");
    putEscaped(comment);
    put(L"-->");
}

void XmlWriter::writeLineBreak() { put(L"\r\n"); }

void XmlWriter::closeStartTag(bool empty) {
    if (empty) {
        put(L" />");
    } else {
        put(L">");
        ++tabs_;
    }
    textWrittenLast_ = false;
}

}  // namespace engine
