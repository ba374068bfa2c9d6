#pragma once
// A property value that holds one loaded content object (a font, a sound) with
// one reference and is written as the content's path, relative to the top of
// its content manager's folder stack. Derived classes name their type:
//
//   class CPropertyDataFont : public CPropertyDataContent<CPropertyDataFont, BaseFont> {
//       static constexpr int32_t kTypeId = PROPERTY_FONT;
//       static constexpr ContentTypeCode kContentType = ContentType::Font;
//       static const wchar_t* typeName() { return L"font"; }
//       static const wchar_t* className() { return L"CPropertyDataFont"; }
//   };
#include "engine/core/IContentManager.h"
#include "engine/core/PropertyData.h"

namespace engine {

template <class Derived, class T>
class CPropertyDataContent : public IPropertyData {
public:
    explicit CPropertyDataContent(IContentManager* contentManager = nullptr) : contentManager_(contentManager) {}
    // Takes a reference; the content manager is the content's.
    explicit CPropertyDataContent(T* content) { setContent(content); }

    T* getContent() const { return content_.get(); }
    // Holds the content; nothing happens for the content already held. Content
    // brings its content manager along; null keeps the recorded one.
    void setContent(T* content) {
        if (content == content_.get()) return;
        content_ = CountedRef<T>::share(content);
        if (content) contentManager_ = content->getCreationContext().getContentManager();
    }
    IContentManager* getContentManager() const { return contentManager_; }

    const stringw& getTypeName() const override {
        static const stringw name(Derived::typeName());
        return name;
    }
    const stringw& getClassName() const override {
        static const stringw name(Derived::className());
        return name;
    }
    int32_t getTypeId() const override { return Derived::kTypeId; }

    // The same content and its content manager; without content, no manager.
    CountedRef<IPropertyData> clone() const override {
        auto* copy = new Derived(content_ ? contentManager_ : nullptr);
        copy->content_ = content_;
        return CountedRef<IPropertyData>(copy);
    }
    // The content's path; empty without content.
    stringc toString() const override {
        if (!content_) return stringc();
        const stringc& name = content_->getCreationContext().getName();
        return contentManager_ ? contentManager_->makeRelativePath(name) : name;
    }
    // Loads the path relative to the top of the folder stack; nothing without a
    // content manager. A failed load (an empty path included) leaves no content.
    void fromString(const stringc& text) override {
        if (!contentManager_) return;
        Content* loadedContent = contentManager_->load(Derived::kContentType, text, true);
        T* typed = dynamic_cast<T*>(loadedContent);
        if (!typed && loadedContent) loadedContent->release();
        CountedRef<T> loaded(typed);
        if (loaded)
            setContent(loaded.get());
        else
            content_.reset();
    }
    bool equals(const IPropertyData* other) const override {
        const auto* o = dynamic_cast<const Derived*>(other);
        return o && o->content_ == content_;
    }
    // At t of 1 or more the end's content, else this one's; true when the
    // output changed.
    bool interpolate(const IPropertyData* end, IPropertyData* out, float t, int32_t) const override {
        const auto* e = dynamic_cast<const Derived*>(end);
        auto* o = dynamic_cast<Derived*>(out);
        if (!e || !o) return false;
        T* candidate = t >= 1.0f ? e->content_.get() : content_.get();
        if (candidate == o->content_.get()) return false;
        o->setContent(candidate);
        return true;
    }

private:
    CountedRef<T> content_;
    IContentManager* contentManager_ = nullptr;
};

}  // namespace engine
