#pragma once
// Atlas collections ('atxc'): an XML file that cuts the images of one or more
// atlas sheets into named atlas textures.
//
//   <AtlasTextureCollection>
//     <a Index="0" f="menu_0.png" />
//     <t n="ui/button.png" i="0" r="0,0,64,32" b="2,1" a="3,0" />
//   </AtlasTextureCollection>
//
// "a" names a sheet image, relative to the collection file's folder; sheets
// are numbered in file order. "t" is one entry: its name, its sheet, its pixel
// rectangle x0, y0, x1, y1 and the margins trimmed from the image before
// packing ("b" left, top; "a" right, bottom; both (0, 0) when absent). Numbers
// may be separated by anything. Reading publishes every entry in the content
// manager's cache under its name, so a later 'atex' load of that name finds it
// without any file of that name.
#include "engine/core/Content.h"
#include "engine/visual/AtlasTexture.h"
#include <vector>

namespace engine {

class XmlReader;
class XmlWriter;

// One entry as the file states it.
struct AtlasEntry {
    stringc name;
    int32_t fileIndex = 0;
    recti rect;  // x0, y0 (upper-left), x1, y1 (lower-right), in sheet pixels
    vector2df leadingMargin;
    vector2df trailingMargin;
};

class AtlasTextureCollection : public Content {
public:
    // Never cached: every load reads the file again.
    explicit AtlasTextureCollection(const CreationContext& context);
    ~AtlasTextureCollection() override;

    ContentTypeCode getContentType() const override { return ContentType::AtlasTextureCollection; }

    // Reads a collection file: loads each entry's sheet as 'itex' (relative to
    // the top of the content manager's folder stack, which the processor sets
    // to the collection file), makes its atlas texture and offers it to the
    // cache. Entries with an empty name, a sheet not listed before them or a
    // sheet that does not load are skipped; an inverted rectangle takes the
    // whole sheet (logged). The entry table and the file list are filled with
    // what was read, so the collection can be written back.
    // False, with an error logged and nothing made, when the document has no
    // complete "AtlasTextureCollection" element (a truncated or foreign file),
    // and when the creation context has no content manager.
    bool readXml(XmlReader& reader);

    // Writes the collection: its sheets, then its entries sorted by sheet and
    // name, in the form readXml reads. Writes nothing and answers false (with
    // an error logged) when an entry could not be read back: an empty name or a
    // sheet index outside the file list.
    bool writeXml(XmlWriter& writer);

    // Filling the tables for writing. addFile returns the sheet's index.
    int32_t addFile(const stringc& path);
    void addEntry(const AtlasEntry& entry);

    const std::vector<stringc>& getFiles() const { return files_; }
    const std::vector<AtlasEntry>& getEntries() const { return entries_; }
    // The atlas textures made by reading, in file order.
    uint32_t getAtlasTextureCount() const { return static_cast<uint32_t>(atlasTextures_.size()); }
    AtlasTextureContent* getAtlasTexture(uint32_t index) const {
        return index < atlasTextures_.size() ? atlasTextures_[index].get() : nullptr;
    }

private:
    void makeAtlasTexture(IContentManager* manager, const AtlasEntry& entry);

    std::vector<AtlasEntry> entries_;
    bool sorted_ = false;
    std::vector<stringc> files_;
    std::vector<CountedRef<AtlasTextureContent>> atlasTextures_;
};

}  // namespace engine
