#include "engine/visual/AtlasTextureCollection.h"
#include "engine/core/IContentManager.h"
#include "engine/core/ContentProblems.h"
#include "engine/core/Logger.h"
#include "engine/core/PropertyData.h"
#include "engine/core/TextConvert.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace engine {

namespace {

const wchar_t* const kRootElement = L"AtlasTextureCollection";

// A number read as a float, truncated toward zero; kept inside the int range.
int32_t truncateToInt(float value) {
    if (std::isnan(value)) return 0;
    const double v = std::trunc(static_cast<double>(value));
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int32_t>(v);
}

stringw decimal(int64_t value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%lld", static_cast<long long>(value));
    return widen(text);
}

// Whole numbers without a fraction, others with six decimals.
stringw number(float value) {
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 2147483648.0f)
        return decimal(static_cast<int64_t>(value));
    char text[64];
    std::snprintf(text, sizeof(text), "%f", static_cast<double>(value));
    return widen(text);
}

stringw pair(const vector2df& v) { return number(v.X) + L"," + number(v.Y); }

}  // namespace

AtlasTextureCollection::AtlasTextureCollection(const CreationContext& context) : Content(context) {
    setContentFlags(ContentFlags::NeverCached);
}

AtlasTextureCollection::~AtlasTextureCollection() = default;

int32_t AtlasTextureCollection::addFile(const stringc& path) {
    files_.push_back(path);
    return static_cast<int32_t>(files_.size() - 1);
}

void AtlasTextureCollection::addEntry(const AtlasEntry& entry) {
    entries_.push_back(entry);
    sorted_ = false;
}

bool AtlasTextureCollection::readXml(XmlReader& reader) {
    entries_.clear();
    files_.clear();
    sorted_ = false;
    const stringc& collectionName = getCreationContext().getName();
    IContentManager* manager = getCreationContext().getContentManager();
    if (!manager) {
        getLogger().log("Atlas texture collection has no content manager to load with", collectionName.c_str(),
                        LOG_ERROR);
        return false;
    }

    // The entries are gathered first and made only once the whole element has
    // been read, so that a truncated file publishes nothing.
    std::vector<stringc> files;
    std::vector<AtlasEntry> entries;
    // Reading starts before the root: the end that closes the first
    // "AtlasTextureCollection" ends it, not the end of another element of that
    // name inside it.
    int32_t rootDepth = -1;
    bool complete = false;
    while (reader.read()) {
        const irr::io::EXML_NODE type = reader.getNodeType();
        if (type == irr::io::EXN_ELEMENT_END && reader.getDepth() == rootDepth && reader.getNodeName() == kRootElement) {
            complete = true;
            break;
        }
        if (type != irr::io::EXN_ELEMENT) continue;
        if (rootDepth < 0 && reader.getNodeName() == kRootElement) rootDepth = reader.getDepth();
        const stringw& element = reader.getNodeName();
        if (element == L"a") {
            files.push_back(narrow(reader.getAttributeValue(L"f")));
        } else if (element == L"t") {
            AtlasEntry entry;
            entry.name = narrow(reader.getAttributeValue(L"n"));
            entry.fileIndex = reader.getAttributeValueAsInt(L"i", 0);
            const rectf r = parseRect(reader.getAttributeValue(L"r"));
            entry.rect = recti(truncateToInt(r.UpperLeftCorner.X), truncateToInt(r.UpperLeftCorner.Y),
                               truncateToInt(r.LowerRightCorner.X), truncateToInt(r.LowerRightCorner.Y));
            entry.leadingMargin = parseVector2d(reader.getAttributeValue(L"b"));
            entry.trailingMargin = parseVector2d(reader.getAttributeValue(L"a"));
            // Only sheets listed before the entry count.
            if (entry.name.empty() || entry.fileIndex < 0 || static_cast<size_t>(entry.fileIndex) >= files.size())
                continue;
            entries.push_back(entry);
        }
    }
    if (!complete) {
        getLogger().log("Atlas texture collection file is truncated or has no AtlasTextureCollection element",
                        collectionName.c_str(), LOG_ERROR);
        reportContentProblem(collectionName.c_str());
        return false;
    }

    files_.swap(files);
    entries_.swap(entries);
    for (const AtlasEntry& entry : entries_) makeAtlasTexture(manager, entry);
    return true;
}

