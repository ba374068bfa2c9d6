#include "game/tutorial/GTutorial.h"
#include "engine/core/BaseNode.h"
#include "engine/core/ControlNode.h"
#include "engine/core/Event.h"
#include "engine/core/IContentManager.h"
#include "engine/core/Logger.h"
#include "engine/core/PropertyData.h"
#include "engine/core/SceneManager.h"
#include "engine/core/SceneNode.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TextRoutines.h"
#include "engine/core/XmlReader.h"
#include "engine/platform/EngineDevice.h"
#include "engine/visual/TextNode.h"
#include "game/common/GameServices.h"
#include "game/common/GBaseSceneNode.h"
#include "game/common/GameEvents.h"

#include <algorithm>
#include <cmath>

namespace game {

using namespace engine;

namespace {

const wchar_t* const kValue = L"Value";

bool isElement(XmlReader& reader, const wchar_t* name) {
    return reader.getNodeType() == irr::io::EXN_ELEMENT && reader.getNodeName() == name;
}

// The "Action" elements of an "Actions" block, up to the block's end.
void readActions(XmlReader& reader, GTutorialStep& step) {
    const int32_t depth = reader.getDepth();
    if (reader.finishEmptyElement()) return;
    while (reader.readInside(depth)) {
        if (reader.getNodeType() != irr::io::EXN_ELEMENT) continue;
        if (reader.getNodeName() == L"Action") {
            CountedRef<GTutorialAction> action(createTutorialAction(reader.getAttributeValue(L"Type")));
            if (action) {
                action->read(reader);
                step.actions.push_back(action);
            }
        }
        reader.skipElement();
    }
}

void readArrows(XmlReader& reader, GTutorialStep& step) {
    const int32_t depth = reader.getDepth();
    if (reader.finishEmptyElement()) return;
    while (reader.readInside(depth)) {
        if (reader.getNodeType() != irr::io::EXN_ELEMENT) continue;
        if (reader.getNodeName() == L"Arrow") {
            GTutorialArrow arrow;
            arrow.position = parseVector3d(reader.getAttributeValue(L"Position"));
            arrow.rotation = vector3df(0.0f, 0.0f, reader.getAttributeValueAsFloat(L"Rotation", 0.0f));
            step.arrows.push_back(arrow);
        }
        reader.skipElement();
    }
}

void readHint(XmlReader& reader, GTutorialStep& step) {
    step.messageBox = equalWide(reader.getAttributeValue(L"MessageBox"), L"true");
    step.linnet = equalWide(reader.getAttributeValue(L"Linnet"), L"true");
    const int32_t depth = reader.getDepth();
    if (reader.finishEmptyElement()) return;
    while (reader.readInside(depth)) {
        if (reader.getNodeType() != irr::io::EXN_ELEMENT) continue;
        const stringw& name = reader.getNodeName();
        if (name == L"Actions") {
            readActions(reader, step);
            continue;
        }
        if (name == L"Arrows") {
            readArrows(reader, step);
            continue;
        }
        if (name == L"Position") {
            step.position = parseVector3d(reader.getAttributeValue(kValue));
        } else if (name == L"TextBgType") {
            step.textBgType = reader.getAttributeValueAsInt(kValue, 0);
        } else if (name == L"TextPosition") {
            step.textPosition = parseVector3d(reader.getAttributeValue(kValue));
            step.textPosition.Z = 1.0f;
        } else if (name == L"Text") {
            step.stepText = reader.getAttributeValue(kValue);
        } else if (name == L"ImageFilename") {
            step.imageFilename = stringc(reader.getAttributeValue(kValue));
        }
        reader.skipElement();
    }
}

// Where the tutorial windows may stand: the 1024 x 768 screen less its top
// bar and the bottom panel.
const rectf kWindowArea(8.0f, 64.0f, 1016.0f, 620.0f);

// The rectangle the window's shown parts cover, relative to its place: its
// visible children (the text with its panel, the buttons) and all under them.
void addCover(const BaseNode* node, const vector2df& at, bool top, rectf& cover, bool& any) {
    for (uint32_t i = 0; i < node->getChildCount(); ++i) {
        const BaseNode* child = node->getChild(i);
        if (top && !child->isVisible()) continue;
        const vector2df place(at.X + child->getPosition().X, at.Y + child->getPosition().Y);
        const vector3df bounds = child->getBounds();
        if (bounds.X > 0.0f && bounds.Y > 0.0f) {
            const rectf r(place.X, place.Y, place.X + bounds.X, place.Y + bounds.Y);
            if (any) {
                cover.addInternalPoint(r.UpperLeftCorner);
                cover.addInternalPoint(r.LowerRightCorner);
            } else {
                cover = r;
                any = true;
            }
        }
        addCover(child, place, false, cover, any);
    }
}

float overlap(const rectf& a, const rectf& b) {
    const float w = std::min(a.LowerRightCorner.X, b.LowerRightCorner.X) -
                    std::max(a.UpperLeftCorner.X, b.UpperLeftCorner.X);
    const float h = std::min(a.LowerRightCorner.Y, b.LowerRightCorner.Y) -
                    std::max(a.UpperLeftCorner.Y, b.UpperLeftCorner.Y);
    return w > 0.0f && h > 0.0f ? w * h : 0.0f;
}

}  // namespace

bool readTutorialSteps(XmlReader& reader, std::vector<GTutorialStep>& steps) {
    while (!isElement(reader, L"Tutorial")) {
        if (!reader.read()) return false;
    }
    const int32_t depth = reader.getDepth();
    if (reader.finishEmptyElement()) return true;
    while (reader.readInside(depth)) {
        if (!isElement(reader, L"Hint")) continue;
        steps.emplace_back();
        readHint(reader, steps.back());
    }
    return true;
}

GTutorial::GTutorial(BaseNode* ownerScene, TemplateCollectionNode* templates, IContentManager* content)
    : content_(CountedRef<IContentManager>::share(content)), ownerScene_(ownerScene) {
    setMask(EventCategory::Keyboard | EventCategory::Mouse | EventCategory::Node);
    if (!ownerScene_) return;
    BaseNode* manager = ownerScene_->getManager();
    const CreationContext context = ownerScene_->getCreationContext();
    BaseNode* layer = new BaseNode(&context, ownerScene_, manager);
    arrowLayer_ = CountedRef<BaseNode>::share(layer);
    layer->release();  // the owner scene holds it, and so do we
    layer->setPosition(vector3df(0.0f, 0.0f, 2000.0f));
    if (!templates) return;
    arrowTemplate_ = CountedRef<BaseNode>::share(templates->getTemplate(makeNameId("TutorialArrow")));
    BaseNode* windowTemplate = templates->getTemplate(makeNameId("TutorialWindow"));
    if (!windowTemplate) return;
    window_ = CountedRef<BaseNode>::share(windowTemplate->clone(ownerScene_, manager));
    if (!window_) return;
    CountedRef<SceneShownEvent> shown(new SceneShownEvent(manager));
    window_->deliver(DeliveryMode::HandleThenChildren, shown.get());
    window_->setVisible(false);
    windowText_ = nodeCast<TextNode>(window_->findChild(makeNameId("Text"), 1));
    skipButton_ = nodeCast<ControlNode>(window_->findChild(makeNameId("SkipTutorialButton"), 1));
    skipButtonBg_ = skipButton_ ? skipButton_->findChild(makeNameId("bg"), 1) : nullptr;
    okButton_ = window_->findChild(makeNameId("Button"), 1);
    hasStepList_ = true;
}

GTutorial::~GTutorial() {
    removeArrows();
    if (arrowLayer_ && arrowLayer_->getParent()) arrowLayer_->getParent()->removeChild(arrowLayer_.get());
    if (window_ && window_->getParent()) window_->getParent()->removeChild(window_.get());
}

bool GTutorial::load(XmlReader& reader, EventReceiver* receiver) {
    receiver_ = receiver;
    if (!hasStepList_) {
        getLogger().log("Unable to find the tutorial window template", "TutorialWindow", LOG_ERROR);
        return false;
    }
    steps_.clear();
    if (!readTutorialSteps(reader, steps_)) {
        getLogger().log("Unable to read the tutorial: no Tutorial element", "", LOG_ERROR);
        return false;
    }
    return true;
}

void GTutorial::start() {
    stepIndex_ = 0;
    if (steps_.empty() || !ownerScene_) return;
    if (!registered_) {
        if (EngineDevice* engine = getEngine()) registered_ = engine->addEventReceiver(this, 0);
    }
    showStep();
}

void GTutorial::unregister() {
    if (!registered_) return;
    registered_ = false;
    // The device holds a reference; keep this tutorial alive to the end of the call.
    CountedRef<GTutorial> keep = CountedRef<GTutorial>::share(this);
    if (EngineDevice* engine = getEngine()) engine->removeEventReceiver(this);
}

void GTutorial::stop() {
    CountedRef<GTutorial> keep = CountedRef<GTutorial>::share(this);
    unregister();
    stepIndex_ = static_cast<int32_t>(steps_.size());
    update(0);
}

GTutorialStep* GTutorial::currentStep() {
    if (stepIndex_ < 0 || stepIndex_ >= static_cast<int32_t>(steps_.size())) return nullptr;
    return &steps_[static_cast<size_t>(stepIndex_)];
}

void GTutorial::removeArrows() {
    if (arrowLayer_) arrowLayer_->removeAllChildren();
}

void GTutorial::showStep() {
    GTutorialStep* step = currentStep();
    if (!step) return;
    // Each message step waits for its own press of the window's button.
    windowButtonPressed_ = false;
    for (auto& action : step->actions) action->start(receiver_);
    const bool hasText = step->stepText.size() > 0;
    if (window_) {
        if (hasText || step->linnet) {
            const bool wasHidden = !window_->isVisible();
            window_->setVisible(true);
            if (wasHidden) {
                playCue("TutorialWindow");
                window_->setState(makeNameId("NavTo"), nullptr);
            }
            // A button that could not end the step would only mislead.
            if (okButton_) okButton_->setVisible(step->messageBox);
            if (hasText) {
                if (windowText_) {
                    windowText_->setVisible(true);
                    windowText_->setPosition(vector3df(step->textPosition.X, step->textPosition.Y, 1.0f));
                    windowText_->enterStateInChildren(makeNameId(step->textBgType == 0 ? "Type1" : "Type2"));
                    windowText_->setText(step->stepText);
                }
                if (skipButton_) {
                    const vector3df& at = skipButton_->getPosition();
                    skipButton_->setPosition(vector3df(at.X, step->textPosition.Y + 85.0f, at.Z));
                    skipButton_->setVisible(true);
                }
            } else {
                if (windowText_) windowText_->setVisible(false);
                if (skipButton_) skipButton_->setVisible(false);
            }
            const vector2df at = windowPlace(*step);
            window_->setPosition(vector3df(at.X, at.Y, 1999.0f));
        } else {
            window_->setVisible(false);
        }
    }
    removeArrows();
    if (!arrowTemplate_ || !arrowLayer_) return;
    for (const GTutorialArrow& arrow : step->arrows) {
        BaseNode* node = arrowTemplate_->clone(arrowLayer_.get(), arrowLayer_->getManager());
        if (!node) continue;
        node->setVisible(true);
        node->setPosition(arrow.position);
        node->setRotation(arrow.rotation);
    }
}

std::vector<rectf> GTutorial::stepTargets(const GTutorialStep& step) const {
    std::vector<rectf> targets;
    for (const auto& action : step.actions) action->addTargets(ownerScene_, targets);
    // What an arrow points at lies just past its tip.
    for (const GTutorialArrow& arrow : step.arrows) {
        const float angle = arrow.rotation.Z * 3.14159265f / 180.0f;
        const vector2df centre(arrow.position.X + 20.0f * std::cos(angle), arrow.position.Y + 20.0f * std::sin(angle));
        targets.emplace_back(centre.X - 24.0f, centre.Y - 24.0f, centre.X + 24.0f, centre.Y + 24.0f);
    }
    return targets;
}

rectf GTutorial::windowCover() const {
    rectf cover;
    bool any = false;
    if (window_) addCover(window_.get(), vector2df(0.0f, 0.0f), true, cover, any);
    return any ? cover : rectf(0.0f, 0.0f, 0.0f, 0.0f);
}

vector2df GTutorial::windowPlace(const GTutorialStep& step) const {
    const vector2df wanted(step.position.X, step.position.Y);
    const std::vector<rectf> targets = stepTargets(step);
    const rectf cover = windowCover();
    const auto covered = [&](const vector2df& at) {
        rectf r = cover;
        r += at;
        float area = 0.0f;
        for (const rectf& target : targets) area += overlap(r, target);
        return area;
    };
    if (targets.empty() || covered(wanted) == 0.0f) return wanted;
    // The written place covers what the step asks for: the nearest place
    // along the screen's edges and middles that covers nothing, or else the
    // one that covers least.
    const float w = cover.getWidth(), h = cover.getHeight();
    const float left = kWindowArea.UpperLeftCorner.X - cover.UpperLeftCorner.X;
    const float right = kWindowArea.LowerRightCorner.X - w - cover.UpperLeftCorner.X;
    const float top = kWindowArea.UpperLeftCorner.Y - cover.UpperLeftCorner.Y;
    const float bottom = kWindowArea.LowerRightCorner.Y - h - cover.UpperLeftCorner.Y;
    const float xs[] = {wanted.X, left, right, (left + right) / 2.0f};
    const float ys[] = {wanted.Y, top, bottom, (top + bottom) / 2.0f};
    vector2df best = wanted;
    float bestArea = covered(wanted);
    float bestDistance = 0.0f;
    for (float x : xs) {
        for (float y : ys) {
            const vector2df at(x, y);
            const float area = covered(at);
            const float distance = (at - wanted).getLengthSQ();
            if (area < bestArea || (area == bestArea && distance < bestDistance)) {
                best = at;
                bestArea = area;
                bestDistance = distance;
            }
        }
    }
    return best;
}

bool GTutorial::update(uint32_t ms) {
    if (GTutorialStep* step = currentStep()) {
        bool complete = false;
        for (auto& action : step->actions) {
            action->update(ms);
            if (action->isComplete()) complete = true;
        }
        if (complete || (step->messageBox && windowButtonPressed_)) {
            for (auto& action : step->actions) action->finish();
            ++stepIndex_;
            showStep();
        }
        return true;
    }
    // No step left: the window and the arrows go, and so does the device's
    // hold on a tutorial nobody runs any more.
    if (arrowLayer_) {
        if (BaseNode* parent = arrowLayer_->getParent()) parent->removeChild(arrowLayer_.get());
        arrowLayer_.reset();
    }
    if (window_) {
        if (BaseNode* parent = window_->getParent()) parent->removeChild(window_.get());
        window_.reset();
        windowText_ = nullptr;
        skipButton_ = nullptr;
        skipButtonBg_ = nullptr;
        okButton_ = nullptr;
    }
    unregister();
    return false;
}

bool GTutorial::handleEvent(Event* event) {
    GTutorialStep* step = currentStep();
    if (!step || !event) return false;
    const int32_t type = event->getTypeId();
    if (type == EventId::NodePressedEvent) {
        BaseNode* node = static_cast<NodePressedEvent*>(event)->getNode();
        const NameId name = node ? node->getName() : kNoName;
        if (name == makeNameId("SkipTutorialButton")) return window_ && !window_->isVisible();
        if (name == makeNameId("Button") && step->messageBox) {
            windowButtonPressed_ = true;
            CountedRef<GPauseRequestEvent> resume(new GPauseRequestEvent(false));
            sendToReceiver(receiver_, resume.get());
            return false;
        }
    } else if (type == EventId::MouseMoveEvent) {
        if (skipButton_ && skipButtonBg_) {
            const MouseMoveEvent* move = static_cast<MouseMoveEvent*>(event);
            const vector2df at(static_cast<float>(move->getX()), static_cast<float>(move->getY()));
            skipButtonBg_->setVisible(skipButton_->findNodeAt(at) != nullptr);
        }
        return false;
    }
    bool handled = false;
    for (auto& action : step->actions) {
        if (action->handleEvent(event)) handled = true;
    }
    return handled;
}

CountedRef<GTutorial> loadMenuTutorial(SceneNode& scene, BaseNode* root, const char* file, const char* what) {
    EngineDevice* engine = getEngine();
    FileSystem* files = engine ? engine->getFileSystem() : nullptr;
    CountedRef<XmlReader> reader(files ? files->createXMLReader(file) : nullptr);
    if (!reader) {
        getLogger().log((stringc("The ") + what + " tutorial could not be opened").c_str(), file, LOG_ERROR);
        return CountedRef<GTutorial>();
    }
    if (!root) return CountedRef<GTutorial>();
    SceneManager* menus = gameServices() ? gameServices()->getSceneManager(0) : scene.getSceneManager();
    CountedRef<GTutorial> tutorial(
        new GTutorial(root, menus ? menus->getTemplateCollection() : nullptr, scene.getContentManager()));
    tutorial->load(*reader, nullptr);
    scene.addListener(tutorial.get());
    return tutorial;
}

void dropMenuTutorial(SceneNode& scene, CountedRef<GTutorial>& tutorial) {
    if (!tutorial) return;
    GTutorial* running = tutorial.get();
    scene.removeListener(running);
    running->stop();
    tutorial = nullptr;
}

}  // namespace game
