// LightTrack: the keyframed position of one light, as its 3DS light file gives it.
#pragma once

namespace halcyra {

struct LightTrack {};

} // namespace halcyra
