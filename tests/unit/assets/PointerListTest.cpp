#include "assets/PointerList.h"

#include <gtest/gtest.h>

namespace halcyra {
namespace {

TEST(PointerList, GrowsOneSlotAtATimeBeyondItsInitialCapacityAndKeepsEveryElement) {
    PointerList<int> list(5);
    EXPECT_EQ(list.capacity(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(list.append(std::make_unique<int>(i * 10)), i);
    EXPECT_EQ(list.capacity(), 5);
    list.append(std::make_unique<int>(50));
    EXPECT_EQ(list.capacity(), 6);
    list.append(std::make_unique<int>(60));
    EXPECT_EQ(list.capacity(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(*list.at(i), i * 10);
}

TEST(PointerList, IndexOutsideTheListYieldsTheLastElement) {
    PointerList<int> list(2);
    list.append(std::make_unique<int>(1));
    list.append(std::make_unique<int>(2));
    EXPECT_EQ(*list.at(-1), 2);
    EXPECT_EQ(*list.at(2), 2);
    EXPECT_EQ(*list.at(1000), 2);
    EXPECT_EQ(*list.at(0), 1);
}

TEST(PointerList, EmptyListYieldsNull) {
    PointerList<int> list(0);
    EXPECT_EQ(list.at(0), nullptr);
    EXPECT_EQ(list.at(-1), nullptr);
}

TEST(PointerList, ResizingBelowTheCountDropsTheLastElements) {
    PointerList<int> list(0);
    for (int i = 0; i < 4; ++i)
        list.append(std::make_unique<int>(i));
    list.resize(2);
    EXPECT_EQ(list.count(), 2);
    EXPECT_EQ(list.capacity(), 2);
    EXPECT_EQ(*list.at(5), 1);
}

} // namespace
} // namespace halcyra
