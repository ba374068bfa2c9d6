#include "engine/core/SoundCueNames.h"

namespace engine {

const char* const kSoundCueNames[kSoundCueCount] = {
    "ObjectivesWindow", "AchievementUnlocked", "TutorialWindow", "ButtonMissed", "ButtonClick",
    "ButtonOver", "ObjFound", "HOHint", "ComicsMusic", "MiniGamesMusic",
    "MenuMusic", "MainMenuAmbient", "MainMenuCarOut", "MainMenuCarTo", "Bus",
    "Helicopter", "Building", "Upgrading", "Destroying", "CleaningDecoration",
    "Sold", "Bought", "FeatureCommercial", "FeatureFactory", "FeatureREAgency",
    "FeaturePRAgency", "TimedActionEnd", "AlmostEnd", "TimeOver", "LevelCompleted",
    "Income", "MaterialsDelivered", "WorkersTrained", "Broken", "Dirty",
    "MoneyLetter", "GameCar", "ForSale", "BuyRequest", "SoundVolumeChange",
};

}  // namespace engine
