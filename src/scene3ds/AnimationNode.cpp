#include "scene3ds/AnimationNode.h"

namespace halcyra {
namespace {

// The key index for `frame` among `count` keys (count > 0); never outside the keys, negative frames
// included.
size_t keyIndex(int32_t frame, size_t count, bool wrap) {
    const int64_t n = static_cast<int64_t>(count);
    int64_t index = frame;
    if (wrap)
        index = ((index % n) + n) % n;
    else
        index = index < 0 ? 0 : (index >= n ? n - 1 : index);
    return static_cast<size_t>(index);
}

} // namespace

AnimationNode::AnimationNode(std::string nodeName) : name(std::move(nodeName)) {}

Mat4 AnimationNode::matrixAt(int32_t frame, Vec3 origin) const {
    Mat4 m = positionKeys.size() > 1 ? positionKeys[keyIndex(frame, positionKeys.size(), wrap)].matrix
                                     : Mat4::translation(origin);
    if (!rotationKeys.empty())
        m = Mat4::multiply(m, rotationKeys[keyIndex(frame, rotationKeys.size(), wrap)].matrix);
    m = Mat4::multiply(m, Mat4::translation(pivot));
    if (scaleKeys.size() > 1)
        m = Mat4::multiply(m, scaleKeys[keyIndex(frame, scaleKeys.size(), wrap)].matrix);
    return m;
}

} // namespace halcyra
