#include "tools/contentcheck/ContentRules.h"

namespace contentcheck {

const std::vector<AttributeRule>& attributeRules() {
    static const std::vector<AttributeRule> rules = {
        {"logos/Logos.xml", "Logo", "Image", Ref::PlainImage, ""},
        {"sounds/SoundPack.xml", "Sound", "Filename", Ref::File, "sounds/"},
        {"scenes/ComicsConfiguration.xml", "ScenePath", "Value", Ref::SceneFile, ""},
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
        {"string", "ConfigurationFilename", Ref::File},
    };
    return rules;
}

const std::vector<NamedByCode>& namedByCode() {
    static const std::vector<NamedByCode> names = {
        {"scenes/images/Cursor.png", Ref::PlainImage, "the window cursor"},
        {"scenes/LogosScene.oscn", Ref::SceneFile, "start-up"},
        {"scenes/IntroScene.oscn", Ref::SceneFile, "the logos scene"},
        {"scenes/MainMenuScene.oscn", Ref::SceneFile, "the intro"},
        {"scenes/BgTrafficPaths.xml", Ref::File, "the main menu's actors"},
        {"scenes/TemplateCollection.oscn", Ref::SceneFile, "the intro's loading steps"},
        {"levels/common/TemplateCollection.oscn", Ref::SceneFile, "the intro's loading steps"},
        {"levels/common/Fireworks/1/f.oscn", Ref::SceneFile, "the intro's loading steps"},
        {"levels/common/Fireworks/2/f.oscn", Ref::SceneFile, "the intro's loading steps"},
        {"levels/common/Fireworks/3/f.oscn", Ref::SceneFile, "the intro's loading steps"},
        {"levels/common/Fireworks/4/f.oscn", Ref::SceneFile, "the intro's loading steps"},
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
        {"scenes/OptionsScene.oscn", Ref::SceneFile, "the main menu and the pause menu"},
        {"scenes/AchievementsScene.oscn", Ref::SceneFile, "the main menu"},
        {"scenes/CreditsScene.oscn", Ref::SceneFile, "the main menu"},
        {"Options_OnOffButtonGreen", Ref::Template, "the options' switches"},
        {"Options_OnOffButtonRed", Ref::Template, "the options' switches"},
        {"Options_On", Ref::Key, "the options' switches"},
        {"Options_Off", Ref::Key, "the options' switches"},
        {"SoundVolumeChange", Ref::Cue, "the options' sound slider"},
        {"Achievements_AlreadyEarned", Ref::Key, "the achievements list"},
        {"MoneyDollar", Ref::Key, "the achievements list"},
        {"scenes/images/Achievements/Icon1.png", Ref::Image, "the achievements list"},
        {"scenes/images/Achievements/Icon2.png", Ref::Image, "the achievements list"},
        {"scenes/images/Achievements/Icon3.png", Ref::Image, "the achievements list"},
        {"scenes/images/Achievements/Icon4.png", Ref::Image, "the achievements list"},
        {"scenes/images/Achievements/Icon5.png", Ref::Image, "the achievements list"},
        {"scenes/images/Achievements/Icon6.png", Ref::Image, "the achievements list"},
        {"scenes/images/Achievements/Icon7.png", Ref::Image, "the achievements list"},
        {"scenes/images/Achievements/Icon8.png", Ref::Image, "the achievements list"},
        {"scenes/images/Achievements/Icon9.png", Ref::Image, "the achievements list"},
        {"scenes/images/Achievements/Icon10.png", Ref::Image, "the achievements list"},
        {"scenes/images/Achievements/Icon11.png", Ref::Image, "the achievements list"},
        {"scenes/images/Achievements/Icon12.png", Ref::Image, "the achievements list"},
        {"Map_NotYetOpenTitle", Ref::Key, "the map's notice for a level not in the content"},
        {"Map_NotYetOpenBody", Ref::Key, "the map's notice for a level not in the content"},
        {"MessageBox1Button", Ref::Template, "the map's notice and the game's notices"},
        {"levels/common/Effects/Rain.xml", Ref::File, "the level's weather"},
        {"levels/common/Effects/Snow.xml", Ref::File, "the level's weather in snow settings"},
        {"particles/Rain.png", Ref::Image, "the level's weather"},
        {"particles/Snow.png", Ref::Image, "the level's weather in snow settings"},
        {"ComicsMusic", Ref::Cue, "the comics"},
        {"ObjectivesWindow", Ref::Cue, "each comics panel"},
        {"ComicsText", Ref::Cue, "each comics text"},
        {"scenes/MiniCompletedScene.oscn", Ref::SceneFile, "the end of every mini-game"},
        {"LevelCompleted_TimeTxt", Ref::Key, "the mini-game results"},
        {"LevelCompleted_ScoreTxt", Ref::Key, "the mini-game results"},
        {"LevelCompleted_Done", Ref::Key, "the mini-game results"},
        {"AchievementUnlocked", Ref::Cue, "the mini-game results"},
        {"MiniGamesMusic", Ref::Cue, "the mini-games"},
        {"levels/minigame_auction/MiniGameConfiguration.xml", Ref::File, "the auction"},
        {"ObjFound", Ref::Cue, "the auction's right bids"},
        {"ButtonMissed", Ref::Cue, "the auction's wrong bids"},
        {"TextTrailStar", Ref::Template, "the auction's flying numbers"},
        {"levels/minigame_auction/Money/1.png", Ref::Image, "the auction"},
        {"levels/minigame_auction/Money/2.png", Ref::Image, "the auction"},
        {"levels/minigame_auction/Money/3.png", Ref::Image, "the auction"},
        {"levels/minigame_auction/Money/4.png", Ref::Image, "the auction"},
        {"levels/minigame_auction/Money/5.png", Ref::Image, "the auction"},
        {"levels/minigame_auction/Money/6.png", Ref::Image, "the auction"},
        {"levels/minigame_auction/Money/1over.png", Ref::Image, "the auction"},
        {"levels/minigame_auction/Money/2over.png", Ref::Image, "the auction"},
        {"levels/minigame_auction/Money/3over.png", Ref::Image, "the auction"},
        {"levels/minigame_auction/Money/4over.png", Ref::Image, "the auction"},
        {"levels/minigame_auction/Money/5over.png", Ref::Image, "the auction"},
        {"levels/minigame_auction/Money/6over.png", Ref::Image, "the auction"},
        {"levels/minigame_hidden/MiniGameConfiguration.xml", Ref::File, "the hidden-object lobby"},
        {"levels/minigame_hidden2/MiniGameConfiguration.xml", Ref::File, "the hidden-object beach"},
        {"levels/minigame_hidden3/MiniGameConfiguration.xml", Ref::File, "the hidden-object market"},
        {"levels/minigame_hidden/HintPaths.xml", Ref::File, "the lobby's hints"},
        {"levels/minigame_hidden2/HintPaths.xml", Ref::File, "the beach's hints"},
        {"levels/minigame_hidden3/HintPaths.xml", Ref::File, "the market's hints"},
        {"HOFoundStarNode", Ref::Template, "the stars of a hidden-object find"},
        {"HOHint", Ref::Cue, "the hidden-object hints"},
        {"levels/minigame_hidden2/Preview/Shell.png", Ref::Image, "the beach's previews"},
        {"levels/minigame_hidden2/Preview/Starfish.png", Ref::Image, "the beach's previews"},
        {"levels/minigame_hidden2/Preview/Sunglasses.png", Ref::Image, "the beach's previews"},
        {"levels/minigame_hidden2/Preview/Bucket.png", Ref::Image, "the beach's previews"},
        {"levels/minigame_hidden2/Preview/FlipFlop.png", Ref::Image, "the beach's previews"},
        {"levels/minigame_hidden2/Preview/Ball.png", Ref::Image, "the beach's previews"},
        {"levels/minigame_hidden2/Preview/Crab.png", Ref::Image, "the beach's previews"},
        {"levels/minigame_hidden2/Preview/Bottle.png", Ref::Image, "the beach's previews"},
    };
    return names;
}

const std::vector<TemplateSource>& templateSources() {
    static const std::vector<TemplateSource> sources = {
        // The mini-games run in the menus' scene manager.
        {"levels/minigame_", "scenes/TemplateCollection.oscn"},
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
