#include "engine/core/XmlReader.h"
#include "engine/core/Logger.h"
#include "engine/core/PropertyData.h"
#include "engine/core/TextConvert.h"
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace engine {

namespace {

using irr::io::char32;

// Hands a buffer to Irrlicht's parser, which reads it in one go.
class BufferReadCallBack : public irr::io::IFileReadCallBack {
public:
    explicit BufferReadCallBack(const std::string& bytes) : bytes_(bytes) {}
    int read(void* buffer, int sizeToRead) override {
        if (sizeToRead <= 0 || position_ >= bytes_.size()) return 0;
        size_t n = bytes_.size() - position_;
        if (n > static_cast<size_t>(sizeToRead)) n = static_cast<size_t>(sizeToRead);
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return static_cast<int>(n);
    }
    long getSize() const override { return static_cast<long>(bytes_.size()); }

private:
    const std::string& bytes_;
    size_t position_ = 0;
};

bool isXmlSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

// The input as wide characters, by its byte-order mark: UTF-32 and UTF-16 in
// either byte order (surrogate pairs joined), otherwise 8-bit text widened by
// the engine's rule (a UTF-8 mark is skipped, the bytes are not decoded).
std::wstring decode(const std::vector<char>& bytes) {
    const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])); };
    const size_t size = bytes.size();
    std::wstring text;
    if (size >= 4 && ((byte(0) == 0 && byte(1) == 0 && byte(2) == 0xFE && byte(3) == 0xFF) ||
                      (byte(0) == 0xFF && byte(1) == 0xFE && byte(2) == 0 && byte(3) == 0))) {
        const bool big = byte(0) == 0;
        text.reserve(size / 4);
        for (size_t i = 4; i + 3 < size; i += 4) {
            const uint32_t c = big ? (byte(i) << 24) | (byte(i + 1) << 16) | (byte(i + 2) << 8) | byte(i + 3)
                                   : (byte(i + 3) << 24) | (byte(i + 2) << 16) | (byte(i + 1) << 8) | byte(i);
            // Values beyond Unicode are no characters; they are replaced, which
            // also keeps them apart from the parser's stand-in below.
            text.push_back(c > 0x10FFFF && c < 0xFFFFFF80u ? L'\xFFFD' : static_cast<wchar_t>(c));
        }
    } else if (size >= 2 && ((byte(0) == 0xFE && byte(1) == 0xFF) || (byte(0) == 0xFF && byte(1) == 0xFE))) {
        const bool big = byte(0) == 0xFE;
        const auto unit = [&](size_t i) { return big ? (byte(i) << 8) | byte(i + 1) : (byte(i + 1) << 8) | byte(i); };
        text.reserve(size / 2);
        for (size_t i = 2; i + 1 < size; i += 2) {
            uint32_t c = unit(i);
            if (c >= 0xD800 && c <= 0xDBFF && i + 3 < size) {
                const uint32_t low = unit(i + 2);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                }
            }
            text.push_back(static_cast<wchar_t>(c));
        }
    } else {
        size_t i = (size >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) ? 3 : 0;
        text.reserve(size - i);
        for (; i < size; ++i) text.push_back(widenChar(bytes[i]));
    }
    return text;
}

