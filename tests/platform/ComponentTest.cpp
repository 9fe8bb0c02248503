#include "platform/Component.h"
#include "platform/StringList.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using platform::Component;
using platform::StringList;

namespace {

// Remembers which linked components it was told about, and its own destruction.
struct Watcher : Component {
    std::vector<Component*>* destroyed = nullptr;
    Component* linked = nullptr;
    ~Watcher() override {
        if (destroyed)
            destroyed->push_back(this);
    }
    void notification(Component& dying) override {
        if (&dying == linked)
            linked = nullptr;
    }
};

} // namespace

TEST(Component, OwnerDestroysChildrenLastAdoptedFirst) {
    std::vector<Component*> destroyed;
    Watcher* first = nullptr;
    Watcher* second = nullptr;
    {
        Component owner;
        owner.setName("DataModule");
        first = &owner.own(std::make_unique<Watcher>());
        second = &owner.own(std::make_unique<Watcher>());
        first->destroyed = second->destroyed = &destroyed;
        EXPECT_EQ(first->owner(), &owner);
        EXPECT_EQ(owner.childCount(), 2u);
        EXPECT_EQ(owner.name(), "DataModule");
    }
    EXPECT_EQ(destroyed, (std::vector<Component*>{second, first}));
}

TEST(Component, FreeNotificationClearsLinksBothWays) {
    auto a = std::make_unique<Watcher>();
    auto b = std::make_unique<Watcher>();
    a->linked = b.get();
    b->linked = a.get();
    a->freeNotification(*b);
    a->freeNotification(*b);
    b.reset();
    EXPECT_EQ(a->linked, nullptr);

    auto c = std::make_unique<Watcher>();
    c->linked = a.get();
    c->freeNotification(*a);
    a.reset();
    EXPECT_EQ(c->linked, nullptr);

    auto d = std::make_unique<Watcher>();
    d->linked = c.get();
    d->freeNotification(*c);
    d->removeFreeNotification(*c);
    c.reset();
    EXPECT_NE(d->linked, nullptr); // unlinked: not told
}

TEST(StringList, SortedListsUseByteOrderAndRefuseDuplicates) {
    StringList<std::unique_ptr<int>> list(true);
    for (const char* text : {"b", "B", "_", "a", "A"})
        EXPECT_NE(list.add(text, std::make_unique<int>(text[0])), list.npos);
    EXPECT_EQ(list.add("a", std::make_unique<int>(0)), list.npos);
    std::vector<std::string> order;
    for (const auto& entry : list)
        order.push_back(entry.text);
    EXPECT_EQ(order, (std::vector<std::string>{"A", "B", "_", "a", "b"}));
    std::size_t index = 0;
    EXPECT_TRUE(list.find("_", index));
    EXPECT_EQ(index, 2u);
    EXPECT_FALSE(list.find("C", index));
    EXPECT_EQ(index, 2u); // where it would go
    EXPECT_EQ(*list.objectOf("a"), 'a');
    EXPECT_EQ(list.objectOf("z"), nullptr);
    EXPECT_THROW(list.setText(0, "Z"), std::logic_error);
}

TEST(StringList, UnsortedListsKeepOrderAndReSortStably) {
    StringList<int*> list;
    int one = 1, two = 2, three = 3;
    list.add("b", &one);
    list.add("a", &two);
    list.add("b", &three);
    EXPECT_EQ(list.indexOf("b"), 0u);
    EXPECT_EQ(list.indexOf("c"), list.npos);
    list.setText(1, "c");
    list.setSorted(true);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].object, &one);
    EXPECT_EQ(list[1].object, &three);
    EXPECT_EQ(list[2].text, "c");
    list.erase(0);
    EXPECT_EQ(list[0].object, &three);
    list.clear();
    EXPECT_TRUE(list.empty());
}
