// The edit's cursor against real glyphs: where the cursor node stands after
// keys, and which character a click puts it after.
#include "engine/controls/EditNode.h"
#include "engine/core/TemplateCollectionNode.h"
#include "engine/platform/DeviceClock.h"
#include "engine/visual/BitmapFont.h"
#include "engine/visual/TextNode.h"
#include "visual/AtlasTestSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace engine;

namespace {

// Lower case letters 8 x 12 with 1 before and after (advance 10), 4 below
// the line top; line height 20.
std::string letterFont() {
    std::string xml =
        "<?xml version=\"1.0\"?>\n<Font Type=\"Bitmap\">\n  <Texture Filename=\"glyphs0.png\"/>\n"
        "  <c c=\" \" r=\"0 0 0 0\" b=\"0 0\" a=\"5 0\" i=\"0\"/>\n";
    for (int i = 0; i < 26; ++i) {
        const int x = i * 9;
        xml += "  <c c=\"" + std::string(1, static_cast<char>('a' + i)) + "\" r=\"" + std::to_string(x) + " 0 " +
               std::to_string(x + 8) + " 12\" b=\"1 4\" a=\"1 4\" i=\"0\"/>\n";
    }
    return xml + "</Font>\n";
}

class ManualClock : public DeviceClock {
public:
    uint32_t getRealTime() override { return now; }
    void sleep(uint32_t milliseconds) override { now += milliseconds; }
    uint32_t now = 5000;
};

class TemplateManager : public BaseNode {
public:
    TemplateManager() : BaseNode(nullptr, nullptr, nullptr) {}
    TemplateCollectionNode* getTemplateCollection() const override { return collection.get(); }
    CountedRef<TemplateCollectionNode> collection{new TemplateCollectionNode(nullptr, nullptr, nullptr)};
};

class EditCursorTest : public visual_test::ContentFixture {
protected:
    void SetUp() override {
        writeImage("fonts/glyphs0.png", 256, 32);
        writeText("fonts/letters.ofnt", letterFont());
        Content* content = manager_->load(ContentType::Font, "fonts/letters.ofnt", false);
        font_ = CountedRef<BaseFont>(dynamic_cast<BaseFont*>(content));
        ASSERT_TRUE(font_);
        ASSERT_FLOAT_EQ(font_->getLineHeight(), 20.0f);
        EditNode::setClock(clock_.get());

        CountedRef<BaseNode> look(new BaseNode(nullptr, nullptr, nullptr));
        look->setName(makeNameId("EditLook"));
        CountedRef<TextNode> text(new TextNode(nullptr, look.get(), nullptr));
        text->setName(makeNameId("Text"));
        text->setBounds(vector3df(200.0f, 60.0f, 0.0f));
        text->setPosition(vector3df(30.0f, 40.0f, 0.0f));
        text->setFont(font_.get());
        CountedRef<BaseNode> cursor(new BaseNode(nullptr, text.get(), nullptr));
        cursor->setName(makeNameId("Cursor"));
        nodes_->collection->addTemplate(look.get());

        edit_ = CountedRef<EditNode>(new EditNode(nullptr, nullptr, nodes_.get()));
        edit_->setText(L"ab\ncd");
        edit_->setTemplateName(stringc("EditLook"));
        edit_->updateAbsoluteTransform();
        clock_->now += 200;
        ASSERT_NE(edit_->getCursorChild(), nullptr);
    }
    void TearDown() override { EditNode::setClock(nullptr); }

    void key(int32_t code) {
        CountedRef<KeyDownEvent> event(new KeyDownEvent(0, code, false, false));
        edit_->handleEvent(event.get());
    }
    vector3df cursorAt() const { return edit_->getCursorChild()->getPosition(); }

