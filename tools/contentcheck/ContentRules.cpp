#include "tools/contentcheck/ContentRules.h"

namespace contentcheck {

const std::vector<AttributeRule>& attributeRules() {
    static const std::vector<AttributeRule> rules = {
        {"logos/Logos.xml", "Logo", "Image", Ref::PlainImage, ""},
        {"sounds/SoundPack.xml", "Sound", "Filename", Ref::File, "sounds/"},
    };
    return rules;
}

const std::vector<ValueRule>& valueRules() {
    static const std::vector<ValueRule> rules = {
        {"atlasTexture", "", Ref::Image},
        {"font", "", Ref::Font},
        {"string", "TemplateName", Ref::Template},
        {"string", "ObjTemplate", Ref::TemplateList},
        {"string", "ObjTemplateIDs", Ref::TemplateList},
        {"string", "BirdTemplateID", Ref::Template},
        {"string", "SoundCueName", Ref::Cue},
        {"string", "EmitterName", Ref::Emitter},
    };
    return rules;
}

const std::vector<NamedByCode>& namedByCode() {
    static const std::vector<NamedByCode> names = {
        {"scenes/images/Cursor.png", Ref::PlainImage, "the window cursor"},
        {"scenes/LogosScene.oscn", Ref::SceneFile, "start-up"},
        {"scenes/IntroScene.oscn", Ref::SceneFile, "the logos scene"},
        {"scenes/MainMenuScene.oscn", Ref::SceneFile, "the intro"},
        {"scenes/TemplateCollection.oscn", Ref::SceneFile, "the intro's loading steps"},
        {"levels/common/TemplateCollection.oscn", Ref::SceneFile, "the intro's loading steps"},
        {"strings/Dictionary.xml", Ref::File, "the logos scene"},
        {"sounds/SoundPack.xml", Ref::File, "the intro's loading steps"},
        {"scenes/fonts/arial_14_crisp.ofnt", Ref::Font, "the debug statistics scene"},
        {"TitleName", Ref::Key, "the window caption"},
        {"MainMenu_WelcomeTxt", Ref::Key, "the main menu"},
        {"ButtonClick", Ref::Cue, "every button"},
        {"ButtonOver", Ref::Cue, "every button"},
        {"MenuMusic", Ref::Cue, "the main menu"},
        {"MainMenuAmbient", Ref::Cue, "the main menu"},
        {"MainMenuCarTo", Ref::Cue, "the main-menu cars"},
        {"MainMenuCarOut", Ref::Cue, "the main-menu cars"},
    };
    return names;
}

const std::vector<TemplateSource>& templateSources() {
    static const std::vector<TemplateSource> sources = {
        {"levels/", "levels/common/TemplateCollection.oscn"},
        {"", "scenes/TemplateCollection.oscn"},
    };
    return sources;
}

const std::vector<std::string>& particleCollections() {
    static const std::vector<std::string> files = {"scenes/ParticleCollection.xml",
                                                   "levels/common/ParticleCollection.xml"};
    return files;
}

const std::vector<std::string>& startupSceneFiles() {
    static const std::vector<std::string> files = {"scenes/LogosScene.oscn", "scenes/IntroScene.oscn"};
    return files;
}

const std::vector<std::string>& startupKinds() {
    static const std::vector<std::string> kinds = {"GDebugStatsScene", "GLogosScene", "GIntroScene",
                                                   "GQuitConfirmationScene", "GRectangleNode"};
    return kinds;
}

}  // namespace contentcheck
