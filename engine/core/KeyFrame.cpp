#include "engine/core/KeyFrame.h"
#include "engine/core/BaseNode.h"
#include "engine/core/Logger.h"
#include "engine/core/TextConvert.h"
#include "engine/core/TimerScheduler.h"
#include "engine/core/XmlReader.h"
#include "engine/core/XmlWriter.h"
#include <limits>

namespace engine {

namespace {

constexpr uint64_t kNeverLanded = std::numeric_limits<uint64_t>::max();

stringw valueAttributeName(uint32_t index) { return stringw(L"Value") + stringw(index); }

}  // namespace

KeyFrame::KeyFrame() { setPeriod(kDefaultAnimatorPeriod); }

KeyFrame::~KeyFrame() = default;

// ---- Target and position -----------------------------------------------------

void KeyFrame::setTarget(BaseNode* node) {
    Base::setTarget(node);
    if (!node || !set_) return;
    map_ = mapToTargetTable(set_.get());
    currentKey_ = 0;
    elapsed_ = 0;
}

uint32_t KeyFrame::getPosition() const {
    uint32_t position = 0;
    for (uint32_t k = 0; k <= currentKey_ && k < keys_.size(); ++k) position += keys_[k].time;
    return position + elapsed_;
}

uint32_t KeyFrame::getDuration() const {
    uint32_t duration = 0;
    for (const Key& key : keys_) duration += key.time;
    return duration;
}

bool KeyFrame::advance() {
    bool jumpedBack = false;
    // A loop that takes no time would come round for ever without using up
    // the elapsed time. Each backward jump notes how much time had been
    // consumed when it landed; landing on the same key again with nothing
    // consumed since means the loop is empty, and advancing stops there.
    uint64_t consumed = 0;
    bool landingsReady = false;
    while (hasNextKey() && elapsed_ >= keys_[currentKey_ + 1].time) {
        const uint32_t segment = keys_[currentKey_ + 1].time;
        elapsed_ -= segment;
        consumed += segment;
        ++currentKey_;
        const int32_t jump = keys_[currentKey_].jump;
        if (jump == -1) continue;
        const uint32_t target = static_cast<uint32_t>(jump);
        if (currentKey_ <= target) {
            currentKey_ = target;
            continue;
        }
        jumpedBack = true;
        currentKey_ = target;
        if (!landingsReady) {
            landings_.assign(keys_.size(), kNeverLanded);
            landingsReady = true;
        }
        if (landings_[target] == consumed) break;
        landings_[target] = consumed;
    }
    return jumpedBack;
}

// ---- Values ---------------------------------------------------------------------

void KeyFrame::applyKey(uint32_t k) {
    BaseNode* target = getTarget();
    if (!target || !set_ || k >= keys_.size()) return;
    const PropertyTable& table = target->getPropertyTable();
    const Key& key = keys_[k];
    for (uint32_t j = 0; j < map_.size() && j < set_->getCount(); ++j) {
        if (map_[j] == -1) continue;
        IPropertyData* value = key.valueAt(j);
        if (!value) continue;
        set_->setDataAt(j, value->clone());
        table.set(*target, map_[j], set_->getDataAt(j));
    }
}

void KeyFrame::interpolateAt(uint32_t k, uint32_t e) {
    if (k >= keys_.size()) return;
    if (static_cast<size_t>(k) + 1 >= keys_.size() || e == 0) {
        applyKey(k);
        return;
    }
    const Key& next = keys_[k + 1];
    if (e >= next.time) {
        applyKey(k + 1);
        return;
    }
    if (next.blend != 0) return;
    BaseNode* target = getTarget();
    if (!target || !set_) return;
    const PropertyTable& table = target->getPropertyTable();
    const float t = static_cast<float>(e) / static_cast<float>(next.time);
    const Key& key = keys_[k];
    for (uint32_t j = 0; j < map_.size() && j < set_->getCount(); ++j) {
        if (map_[j] == -1) continue;
        IPropertyData* from = key.valueAt(j);
        IPropertyData* to = next.valueAt(j);
        CountedRef<IPropertyData> out = set_->getDataAt(j);
        if (!from || !to || !out) continue;
        if (from->interpolate(to, out.get(), t, 0)) table.set(*target, map_[j], out);
    }
}

// ---- Playing --------------------------------------------------------------------

void KeyFrame::start(uint32_t timeMs, bool apply) {
    currentKey_ = 0;
    elapsed_ = timeMs == 0 ? timeShift_ : timeMs;
    advance();
    if (!set_ || !apply) return;
    if (elapsed_ > 0 && hasNextKey() && keys_[currentKey_ + 1].blend == -1) {
        applyKey(currentKey_);
    } else {
        interpolateAt(currentKey_, elapsed_);
    }
}

void KeyFrame::stop(bool jumpToEnd, bool notify) {
    CountedRef<Base> keep = CountedRef<Base>::share(this);
    if (jumpToEnd && !keys_.empty()) applyKey(static_cast<uint32_t>(keys_.size() - 1));
    Base::stop(jumpToEnd, notify);
}

bool KeyFrame::onTimer(uint32_t periodMs) {
    if (!getTarget() || !getTimerScheduler()) return true;
    // The end report may drop the state that holds this animator.
    CountedRef<Base> keep = CountedRef<Base>::share(this);

    const uint32_t previousKey = currentKey_;
    elapsed_ += periodMs;
    const bool looped = advance();

    bool ticking = true;
    if (hasNextKey()) {
        if (keys_[currentKey_ + 1].blend == -1 && currentKey_ != previousKey) {
            applyKey(currentKey_);
        } else {
            interpolateAt(currentKey_, elapsed_);
        }
    } else {
        if (!keys_.empty()) applyKey(static_cast<uint32_t>(keys_.size() - 1));
        setTimerScheduler(nullptr);
        ticking = false;
    }

    if (isPlaying() && (looped || !ticking)) {
        notifyEnded(elapsed_, looped);
        // Reporting a loop ends nothing: the animator plays on (and reports the
        // next pass) unless the report stopped it.
        if (looped && ticking && getTimerScheduler()) setPlaying(true);
    }
    // The report may have stopped this animator, or started and played it
    // again (its state entered anew): the scheduler keeps whatever is
    // registered now.
    return getTimerScheduler() != nullptr;
}

// ---- XML ------------------------------------------------------------------------

void KeyFrame::readXml(XmlReader* reader, BaseNode*, IContentManager* contentManager, const stringw& elementName) {
    keys_.clear();
    set_.reset();
    map_.clear();
    currentKey_ = 0;
    elapsed_ = 0;
    if (!reader) return;
    setPeriod(static_cast<uint32_t>(reader->getAttributeValueAsInt(L"Period", kDefaultAnimatorPeriod)));
    timeShift_ = static_cast<uint32_t>(reader->getAttributeValueAsInt(L"TimeShift", 0));

    if (!reader->finishEmptyElement()) {
        int32_t depth = 0;
        while (nextChildElement(reader, elementName, depth)) {
            const stringw& name = reader->getNodeName();
            if (name == L"Properties") {
                // A later block replaces an earlier one.
                CountedRef<PropertySet> set(new PropertySet(contentManager));
                set->read(reader);
                set_ = set;
            } else if (name == L"KeyFrame") {
                Key key;
                key.time = static_cast<uint32_t>(reader->getAttributeValueAsInt(L"t", 0));
                key.jump = reader->getAttributeValueAsInt(L"g", -1);
                key.blend = reader->getAttributeValueAsInt(L"i", -1) == 0 ? 0 : -1;
                const uint32_t count = set_ ? set_->getCount() : 0;
                for (uint32_t k = 0; k < count; ++k) {
                    CountedRef<IPropertyData> value = cloneData(set_->getDataAt(k));
                    if (value) value->fromStringW(reader->getAttributeValue(valueAttributeName(k).c_str()));
                    key.values.push_back(value);
                }
                keys_.push_back(std::move(key));
                reader->finishEmptyElement();
            }
        }
    }

    validateKeys(elementName);
    for (size_t j = 1; j < keys_.size(); ++j) {
        const Key& previous = keys_[j - 1];
        const Key& key = keys_[j];
        for (uint32_t k = 0; k < key.values.size(); ++k) {
            IPropertyData* from = previous.valueAt(k);
            IPropertyData* to = key.valueAt(k);
            if (from && to) from->prepareInterpolation(to);
        }
    }
    if (getTarget()) setTarget(getTarget());
}

void KeyFrame::validateKeys(const stringw& elementName) {
    const uint32_t count = set_ ? set_->getCount() : 0;
    const int32_t keyCount = static_cast<int32_t>(keys_.size());
    bool valuesMismatch = false;
    bool badJump = false;
    for (Key& key : keys_) {
        // Keys read before the property block (or before a later block that
        // replaced it) were read against other properties.
        if (key.values.size() != count) valuesMismatch = true;
        key.values.resize(count);
        for (uint32_t j = 0; j < count; ++j) {
            CountedRef<IPropertyData>& value = key.values[j];
            if (!value) continue;
            CountedRef<IPropertyData> expected = set_->getDataAt(j);
            if (!expected || expected->getTypeId() != value->getTypeId()) {
                value.reset();
                valuesMismatch = true;
            }
        }
        if (key.jump < -1 || key.jump >= keyCount) {
            key.jump = -1;
            badJump = true;
        }
    }
    const stringc where = narrow(elementName) + " " + nameOfId(getName());
    if (valuesMismatch) {
        getLogger().log("Key-frame keys do not match the animator's property block; their missing values are skipped",
                        where.c_str(), LOG_WARNING);
    }
    if (badJump) {
        getLogger().log("Key-frame jump to a key that does not exist; the jump is ignored", where.c_str(),
                        LOG_WARNING);
    }
}

void KeyFrame::writeXml(XmlWriter* writer, BaseNode*, const stringw& elementName) {
    if (!writer) return;
    array<stringw> names;
    array<stringw> values;
    commonAttributes(names, values);
    if (getPeriod() != kDefaultAnimatorPeriod) {
        names.push_back(L"Period");
        values.push_back(stringw(getPeriod()));
    }
    if (timeShift_ != 0) {
        names.push_back(L"TimeShift");
        values.push_back(stringw(timeShift_));
    }
    writer->writeElement(elementName.c_str(), false, names, values);
    writer->writeLineBreak();
    if (set_ && set_->getCount() != 0) set_->write(writer);

    for (const Key& key : keys_) {
        array<stringw> keyNames;
        array<stringw> keyValues;
        keyNames.push_back(L"t");
        keyValues.push_back(stringw(key.time));
        if (key.jump != -1) {
            keyNames.push_back(L"g");
            keyValues.push_back(stringw(key.jump));
        }
        if (key.blend != -1) {
            keyNames.push_back(L"i");
            keyValues.push_back(stringw(key.blend));
        }
        // Every key is written, also one without values (an animator without
        // properties is a timer): leaving it out would change the timing of
        // the keys after it.
        for (uint32_t k = 0; k < key.values.size(); ++k) {
            if (!key.values[k]) continue;
            keyNames.push_back(valueAttributeName(k));
            keyValues.push_back(key.values[k]->toStringW());
        }
        writer->writeElement(L"KeyFrame", true, keyNames, keyValues);
        writer->writeLineBreak();
    }
    writer->writeClosingTag(elementName.c_str());
    writer->writeLineBreak();
}

Base* KeyFrame::clone(State*, BaseNode*) {
    auto* copy = new KeyFrame();
    copy->setName(getName());
    copy->setPeriod(getPeriod());
    if (set_) copy->set_ = set_->clone();
    copy->keys_ = keys_;
    // Template instances are clones: they keep the authored start position.
    copy->timeShift_ = timeShift_;
    return copy;
}

}  // namespace engine