    CountedRef<ManualClock> clock_{new ManualClock()};
    CountedRef<BaseFont> font_;
    CountedRef<TemplateManager> nodes_{new TemplateManager()};
    CountedRef<EditNode> edit_;
};

TEST_F(EditCursorTest, TheCursorStandsAfterTheCharacterBeforeIt) {
    const TextNode* text = edit_->getTextChild();
    const auto after = [text](int32_t line, int32_t column) {
        return vector3df(text->getGlyphRect(line, column).LowerRightCorner.X, text->getLineTop(line), 0.0f);
    };
    ASSERT_GT(after(0, 1).X, after(0, 0).X);
    // At a line's start the cursor is at the line's left edge, not after the
    // first glyph.
    EXPECT_EQ(cursorAt(), vector3df(text->getLineLeft(0), 0.0f, 0.0f));
    key(39);  // Right: after "a"
    EXPECT_EQ(cursorAt(), after(0, 0));
    key(35);  // End: after "b"
    EXPECT_EQ(cursorAt(), after(0, 1));
    key(40);  // Down: line 1, after "d"
    EXPECT_EQ(cursorAt(), after(1, 1));
    EXPECT_EQ(cursorAt().Y, 20.0f);
    key(36);  // Home
    EXPECT_EQ(cursorAt(), vector3df(text->getLineLeft(1), 20.0f, 0.0f));
}

TEST_F(EditCursorTest, AClickPutsTheCursorAfterTheCharacterWhoseMiddleIsLeftOfIt) {
    struct Case {
        int32_t x, y;
        int32_t line, column;
    } cases[] = {
        // The two lines (40 high) stand centred in the 60 high box when a
        // click is looked up: the first from 10 to 30, the second below.
        {30 + 3, 40 + 15, 0, -1},   // left of the middle of "a"
        {30 + 12, 40 + 15, 0, 0},   // left of the middle of "b"
        {30 + 17, 40 + 15, 0, 1},   // right of the middle of "b"
        {30 + 12, 40 + 35, 1, 0},   // second line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        CountedRef<LeftButtonDownEvent> click(new LeftButtonDownEvent(c.x, c.y));
        EXPECT_TRUE(edit_->handleEvent(click.get()));
        EXPECT_EQ(edit_->getCursorLine(), c.line);
        EXPECT_EQ(edit_->getCursorColumn(), c.column);
    }
    EXPECT_TRUE(edit_->isFocused());
}

}  // namespace

TEST_F(EditCursorTest, ALongLineIsClippedToTheBoxAndSlidesToKeepTheCursorInView) {
    // The box is 200 wide; thirty letters need 300.
    BaseNode* clip = edit_->getTextClip();
    ASSERT_NE(clip, nullptr);
    EXPECT_TRUE(clip->isChildrenClipped());
    EXPECT_EQ(clip->getPosition(), vector3df(30.0f, 40.0f, 0.0f));
    EXPECT_EQ(clip->getBounds(), vector3df(200.0f, 60.0f, 0.0f));
    EXPECT_EQ(edit_->getTextChild()->getParent(), clip);
    edit_->setText(L"");
    clock_->now += 200;
    for (int i = 0; i < 30; ++i) {
        CountedRef<KeyDownEvent> letter(new KeyDownEvent(L'a' + i % 26, 'A' + i % 26, false, false));
        edit_->handleEvent(letter.get());
        // The cursor, in the box's own units, never leaves the box.
        const float inBox = cursorAt().X - edit_->getTextScroll();
        EXPECT_GE(inBox, 0.0f) << i;
        EXPECT_LE(inBox, 200.0f) << i;
        EXPECT_FLOAT_EQ(edit_->getTextChild()->getPosition().X, -edit_->getTextScroll()) << i;
    }
    EXPECT_GT(edit_->getTextScroll(), 90.0f);
    // A click at the box's right edge finds a character near the end.
    edit_->updateAbsoluteTransform();
    CountedRef<LeftButtonDownEvent> click(new LeftButtonDownEvent(30 + 195, 50));
    edit_->handleEvent(click.get());
    EXPECT_GE(edit_->getCursorColumn(), 27);
    // Home shows the start again; deleting from the end lets the text slide back.
    key(36);
    EXPECT_FLOAT_EQ(edit_->getTextScroll(), 0.0f);
    key(35);
    for (int i = 0; i < 20; ++i) key(8);
    EXPECT_FLOAT_EQ(edit_->getTextScroll(), 0.0f);
    EXPECT_EQ(edit_->getText().size(), 10u);
}