// Irrlicht's parser trusts markup to be closed: it scans for ">" (and inside a
// tag for "=" or white space) without looking for the end of the text, so a
// truncated tag makes it read past its buffer. This walks the markup the way
// the parser does and gives the length of text it can parse safely: the whole
// text, or the position of the first "<" whose construct would run off the end.
size_t safeLength(const std::wstring& t) {
    const size_t n = t.size();
    size_t i = 0;
    while (i < n) {
        while (i < n && t[i] != L'<') ++i;
        if (i >= n) return n;
        const size_t open = i++;
        const wchar_t c = i < n ? t[i] : L'\0';
        if (c == L'/' || c == L'?') {
            const size_t close = t.find(L'>', i);
            if (close == std::wstring::npos) return open;
            i = close + 1;
        } else if (c == L'!' && i + 1 < n && t[i + 1] == L'[') {
            // CDATA: the parser watches for the end of the text itself, but
            // takes a "]]>" that overlaps the opening "<![CDATA[" for a
            // content of negative length.
            i += 8;
            if (i >= n) return n;
            const size_t close = t.find(L"]]>", i - 2);
            if (close == std::wstring::npos) return n;
            if (close < i) return open;
            i = close + 3;
        } else if (c == L'!') {
            // Comment: "<" and ">" nest, and the parser cuts the text out
            // between "<!--" and "-->" without checking they exist.
            size_t p = i + 1;
            int depth = 1;
            while (depth > 0) {
                if (p >= n) return open;
                if (t[p] == L'>')
                    --depth;
                else if (t[p] == L'<')
                    ++depth;
                ++p;
            }
            if (p - (i + 1) < 5) return open;
            i = p;
        } else {
            // Element start: name, then attributes (name, "=", quoted value)
            // up to ">" or "/".
            size_t p = i;
            while (p < n && t[p] != L'>' && !isXmlSpace(t[p])) ++p;
            for (;;) {
                if (p >= n) return open;
                if (t[p] == L'>') break;
                if (isXmlSpace(t[p])) {
                    ++p;
                } else if (t[p] != L'/') {
                    while (p < n && !isXmlSpace(t[p]) && t[p] != L'=') ++p;
                    if (p >= n) return open;
                    ++p;
                    while (p < n && t[p] != L'"' && t[p] != L'\'') ++p;
                    if (p >= n) return open;
                    const wchar_t quote = t[p++];
                    while (p < n && t[p] != quote) ++p;
                    if (p >= n) return open;
                    ++p;
                } else {
                    // The parser takes the character after "/" for the ">".
                    ++p;
                    if (p >= n) return open;
                    break;
                }
            }
            i = p + 1;
        }
    }
    return n;
}

// The number of characters of a zero-terminated text of the parser.
size_t parserTextLength(const char32* text) {
    size_t n = 0;
    while (static_cast<unsigned int>(text[n]) != 0) ++n;
    return n;
}

// Irrlicht's entity replacement loses the character after an entity when it is
// the last one of the text ("x&amp;y" becomes "x&"). The parser is therefore
// given "&" as a stand-in character that no decoded text holds, and the
// entities are replaced here.
constexpr uint32_t kAmpersandStandIn = 0x110026;

// Text for the parser: UTF-32 little-endian with its byte-order mark, so that
// it keeps every character as it is.
std::string encodeForParser(const std::wstring& text) {
    std::string out("\xFF\xFE\0\0", 4);
    out.reserve(4 + text.size() * 4);
    for (wchar_t c : text) {
        const uint32_t u = c == L'&' ? kAmpersandStandIn : static_cast<uint32_t>(c);
        for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((u >> shift) & 0xFF));
    }
    return out;
}

// The parser's characters as an engine wide string, with the entities &amp;
// &lt; &gt; &quot; and &apos; replaced when `entities` is set.
stringw toWide(const char32* text, bool entities) {
    static const struct {
        const wchar_t* name;  // after the "&"
        size_t length;
        wchar_t character;
    } kEntities[] = {{L"amp;", 4, L'&'}, {L"lt;", 3, L'<'}, {L"gt;", 3, L'>'}, {L"quot;", 5, L'"'}, {L"apos;", 5, L'\''}};
    stringw out;
    if (!text) return out;
    // Irrlicht's append() reallocates for every character it adds: without
    // room made first, a long text or attribute would take quadratic time.
    out.reserve(static_cast<irr::u32>(parserTextLength(text) + 1));
    const auto at = [](const char32* p) { return static_cast<uint32_t>(static_cast<unsigned int>(*p)); };
    for (const char32* p = text; at(p) != 0; ++p) {
        if (at(p) != kAmpersandStandIn) {
            out.append(static_cast<wchar_t>(at(p)));
            continue;
        }
        wchar_t c = L'&';
        if (entities) {
            for (const auto& e : kEntities) {
                size_t k = 0;
                while (k < e.length && at(p + 1 + k) == static_cast<uint32_t>(e.name[k])) ++k;
                if (k == e.length) {
                    c = e.character;
                    p += e.length;
                    break;
                }
            }
        }
        out.append(c);
    }
    return out;
}

