#include "core/Singleton.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halcyra {
namespace {

std::vector<std::string> events;

// Shaped like the registries: private constructor, destructor and teardown, reached through the friend.
class Registry : public Singleton<Registry> {
public:
    int value = 0;

private:
    friend class Singleton<Registry>;
    friend struct std::default_delete<Registry>;
    Registry() { events.push_back("made"); }
    ~Registry() { events.push_back("deleted"); }
    void teardown() { events.push_back("torn down"); }
};

// Shaped like the libraries: nothing to tear down.
class Library : public Singleton<Library> {
private:
    friend class Singleton<Library>;
    Library() { events.push_back("library made"); }
};

TEST(Singleton, DestroyTearsDownBeforeDeletingAndTheNextInstanceIsFresh) {
    events.clear();
    EXPECT_FALSE(Registry::exists());
    Registry::instance().value = 7;
    EXPECT_EQ(&Registry::instance(), &Registry::instance());
    EXPECT_TRUE(Registry::exists());
    Registry::destroy();
    EXPECT_FALSE(Registry::exists());
    EXPECT_EQ(Registry::instance().value, 0);
    Registry::destroy();
    Registry::destroy();
    EXPECT_EQ(events,
              (std::vector<std::string>{"made", "torn down", "deleted", "made", "torn down", "deleted"}));
}

TEST(Singleton, ClassesWithoutTeardownAreDeletedAndEachClassHasItsOwnObject) {
    events.clear();
    Library::instance();
    EXPECT_FALSE(Registry::exists());
    Library::destroy();
    EXPECT_FALSE(Library::exists());
    EXPECT_EQ(events, std::vector<std::string>{"library made"});
}

} // namespace
} // namespace halcyra
