#pragma once
// The localised texts, by key. Scene files and game code write %KEY% inside
// texts; translate replaces each with the key's text, and format fills the
// markers "#p" of a key's text with arguments. The texts come from XML files
// in either of two forms:
//
//   <Dictionary>                       <texts>
//     <s n="GOLD">Gold</s>               <phrase tag="GOLD" text="Gold" />
//   </Dictionary>                      </texts>
//
// Loading adds to the entries already held; a key loaded again takes the later
// text.
#include "engine/core/RefCounted.h"
#include "engine/core/Types.h"
#include <map>
#include <set>
#include <string>

namespace engine {

class FileSystem;

class IDictionary {
public:
    virtual ~IDictionary() = default;
    virtual stringw translate(const stringw& text) const = 0;
    virtual stringw lookup(const stringc& key) const = 0;
    virtual stringw format(const stringc& key, const stringw& a1, const stringw& a2 = stringw(),
                           const stringw& a3 = stringw(), const stringw& a4 = stringw()) const = 0;
    virtual bool load(const stringc& path) = 0;
    virtual void clear() = 0;
};

class Dictionary : public virtual RefCounted, public IDictionary {
public:
    // Files are opened through the file system (plain files first, then the
    // mounted archives); without one (null) as plain files.
    explicit Dictionary(FileSystem* fileSystem = nullptr);
    ~Dictionary() override;

    Dictionary(const Dictionary&) = delete;
    Dictionary& operator=(const Dictionary&) = delete;

    // Every %KEY% replaced by lookup(KEY) and every "%%" by "%". A "%" without
    // a closing one drops the rest of the text; a "%" at the very end stays.
    // The looked-up text is inserted with its own "%%" as "%" and nothing
    // else of it translated: every text that reaches the screen passes here
    // once, so this is where an entry's literal percent signs come out.
    stringw translate(const stringw& text) const override;
    // The key's text, or "%KEY%" for a key the dictionary lacks.
    stringw lookup(const stringc& key) const override;
    // The key's text with its first four "#p" markers replaced by the
    // arguments in order; later markers stay.
    stringw format(const stringc& key, const stringw& a1, const stringw& a2 = stringw(), const stringw& a3 = stringw(),
                   const stringw& a4 = stringw()) const override;
    // Reads every "Dictionary" and "texts" section of the file. False, with
    // the dictionary unchanged and an error logged, when the file cannot be
    // opened or read, or a section is cut off before its end tag (a truncated
    // file). A file without sections loads nothing and answers true.
    bool load(const stringc& path) override;
    void clear() override { entries_.clear(); }

    uint32_t getCount() const { return static_cast<uint32_t>(entries_.size()); }
    bool hasKey(const std::string& key) const { return entries_.count(key) != 0; }
    // The keys in order, for tools that check what content names.
    std::set<std::string> getKeys() const {
        std::set<std::string> keys;
        for (const auto& entry : entries_) keys.insert(keys.end(), entry.first);
        return keys;
    }

private:
    CountedRef<FileSystem> fileSystem_;
    std::map<std::string, stringw> entries_;
};

// The dictionary the engine translates displayed texts through (text nodes
// call its translate): the engine device's, which the device installs when it
// makes its dictionary and clears (null) before releasing it. Not counted.
// With none installed, texts show as they are written.
inline IDictionary*& currentDictionarySlot() {
    static IDictionary* current = nullptr;
    return current;
}
inline void setCurrentDictionary(IDictionary* dictionary) { currentDictionarySlot() = dictionary; }
inline IDictionary* getCurrentDictionary() { return currentDictionarySlot(); }

}  // namespace engine