bool readWholeFile(const char* path, std::vector<char>& bytes) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    bool ok = true;
    char chunk[16384];
    for (;;) {
        const size_t n = std::fread(chunk, 1, sizeof(chunk), f);
        bytes.insert(bytes.end(), chunk, chunk + n);
        if (n < sizeof(chunk)) {
            ok = !std::ferror(f);
            break;
        }
    }
    std::fclose(f);
    return ok;
}

float numberAfterSpace(const wchar_t* text) {
    while (*text == L' ' || *text == L'\t' || *text == L'\r' || *text == L'\n') ++text;
    return parseFloatW(text);
}

const stringw& emptyText() {
    static const stringw empty;
    return empty;
}

}  // namespace

XmlReader::XmlReader(const char* path) {
    const char* name = path ? path : "";
    std::vector<char> bytes;
    if (!path || !*path || !readWholeFile(path, bytes)) {
        getLogger().log("Could not open XML file", name, LOG_ERROR);
        return;
    }
    parse(bytes, name);
}

XmlReader::XmlReader(const void* data, size_t size, const char* name) {
    std::vector<char> bytes;
    if (data && size) {
        const char* p = static_cast<const char*>(data);
        bytes.assign(p, p + size);
    }
    parse(bytes, name ? name : "");
}

XmlReader::XmlReader(irr::io::IReadFile* file) {
    if (!file) {
        logError("Could not read XML: no file");
        return;
    }
    const stringc name = file->getFileName().c_str();
    const long size = file->getSize() - file->getPos();
    std::vector<char> bytes;
    if (size > 0) {
        bytes.resize(static_cast<size_t>(size));
        const irr::s32 got = file->read(bytes.data(), static_cast<irr::u32>(size));
        if (got < 0) {
            getLogger().log("Could not read XML file", name.c_str(), LOG_ERROR);
            return;
        }
        bytes.resize(static_cast<size_t>(got));
    }
    parse(bytes, name.c_str());
}

XmlReader::~XmlReader() = default;

void XmlReader::parse(const std::vector<char>& bytes, const char* name) {
    std::wstring text = decode(bytes);
    // The parser ends at a zero character anyway; cut there so that nothing
    // after it is scanned.
    const size_t zero = text.find(L'\0');
    if (zero != std::wstring::npos) text.resize(zero);
    if (text.empty()) {
        getLogger().log("XML input is empty", name, LOG_ERROR);
        return;
    }
    const size_t safe = safeLength(text);
    if (safe < text.size()) {
        getLogger().log("XML input is truncated or malformed; reading stops at an unclosed tag", name, LOG_ERROR);
        text.resize(safe);
    }

    const std::string input = encodeForParser(text);
    BufferReadCallBack callback(input);
    std::unique_ptr<irr::io::IrrXMLReaderUTF32> xml(irr::io::createIrrXMLReaderUTF32(&callback, false));
    if (!xml) {
        getLogger().log("Could not read XML", name, LOG_ERROR);
        return;
    }
    bool sawElement = false;
    // The names of the elements open at the current node, outermost first.
    std::vector<stringw> open;
    while (xml->read()) {
        Node node;
        node.type = xml->getNodeType();
        node.depth = static_cast<int32_t>(open.size());
        switch (node.type) {
            case irr::io::EXN_ELEMENT: {
                sawElement = true;
                node.name = toWide(xml->getNodeName(), false);
                node.empty = xml->isEmptyElement();
                const int count = xml->getAttributeCount();
                node.attributes.reserve(static_cast<size_t>(count > 0 ? count : 0));
                for (int i = 0; i < count; ++i)
                    node.attributes.emplace_back(toWide(xml->getAttributeName(i), false),
                                                 toWide(xml->getAttributeValue(i), true));
                if (!node.empty) open.push_back(node.name);
                break;
            }
            case irr::io::EXN_ELEMENT_END: {
                node.name = toWide(xml->getNodeName(), false);
                // An end tag closes the innermost open element of its name and
                // every element left open inside it; an end tag that matches no
                // open element closes nothing.
                size_t match = open.size();
                while (match > 0 && open[match - 1] != node.name) --match;
                if (match > 0) {
                    node.depth = static_cast<int32_t>(match - 1);
                    open.resize(match - 1);
                }
                break;
            }
            case irr::io::EXN_TEXT:
                node.name = toWide(xml->getNodeData(), true);
                break;
            case irr::io::EXN_COMMENT:
            case irr::io::EXN_CDATA:
            case irr::io::EXN_UNKNOWN:
                node.name = toWide(xml->getNodeData(), false);
                break;
            default:
                break;
        }
        const bool empty = node.empty;
        nodes_.push_back(std::move(node));
        if (empty) {
            Node end;
            end.type = irr::io::EXN_ELEMENT_END;
            end.name = nodes_.back().name;
            end.depth = nodes_.back().depth;
            nodes_.push_back(std::move(end));
        }
    }
    if (!sawElement) {
        nodes_.clear();
        getLogger().log("Not an XML document", name, LOG_ERROR);
        return;
    }
    valid_ = true;
}

