// ModelLibrary: the show's 3DS models by name, filled from the model list during loading.
#pragma once

namespace halcyra {

class ModelLibrary {
public:
    static ModelLibrary& instance();
    // Reads the 3DS file at `path` and keeps it as `name`.
    void load(const char* path, const char* name);
};

} // namespace halcyra
