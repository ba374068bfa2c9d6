#include "NodeTestSupport.h"

#include "engine/core/BaseNode.h"
#include "engine/core/PropertySet.h"
#include "engine/core/PropertyTable.h"
#include "engine/core/State.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace engine;
using namespace node_tests;

namespace {

std::vector<std::string> namesOf(const PropertyTable& table) {
    std::vector<std::string> names;
    for (uint32_t i = 0; i < table.size(); ++i) names.push_back(table[i].name.c_str());
    return names;
}

std::vector<std::string> namesOf(const PropertySet& set) {
    std::vector<std::string> names;
    for (uint32_t i = 0; i < set.getCount(); ++i) names.push_back(set.getNameAt(i).c_str());
    return names;
}

const std::vector<std::string> kBaseNames = {"Name",   "Visible",    "Position",  "Rotation", "Scale",
                                             "Bounds", "PivotPoint", "TintColor", "CanBeHit", "ChildrenClipped"};

CountedRef<IPropertyData> v3(float x, float y, float z) {
    return CountedRef<IPropertyData>(makeVector3dProperty(vector3df(x, y, z)));
}

}  // namespace

TEST(PropertyTable, BaseNodeTableListsItsTenEntriesInOrder) {
    CountedRef<BaseNode> node(new BaseNode(nullptr, nullptr, nullptr));
    EXPECT_EQ(namesOf(node->getPropertyTable()), kBaseNames);
    EXPECT_EQ(&node->getPropertyTable(), &BaseNode::classPropertyTable());
    EXPECT_EQ(PropertyTableOwner::rootPropertyTable().size(), 0u);
}

TEST(PropertyTable, DerivedTableIsTheBaseFollowedByItsOwnEntries) {
    registerTestKinds();
    CountedRef<ValuesNode> node(new ValuesNode(nullptr, nullptr, nullptr));
    std::vector<std::string> expected = kBaseNames;
    expected.push_back("Count");
    EXPECT_EQ(namesOf(node->getPropertyTable()), expected);
    EXPECT_EQ(node->getPropertyTable().indexOf("Count"), 10);
    EXPECT_EQ(node->getPropertyTable().indexOf("count"), -1);  // exact names only

    // A name declared again is a second entry; lookups find the first.
    PropertyTable table;
    appendPropertyTable(table, BaseNode::classPropertyTable());
    table.add("Name", nullptr, nullptr);
    EXPECT_EQ(table.size(), 11u);
    EXPECT_EQ(table.indexOf("Name"), 0);
}

TEST(PropertyTable, StateTableHoldsItsName) {
    CountedRef<State> state(new State(makeNameId("Open")));
    const PropertyTable& table = state->getPropertyTable();
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table.get(*state, 0)->toString(), stringc("Open"));
    table.set(*state, 0, CountedRef<IPropertyData>(makeStringProperty("Closed")));
    EXPECT_EQ(state->getName(), makeNameId("Closed"));
}

TEST(PropertyTable, SettersAndGettersReachTheNode) {
    CountedRef<BaseNode> node(new BaseNode(nullptr, nullptr, nullptr));
    const PropertyTable& t = node->getPropertyTable();
    node->updateAbsoluteTransform();

    t.set(*node, t.indexOf("Position"), v3(1, 2, 3));
    EXPECT_EQ(node->getPosition(), vector3df(1, 2, 3));
    EXPECT_TRUE(node->isTransformDirty());
    t.set(*node, t.indexOf("Name"), CountedRef<IPropertyData>(makeStringProperty("hero")));
    EXPECT_EQ(node->getName(), makeNameId("hero"));
    t.set(*node, t.indexOf("TintColor"), CountedRef<IPropertyData>(makeColorProperty(SColor(1, 2, 3, 4))));
    EXPECT_EQ(node->getTintColor(), SColor(1, 2, 3, 4));
    EXPECT_TRUE(node->isColorDirty());
    t.set(*node, t.indexOf("PivotPoint"), CountedRef<IPropertyData>(makeVector2dProperty(vector2df(3, 4))));
    EXPECT_EQ(node->getPivotPoint(), vector2df(3, 4));

    // The table stores bounds as they come; reading a set clamps them.
    t.set(*node, t.indexOf("Bounds"), v3(-5, 20, 3));
    EXPECT_EQ(node->getBounds(), vector3df(-5, 20, 3));
    PropertySet set;
    set.add("Bounds", v3(-5, 20, 3));
    node->readProperties(&set);
    EXPECT_EQ(node->getBounds(), vector3df(0, 20, 0));

    CountedRef<IPropertyData> position = t.get(*node, t.indexOf("Position"));
    ASSERT_TRUE(position);
    EXPECT_TRUE(position->isOfType(PROPERTY_VECTOR3D));
    EXPECT_EQ(position->toString(), stringc("1.000000;2.000000;3.000000"));
    EXPECT_EQ(t.get(*node, t.indexOf("Name"))->toString(), stringc("hero"));
    EXPECT_FALSE(t.get(*node, 99));  // outside the table
    t.set(*node, 99, v3(0, 0, 0));   // nothing
}