const XmlReader::Node* XmlReader::current() const {
    if (position_ == 0 || position_ > nodes_.size()) return nullptr;
    return &nodes_[position_ - 1];
}

bool XmlReader::read() {
    if (position_ < nodes_.size()) {
        ++position_;
        return true;
    }
    position_ = nodes_.size() + 1;
    return false;
}

irr::io::EXML_NODE XmlReader::getNodeType() const {
    const Node* n = current();
    return n ? n->type : irr::io::EXN_NONE;
}

const stringw& XmlReader::getNodeName() const {
    const Node* n = current();
    if (!n || (n->type != irr::io::EXN_ELEMENT && n->type != irr::io::EXN_ELEMENT_END)) return emptyText();
    return n->name;
}

const stringw& XmlReader::getNodeData() const {
    const Node* n = current();
    if (!n || n->type == irr::io::EXN_ELEMENT || n->type == irr::io::EXN_ELEMENT_END) return emptyText();
    return n->name;
}

bool XmlReader::isEmptyElement() const {
    const Node* n = current();
    return n && n->type == irr::io::EXN_ELEMENT && n->empty;
}

bool XmlReader::finishEmptyElement() {
    if (!isEmptyElement()) return false;
    return read();
}

int32_t XmlReader::getDepth() const {
    const Node* n = current();
    return n ? n->depth : 0;
}

bool XmlReader::readInside(int32_t depth) {
    if (!read()) return false;
    return !(getNodeType() == irr::io::EXN_ELEMENT_END && getDepth() == depth);
}

bool XmlReader::skipElement() {
    if (getNodeType() != irr::io::EXN_ELEMENT) return false;
    const int32_t depth = getDepth();
    while (readInside(depth)) {
    }
    return getNodeType() == irr::io::EXN_ELEMENT_END;
}

int32_t XmlReader::getAttributeCount() const {
    const Node* n = current();
    return n ? static_cast<int32_t>(n->attributes.size()) : 0;
}

const stringw& XmlReader::getAttributeName(int32_t index) const {
    const Node* n = current();
    if (!n || index < 0 || static_cast<size_t>(index) >= n->attributes.size()) return emptyText();
    return n->attributes[static_cast<size_t>(index)].first;
}

const stringw& XmlReader::getAttributeValue(int32_t index) const {
    const Node* n = current();
    if (!n || index < 0 || static_cast<size_t>(index) >= n->attributes.size()) return emptyText();
    return n->attributes[static_cast<size_t>(index)].second;
}

const std::pair<stringw, stringw>* XmlReader::findAttribute(const wchar_t* name) const {
    const Node* n = current();
    if (!n || !name) return nullptr;
    for (const auto& a : n->attributes)
        if (a.first == name) return &a;
    return nullptr;
}

bool XmlReader::hasAttribute(const wchar_t* name) const { return findAttribute(name) != nullptr; }

stringw XmlReader::getAttributeValue(const wchar_t* name, const stringw& defaultValue) const {
    const auto* a = findAttribute(name);
    return a ? a->second : defaultValue;
}

float XmlReader::getAttributeValueAsFloat(const wchar_t* name, float defaultValue) const {
    const auto* a = findAttribute(name);
    return a ? numberAfterSpace(a->second.c_str()) : defaultValue;
}

int32_t XmlReader::getAttributeValueAsInt(const wchar_t* name, int32_t defaultValue) const {
    const auto* a = findAttribute(name);
    if (!a) return defaultValue;
    const double v = std::trunc(static_cast<double>(numberAfterSpace(a->second.c_str())));
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int32_t>(v);
}

}  // namespace engine
