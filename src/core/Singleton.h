// The one shape of the program's singletons (the texture and shader registries, the model and light
// libraries, the camera, the Engine, the music stream, F12's frame capture): instance() makes the object
// on first use, without locking; destroy() runs the object's teardown() first, where the class has one,
// then deletes it, and the next instance() makes a fresh one; exists() says whether one lives now.
// A class takes the shape by deriving from Singleton<Class> and befriending it, which lets instance()
// reach a private constructor and destroy() a private teardown.
#pragma once

#include <memory>

namespace halcyra {

template <typename T>
class Singleton {
public:
    static T& instance() {
        std::unique_ptr<T>& object = slot();
        if (!object)
            object.reset(new T());
        return *object;
    }

    static void destroy() {
        std::unique_ptr<T>& object = slot();
        if constexpr (requires(T & t) { t.teardown(); }) {
            if (object)
                object->teardown();
        }
        object.reset();
    }

    static bool exists() { return slot() != nullptr; }

protected:
    Singleton() = default;
    ~Singleton() = default;

private:
    static std::unique_ptr<T>& slot() {
        static std::unique_ptr<T> object;
        return object;
    }
};

} // namespace halcyra
