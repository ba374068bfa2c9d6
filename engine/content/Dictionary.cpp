#include "engine/content/Dictionary.h"
#include "engine/core/Logger.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/io/FileSystem.h"

namespace engine {

namespace {

using Entries = std::map<std::string, stringw>;

stringw slice(const stringw& text, uint32_t begin, uint32_t end) {
    return begin < end ? text.subString(begin, end - begin) : stringw();
}

// A looked-up entry as it reaches the screen: the file writes a literal
// percent sign as "%%", and nothing else in the entry is translated again.
stringw withLiteralPercents(const stringw& entry) {
    stringw out;
    const uint32_t length = entry.size();
    for (uint32_t i = 0; i < length; ++i) {
        out += entry[i];
        if (entry[i] == L'%' && i + 1 < length && entry[i + 1] == L'%') ++i;
    }
    return out;
}

// Form 1, after the "Dictionary" start: each "s" names a key (attribute "n")
// whose text is the first text node that follows it, or empty when its end
// tag comes first. False when the document ends inside the section.
bool readForm1(XmlReader& reader, Entries& entries) {
    std::string key;
    bool open = false;
    const int32_t depth = reader.getDepth();
    while (reader.readInside(depth)) {
        switch (reader.getNodeType()) {
            case irr::io::EXN_ELEMENT:
                if (reader.getNodeName() == L"s") {
                    key = narrow(reader.getAttributeValue(L"n")).c_str();
                    // An empty key leaves the open mark as it was.
                    if (!key.empty()) open = true;
                }
                break;
            case irr::io::EXN_TEXT:
                if (open) {
                    entries[key] = reader.getNodeData();
                    open = false;
                }
                break;
            case irr::io::EXN_ELEMENT_END:
                if (reader.getNodeName() == L"s" && open) {
                    entries[key] = stringw();
                    open = false;
                }
                break;
            default:
                break;
        }
    }
    return reader.getNodeType() == irr::io::EXN_ELEMENT_END;
}

// Form 2, after the "texts" start: each "phrase" holds its key ("tag") and
// its text ("text"). False when the document ends inside the section.
bool readForm2(XmlReader& reader, Entries& entries) {
    const int32_t depth = reader.getDepth();
    while (reader.readInside(depth)) {
        if (reader.getNodeType() == irr::io::EXN_ELEMENT && reader.getNodeName() == L"phrase")
            entries[narrow(reader.getAttributeValue(L"tag")).c_str()] = reader.getAttributeValue(L"text");
    }
    return reader.getNodeType() == irr::io::EXN_ELEMENT_END;
}

}  // namespace

Dictionary::Dictionary(FileSystem* fileSystem) : fileSystem_(CountedRef<FileSystem>::share(fileSystem)) {}

Dictionary::~Dictionary() = default;

stringw Dictionary::lookup(const stringc& key) const {
    const auto found = entries_.find(key.c_str());
    if (found != entries_.end()) return found->second;
    return stringw(L"%") + widen(key) + L"%";
}

stringw Dictionary::translate(const stringw& text) const {
    const uint32_t length = text.size();
    if (length <= 1) return text;
    stringw out;
    uint32_t copy = 0;
    uint32_t i = 0;
    while (i + 1 < length) {
        if (text[i] != L'%') {
            ++i;
            continue;
        }
        if (text[i + 1] == L'%') {
            out += slice(text, copy, i + 1);  // up to and including the first '%'
            i += 2;
            copy = i;
            continue;
        }
        out += slice(text, copy, i);
        const uint32_t keyStart = i + 1;
        uint32_t close = keyStart;
        while (close < length && text[close] != L'%') ++close;
        if (close >= length) {
            // No closing '%': the rest of the text is dropped.
            copy = length;
            break;
        }
        out += withLiteralPercents(lookup(narrow(slice(text, keyStart, close))));
        i = close + 1;
        copy = i;
    }
    out += slice(text, copy, length);
    return out;
}

stringw Dictionary::format(const stringc& key, const stringw& a1, const stringw& a2, const stringw& a3,
                           const stringw& a4) const {
    const stringw text = lookup(key);
    const stringw* arguments[] = {&a1, &a2, &a3, &a4};
    const uint32_t length = text.size();
    stringw out;
    uint32_t copy = 0;
    uint32_t used = 0;
    for (uint32_t i = 0; used < 4 && i + 1 < length;) {
        if (text[i] == L'#' && text[i + 1] == L'p') {
            out += slice(text, copy, i);
            out += *arguments[used++];
            i += 2;
            copy = i;
        } else {
            ++i;
        }
    }
    out += slice(text, copy, length);
    return out;
}

bool Dictionary::load(const stringc& path) {
    CountedRef<XmlReader> reader;
    if (fileSystem_) {
        reader.reset(fileSystem_->createXMLReader(path));
        if (!reader) {
            getLogger().log("Could not open dictionary file", path.c_str(), LOG_ERROR);
            return false;
        }
    } else {
        reader.reset(new XmlReader(path));
    }
    if (!reader->isValid()) {
        getLogger().log("Could not read dictionary file", path.c_str(), LOG_ERROR);
        return false;
    }

    // Read into a separate table, so a broken file changes nothing.
    Entries loaded;
    while (reader->read()) {
        if (reader->getNodeType() != irr::io::EXN_ELEMENT) continue;
        const stringw& element = reader->getNodeName();
        bool complete = true;
        if (element == L"Dictionary")
            complete = readForm1(*reader, loaded);
        else if (element == L"texts")
            complete = readForm2(*reader, loaded);
        if (!complete) {
            getLogger().log("Dictionary file is truncated: a section has no end tag", path.c_str(), LOG_ERROR);
            return false;
        }
    }
    for (auto& entry : loaded) entries_[entry.first] = entry.second;
    return true;
}

}  // namespace engine
