#pragma once
// What the content check knows about the game's content: the names that code
// asks for, the files it reads at which moment, and where configuration files
// and scene values name other content. Later content joins these tables (a
// configuration file's building types, upgrades, cues...) without changes to
// the checker.
#include <string>
#include <vector>

namespace contentcheck {

// What a name refers to.
enum class Ref {
    File,          // a file of the tree, the path relative to the file's folder unless absolute
    PlainImage,    // a real image file (loaded before any atlas)
    Image,         // an atlas entry of that name, or a real image file
    Font,          // a font file
    Cue,           // a cue of the sound pack
    Key,           // a dictionary key
    Template,      // a template of the template collection that serves the file
    TemplateList,  // ';' list of templates
    Emitter,       // an emitter of a particle collection
    SceneFile,     // a scene file
};

// An attribute of an element, at any depth of the files matching `files`
// (an exact path, or a folder prefix ending in '/'), naming content. `base`
// is the folder the name is relative to ("" for the assets root).
struct AttributeRule {
    const char* files;
    const char* element;
    const char* attribute;
    Ref ref;
    const char* base;
};

// A typed value in a scene file's Properties: value element type (empty: any)
// and property name (empty: any) naming content.
struct ValueRule {
    const char* type;
    const char* name;
    Ref ref;
};

struct NamedByCode {
    const char* name;
    Ref ref;
    const char* user;  // who needs it, for the message
};

// Template collections and the files whose controls take their templates
// from them (the first matching folder prefix wins).
struct TemplateSource {
    const char* files;
    const char* collection;
};

const std::vector<AttributeRule>& attributeRules();
const std::vector<ValueRule>& valueRules();
const std::vector<NamedByCode>& namedByCode();
const std::vector<TemplateSource>& templateSources();
// The particle collections the game loads.
const std::vector<std::string>& particleCollections();
// Scene files read before the game's kinds are registered, and the game kinds
// the program registers before them.
const std::vector<std::string>& startupSceneFiles();
const std::vector<std::string>& startupKinds();

}  // namespace contentcheck