void AtlasTextureCollection::makeAtlasTexture(IContentManager* manager, const AtlasEntry& entry) {
    CountedRef<Content> loaded(manager->load(ContentType::Texture, files_[static_cast<size_t>(entry.fileIndex)], true));
    TextureContent* sheet = dynamic_cast<TextureContent*>(loaded.get());
    if (!sheet) {
        // Every picture cut from the sheet would draw as nothing. The sheet
        // is named beside the collection file.
        const std::filesystem::path folder = std::filesystem::path(getCreationContext().getName().c_str()).parent_path();
        reportContentProblem((folder / files_[static_cast<size_t>(entry.fileIndex)].c_str()).generic_string());
        return;
    }

    const irr::core::dimension2d<irr::u32> size = getTextureImageSize(sheet);
    recti rect = entry.rect;
    if (rect.LowerRightCorner.X < rect.UpperLeftCorner.X || rect.LowerRightCorner.Y < rect.UpperLeftCorner.Y) {
        rect = recti(0, 0, static_cast<int32_t>(size.Width), static_cast<int32_t>(size.Height));
        getLogger().log("WARN: image has wrong rectangle", entry.name.c_str(), LOG_WARNING);
    }
    const float w = static_cast<float>(size.Width);
    const float h = static_cast<float>(size.Height);
    const auto fraction = [](int32_t pixels, float extent) {
        return extent > 0.0f ? static_cast<float>(pixels) / extent : 0.0f;
    };
    const rectf coords(fraction(rect.UpperLeftCorner.X, w), fraction(rect.UpperLeftCorner.Y, h),
                       fraction(rect.LowerRightCorner.X, w), fraction(rect.LowerRightCorner.Y, h));

    CountedRef<AtlasTextureContent> atlas(new AtlasTextureContent(CreationContext(manager, entry.name), sheet, coords,
                                                                  entry.leadingMargin, entry.trailingMargin));
    if (manager->addToCacheByOwnName(atlas.get()))
        getLogger().log("Added atlas texture", entry.name.c_str(), LOG_DEBUG);
    atlasTextures_.push_back(atlas);
}

bool AtlasTextureCollection::writeXml(XmlWriter& writer) {
    for (const AtlasEntry& entry : entries_) {
        if (entry.name.empty() || entry.fileIndex < 0 || static_cast<size_t>(entry.fileIndex) >= files_.size()) {
            const stringc hint = entry.name.empty() ? stringc("(entry without a name)") : entry.name;
            getLogger().log("Atlas texture collection entry can't be written: it needs a name and a listed sheet",
                            hint.c_str(), LOG_ERROR);
            return false;
        }
    }
    if (!sorted_ && entries_.size() > 1) {
        std::stable_sort(entries_.begin(), entries_.end(), [](const AtlasEntry& a, const AtlasEntry& b) {
            if (a.fileIndex != b.fileIndex) return a.fileIndex < b.fileIndex;
            return std::strcmp(a.name.c_str(), b.name.c_str()) < 0;
        });
        sorted_ = true;
    }

    writer.writeElement(kRootElement, false);
    writer.writeLineBreak();
    for (size_t i = 0; i < files_.size(); ++i) {
        writer.writeElement(L"a", true, L"Index", decimal(static_cast<int64_t>(i)).c_str(), L"f",
                            widen(files_[i]).c_str());
        writer.writeLineBreak();
    }
    writer.writeLineBreak();
    for (const AtlasEntry& entry : entries_) {
        array<stringw> names;
        array<stringw> values;
        names.push_back(L"n");
        values.push_back(widen(entry.name));
        names.push_back(L"i");
        values.push_back(decimal(entry.fileIndex));
        names.push_back(L"r");
        values.push_back(decimal(entry.rect.UpperLeftCorner.X) + L"," + decimal(entry.rect.UpperLeftCorner.Y) + L"," +
                         decimal(entry.rect.LowerRightCorner.X) + L"," + decimal(entry.rect.LowerRightCorner.Y));
        if (entry.leadingMargin.X != 0.0f || entry.leadingMargin.Y != 0.0f) {
            names.push_back(L"b");
            values.push_back(pair(entry.leadingMargin));
        }
        if (entry.trailingMargin.X != 0.0f || entry.trailingMargin.Y != 0.0f) {
            names.push_back(L"a");
            values.push_back(pair(entry.trailingMargin));
        }
        writer.writeElement(L"t", true, names, values);
        writer.writeLineBreak();
    }
    writer.writeClosingTag(kRootElement);
    writer.writeLineBreak();
    return true;
}

}  // namespace engine
