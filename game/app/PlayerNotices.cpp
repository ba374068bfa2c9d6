#include "game/app/PlayerNotices.h"
#include "engine/content/Dictionary.h"
#include "engine/core/ContentProblems.h"
#include "engine/core/Logger.h"
#include "engine/core/SceneManager.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/core/TextConvert.h"
#include "game/app/GIntroScene.h"
#include "game/app/GLogosScene.h"

namespace game {

using namespace engine;

const char* const kNoticeTemplate = "MessageBox1Button";

namespace {

// The key's text, or the fallback when there is no dictionary or it lacks the
// key; "#p" filled with the detail and every "%" doubled, since the box
// translates what it shows.
stringw noticeText(const char* key, const wchar_t* fallback, const stringw& detail = stringw()) {
    stringw text;
    const IDictionary* dictionary = getCurrentDictionary();
    const stringw missing = stringw(L"%") + widen(key) + L"%";
    if (dictionary) text = dictionary->lookup(key);
    if (!dictionary || text.empty() || text == missing) text = fallback;
    const std::wstring marker = L"#p";
    std::wstring out(text.c_str());
    const size_t at = out.find(marker);
    if (at != std::wstring::npos) out.replace(at, marker.size(), detail.c_str());
    std::wstring escaped;
    for (wchar_t c : out) {
        escaped += c;
        if (c == L'%') escaped += L'%';
    }
    return stringw(escaped.c_str());
}

stringw okText() { return noticeText("Notice_Ok", L"OK"); }

}  // namespace

NoticeTexts contentProblemTexts(const std::string& file) {
    NoticeTexts texts;
    texts.title = noticeText("Notice_FileTitle", L"A game file is missing or damaged");
    texts.body = noticeText("Notice_FileBody",
                            L"The game could not use the file #p, so part of it may not work. "
                            L"Installing the game again repairs it.",
                            widen(file.c_str()));
    texts.button = okText();
    return texts;
}

NoticeTexts profileNoticeTexts(const ProfileNotice& notice) {
    NoticeTexts texts;
    const stringw path = widen(notice.path.c_str());
    switch (notice.kind) {
    case ProfileNotice::RestoredFromBackup:
        texts.title = noticeText("Notice_RestoredTitle", L"Progress restored");
        texts.body = noticeText("Notice_RestoredBody",
                                L"Your saved progress could not be read and was restored from its backup copy. "
                                L"The damaged file was kept as #p.",
                                path);
        break;
    case ProfileNotice::Unreadable:
        texts.title = noticeText("Notice_UnreadableTitle", L"Progress could not be read");
        texts.body = noticeText("Notice_UnreadableBody",
                                L"Your saved progress could not be read, and the game starts from the beginning. "
                                L"The damaged file was kept as #p.",
                                path);
        break;
    case ProfileNotice::CannotSave:
        texts.title = noticeText("Notice_CannotSaveTitle", L"Progress cannot be saved");
        texts.body = noticeText("Notice_CannotSaveBody",
                                L"Nothing can be written to #p, so your progress will be lost when the game closes.",
                                path);
        break;
    case ProfileNotice::None:
        break;
    }
    texts.button = okText();
    return texts;
}

bool showNotice(SceneManager& manager, SceneNode& owner, const NoticeTexts& texts) {
    array<stringw> buttons;
    buttons.push_back(texts.button);
    return manager.showMessageBox(&owner, makeNameId(kNoticeTemplate), buttons, texts.title, texts.body) != nullptr;
}

bool PlayerNotices::showNext(SceneManager* manager) {
    if (profile_.kind == ProfileNotice::None) profile_ = getProfileStore().takeNotice();
    std::string file;
    const bool problem = profile_.kind == ProfileNotice::None && peekContentProblem(file);
    if (profile_.kind == ProfileNotice::None && !problem) return false;

    SceneNode* top = manager ? manager->getTopScene() : nullptr;
    if (!top || manager->isBusy(top) || top->isOfType(SceneManager::kMessageBoxTypeId)) return false;
    if (top->isOfType(GLogosScene::kTypeId)) return false;
    // The intro makes the templates and atlases the box needs: it waits for
    // the main menu, unless the intro cannot go on.
    if (GIntroScene* intro = nodeCast<GIntroScene>(top)) {
        if (!intro->isStuck()) return false;
    }
    TemplateCollectionNode* templates = manager->getTemplateCollection();
    if (!templates || !templates->getTemplate(makeNameId(kNoticeTemplate))) {
        // The player cannot be told on screen; the log has it.
        logError("No message box template to tell the player with", kNoticeTemplate);
        profile_ = ProfileNotice();
        if (problem) dropContentProblem();
        return false;
    }
    const NoticeTexts texts = problem ? contentProblemTexts(file) : profileNoticeTexts(profile_);
    if (!showNotice(*manager, *top, texts)) return false;
    logInfo(problem ? ("Told the player about the file " + file).c_str() : "Told the player about the saved progress");
    if (problem)
        dropContentProblem();
    else
        profile_ = ProfileNotice();
    return true;
}

}  // namespace game