TEST(PropertyTable, WrongOrMissingValuesCountAsZero) {
    CountedRef<BaseNode> node(new BaseNode(nullptr, nullptr, nullptr));
    const PropertyTable& t = node->getPropertyTable();
    const CountedRef<IPropertyData> wrong(makeIntProperty(1));
    const CountedRef<IPropertyData> none;
    for (const CountedRef<IPropertyData>* value : {&wrong, &none}) {
        node->setPosition(vector3df(1, 1, 1));
        node->setVisible(true);
        node->setTintColor(SColor(0xFFFFFFFF));
        node->setPivotPoint(vector2df(1, 1));
        t.set(*node, t.indexOf("Position"), *value);
        t.set(*node, t.indexOf("Visible"), *value);
        t.set(*node, t.indexOf("TintColor"), *value);
        t.set(*node, t.indexOf("PivotPoint"), *value);
        EXPECT_EQ(node->getPosition(), vector3df(0, 0, 0));
        EXPECT_FALSE(node->isVisible());
        EXPECT_EQ(node->getTintColor(), SColor(0));
        EXPECT_EQ(node->getPivotPoint(), vector2df(0, 0));
    }
    // Any value class gives a name its text.
    t.set(*node, t.indexOf("Name"), wrong);
    EXPECT_EQ(node->getName(), makeNameId("1"));
}

TEST(PropertyHolder, DefaultsWriteNothingAndANameWritesOnlyTheName) {
    CountedRef<BaseNode> node(new BaseNode(nullptr, nullptr, nullptr));
    PropertySet set;
    node->writeProperties(&set);
    EXPECT_EQ(set.getCount(), 0u);
    node->setName(makeNameId("only"));
    node->writeProperties(&set);
    EXPECT_EQ(namesOf(set), std::vector<std::string>{"Name"});
    EXPECT_EQ(set.getString("Name"), stringc("only"));

    // The interface itself writes and reads nothing.
    PropertyHolder holder;
    PropertySet other;
    holder.writeProperties(&other);
    holder.readProperties(&other);
    EXPECT_EQ(other.getCount(), 0u);
}

TEST(PropertyHolder, VectorsAreWrittenWhenTheyDifferByMoreThanTheTolerance) {
    const struct {
        vector3df position;
        bool written;
    } cases[] = {
        {vector3df(0.0000005f, 0, 0), false},
        {vector3df(0.00001f, 0, 0), true},
        {vector3df(0, -0.00001f, 0), true},
        {vector3df(0, 0, 0.000001f), false},
    };
    for (const auto& c : cases) {
        CountedRef<BaseNode> node(new BaseNode(nullptr, nullptr, nullptr));
        node->setPosition(c.position);
        PropertySet set;
        node->writeProperties(&set);
        EXPECT_EQ(set.indexOf("Position") >= 0, c.written) << c.position.X << " " << c.position.Y;
    }
    // Pivot points compare exactly.
    CountedRef<BaseNode> node(new BaseNode(nullptr, nullptr, nullptr));
    node->setPivotPoint(vector2df(0.0000001f, 0));
    PropertySet set;
    node->writeProperties(&set);
    EXPECT_GE(set.indexOf("PivotPoint"), 0);
}

TEST(PropertyHolder, EveryChangedValueIsWrittenInItsOrderAndReadsBack) {
    CountedRef<BaseNode> node(new BaseNode(nullptr, nullptr, nullptr));
    node->setName(makeNameId("n"));
    node->setVisible(false);
    node->setPosition(vector3df(1, 2, 3));
    node->setRotation(vector3df(0, 0, 30));
    node->setScale(vector3df(2, 2, 1));
    node->setBounds(vector3df(10, 20, 0));
    node->setPivotPoint(vector2df(5, 6));
    node->setTintColor(SColor(0x80FF0000));
    node->setCanBeHit(false);
    node->setChildrenClipped(true);
    PropertySet set;
    node->writeProperties(&set);
    EXPECT_EQ(namesOf(set), (std::vector<std::string>{"Name", "Position", "Rotation", "Scale", "Bounds", "PivotPoint",
                                                      "TintColor", "Visible", "CanBeHit", "ChildrenClipped"}));

    CountedRef<BaseNode> copy(new BaseNode(nullptr, nullptr, nullptr));
    copy->readProperties(&set);
    PropertySet again;
    copy->writeProperties(&again);
    ASSERT_EQ(again.getCount(), set.getCount());
    for (uint32_t i = 0; i < set.getCount(); ++i)
        EXPECT_TRUE(set.getDataAt(i)->equals(again.getDataAt(i).get())) << set.getNameAt(i).c_str();
}

TEST(PropertyHolder, ReadingAppliesOnlyWhatTheSetHolds) {
    CountedRef<BaseNode> node(new BaseNode(nullptr, nullptr, nullptr));
    node->setPosition(vector3df(4, 5, 6));
    node->setName(makeNameId("keep"));
    PropertySet set;
    set.add("Visible", CountedRef<IPropertyData>(makeIntProperty(1)));  // wrong class: false
    set.add("Unknown", CountedRef<IPropertyData>(makeIntProperty(3)));
    node->readProperties(&set);
    EXPECT_FALSE(node->isVisible());
    EXPECT_EQ(node->getPosition(), vector3df(4, 5, 6));
    EXPECT_EQ(node->getName(), makeNameId("keep"));
}
