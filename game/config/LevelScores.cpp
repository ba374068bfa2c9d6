#include "game/config/LevelScores.h"
#include "engine/core/TextConvert.h"
#include "game/config/ConfigReading.h"

namespace game {

using engine::XmlReader;

bool LevelScores::readLevelScores(XmlReader& reader) {
    std::map<std::string, GLevelScore> read;
    bool complete = false;
    const bool found = readRootElement(
        reader, L"LevelScores", "LevelScores",
        [&read](XmlReader& r) {
            if (r.getNodeName() != L"Level") return true;
            GLevelScore entry;
            entry.Score = r.getAttributeValueAsInt(L"Score", 0);
            keepWithin(entry.Score, 0, bounds::kCount, "LevelScores", "Score");
            entry.ExpertScore = r.getAttributeValueAsInt(L"ExpertScore", 0);
            keepWithin(entry.ExpertScore, 0, bounds::kCount, "LevelScores", "ExpertScore");
            entry.Time = r.getAttributeValueAsInt(L"Time", 0);
            // Seconds; the game shows them as milliseconds.
            keepWithin(entry.Time, 0, bounds::kTimeMs / 1000, "LevelScores", "Time");
            // The last entry of a name wins.
            read[engine::narrow(r.getAttributeValue(L"Name")).c_str()] = entry;
            return true;
        },
        &complete);
    if (!found) return false;
    entries_.swap(read);
    return complete;
}

GLevelScore& LevelScores::operator[](const engine::stringc& levelName) { return entries_[levelName.c_str()]; }

GComic* ComicsConfiguration::find(int32_t levelIndex) const { return comics_.find(levelIndex); }

bool ComicsConfiguration::readComicsConfiguration(XmlReader& reader) {
    return readRecordDocument<int32_t, GComic>(
        reader, L"ComicsConfiguration", "ComicsConfiguration", comics_,
        [](XmlReader& r, RecordMap<int32_t, GComic>& read) {
            if (r.getNodeName() != L"Comics") return true;
            engine::CountedRef<GComic> comic(new GComic());
            const bool ended = forEachChild(r, [&comic](XmlReader& c) {
                if (c.getNodeName() == L"Level") {
                    comic->Level = c.getAttributeValueAsInt(L"Value", 0);
                } else if (c.getNodeName() == L"ScenePath") {
                    comic->ScenePath = engine::narrow(c.getAttributeValue(L"Value"));
                }
                return true;
            });
            if (!ended) return false;
            // The first entry of a location wins.
            const int32_t level = comic->Level;
            read.insertFirst(level, comic);
            return true;
        });
}

}  // namespace game
