#include "scene3ds/Camera.h"
#include "scene3ds/LightLibrary.h"
#include "scene3ds/ObjectLoader.h"

#include "assets/TextureManager.h"
#include "support/Expect.h"
#include "support/MessageLog.h"
#include "support/TempDir.h"

#include "Writer3ds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace halcyra {
namespace {

using tools::Float3;

using test::expectVec3;

class KeyframeReaderTest : public ::testing::Test {
protected:
    ~KeyframeReaderTest() override { TextureManager::destroy(); }

    std::string save(const std::string& name, const std::vector<uint8_t>& bytes) {
        const std::string path = dir.write(name, "").string();
        tools::saveFile3ds(path, bytes);
        return path;
    }

    // A model of one node (no meshes), read without GL.
    std::unique_ptr<Model> loadNode(const tools::ObjectNode3ds& node) {
        tools::Model3ds model;
        model.nodes = {node};
        const std::string path = save("models/node.3ds", tools::writeModel3ds(model));
        tools::saveFile3ds(tools::shadowInfoPath(path), std::string("0\n"));
        ObjectLoader loader;
        loader.createBuffers = false;
        test::MessageLog log;
        loader.loadModel(path.c_str(), "node");
        messages = log.texts();
        return std::move(loader.model);
    }

    std::unique_ptr<CameraTrack> loadCamera(const tools::CameraFile3ds& camera) {
        const std::string path = save("models/camera.3ds", tools::writeCamera3ds(camera));
        test::MessageLog log;
        auto track = ObjectLoader().loadCameraTrack(path.c_str());
        messages = log.texts();
        return track;
    }

    test::TempDir dir;
    std::vector<std::string> messages;
};

TEST_F(KeyframeReaderTest, RelativeRotationsComposeIntoAbsoluteOrientations) {
    tools::ObjectNode3ds node;
    node.name = "Spinner";
    const float quarter = 1.5707964f;
    node.rotation = {{0, quarter, {0, 0, 1}, {}}, {1, quarter, {0, 0, 1}, {}}};
    const auto model = loadNode(node);

    ASSERT_EQ(model->nodes.count(), 1);
    const AnimationNode& read = *model->nodes.at(0);
    ASSERT_EQ(read.rotationKeyCount(), 2);
    // The file's z axis is the show's −y: a quarter turn about −y, then a half turn.
    const Quat first = read.rotationKeys[0].orientation;
    EXPECT_NEAR(first.w, std::sqrt(0.5f), 1e-6f);
    EXPECT_NEAR(first.y, -std::sqrt(0.5f), 1e-6f);
    const Quat second = read.rotationKeys[1].orientation;
    EXPECT_NEAR(second.w, 0.0f, 1e-6f);
    EXPECT_NEAR(second.x, 0.0f, 1e-6f);
    EXPECT_NEAR(second.y, -1.0f, 1e-6f);
    EXPECT_NEAR(second.z, 0.0f, 1e-6f);
    // Half a turn about y maps x to −x and z to −z.
    const Vec3 turned = Mat4::transformPoint(read.rotationKeys[1].matrix, {1, 0, 2});
    expectVec3(turned, {-1, 0, -2});
}

TEST_F(KeyframeReaderTest, EachRotationKeyTurnsAfterTheKeysBeforeIt) {
    tools::ObjectNode3ds node;
    const float quarter = 1.5707964f;
    node.rotation = {{0, quarter, {0, 0, 1}, {}}, {1, quarter, {1, 0, 0}, {}}};
    const auto model = loadNode(node);

    // A quarter turn about the show's −y takes x to z, then one about −x takes z to y.
    const AnimationNode& read = *model->nodes.at(0);
    expectVec3(Mat4::transformPoint(read.rotationKeys[0].matrix, {1, 0, 0}), {0, 0, 1}, 1e-6f);
    expectVec3(Mat4::transformPoint(read.rotationKeys[1].matrix, {1, 0, 0}), {0, 1, 0}, 1e-6f);
}

TEST_F(KeyframeReaderTest, RotationAngleIsReducedByAFullTurnBeforeHalving) {
    tools::ObjectNode3ds node;
    node.rotation = {{0, 7.0f, {0, 0, 1}, {}}};
    const auto model = loadNode(node);

    const float half = (7.0f - 6.2831855f) * 0.5f;
    const Quat q = model->nodes.at(0)->rotationKeys[0].orientation;
    EXPECT_NEAR(q.w, std::cos(half), 1e-6f);
    EXPECT_NEAR(q.y, -std::sin(half), 1e-6f);
}

TEST_F(KeyframeReaderTest, NodeKeepsItsIdsPivotAndConvertedKeys) {
    tools::ObjectNode3ds node;
    node.name = "Arm.Left";
    node.nodeId = 7;
    node.parentId = 3;
    node.pivot = {1, 2, 3};
    // Spline values on a key are read past, whatever flags are set.
    node.position = {{12, {1, 2, 3}, {0x1F, {9, 9, 9, 9, 9}}}, {13, {4, 5, 6}, {0x05, {9, 0, 9, 0, 0}}}};
    node.rotation = {{12, 0.0f, {0, 0, 1}, {0x02, {0, 9, 0, 0, 0}}}};
    node.scale = {{12, {2, 3, 4}, {}}, {14, {1, 1, 1}, {0x10, {0, 0, 0, 0, 9}}}};
    const auto model = loadNode(node);

    ASSERT_EQ(model->nodes.count(), 1);
    const AnimationNode& read = *model->nodes.at(0);
    EXPECT_EQ(read.name, "Arm.Left");
    EXPECT_EQ(read.nodeId, 7);
    EXPECT_EQ(read.parentId, 3);
    EXPECT_TRUE(read.wrap);
    expectVec3(read.pivot, {1, 3, -2});
    ASSERT_EQ(read.positionKeyCount(), 2);
    EXPECT_EQ(read.positionKeys[1].frame, 13);
    expectVec3(read.positionKeys[0].position, {1, 3, -2});
    expectVec3(read.positionKeys[1].position, {4, 6, -5});
    expectVec3(Mat4::transformPoint(read.positionKeys[1].matrix, {0, 0, 0}), {4, 6, -5});
    ASSERT_EQ(read.scaleKeyCount(), 2);
    expectVec3(read.scaleKeys[0].scale, {2, 3, 4});
    EXPECT_EQ(read.scaleKeys[1].frame, 14);
    expectVec3(Mat4::transformPoint(read.scaleKeys[0].matrix, {1, 1, 1}), {2, 3, 4});
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(KeyframeReaderTest, CameraKeysAreTimedInFortyMillisecondStepsAndRollIsNegated) {
    tools::CameraFile3ds camera;
    camera.eye = {{0, {1, 2, 3}, {}}, {50, {4, 5, 6}, {0x03, {1, 1, 0, 0, 0}}}};
    camera.target = {{0, {0, 0, 0}, {}}, {7, {7, 8, 9}, {}}};
    camera.roll = {{0, 30.0f, {}}, {50, 30.0f, {}}};
    const auto track = loadCamera(camera);

    ASSERT_EQ(track->keyCount(), 2);
    EXPECT_EQ(track->keys[1].time, 2000);
    expectVec3(track->keys[0].eye, {1, 3, -2});
    expectVec3(track->keys[1].eye, {4, 6, -5});
    expectVec3(track->keys[1].target, {7, 9, -8});
    ASSERT_EQ(track->rollKeyCount(), 2);
    EXPECT_EQ(track->rollKeys[1].time, 2000);
    EXPECT_EQ(track->rollKeys[0].roll, -30.0f);
    EXPECT_EQ(track->mode, CameraTrack::Tcb);
    EXPECT_EQ(track->step, 40);
    EXPECT_TRUE(track->sampled) << "prepared by the reader";
    EXPECT_TRUE(messages.empty()) << messages.front();
}

TEST_F(KeyframeReaderTest, ExtraEyeKeysKeepLookingAtTheLastTarget) {
    tools::CameraFile3ds camera;
    camera.eye = {{0, {0, 0, 0}, {}}, {10, {1, 0, 0}, {}}, {20, {2, 0, 0}, {}}};
    camera.target = {{0, {0, 0, 5}, {}}, {10, {0, 0, 6}, {}}};
    const auto track = loadCamera(camera);

    ASSERT_EQ(track->keyCount(), 3);
    expectVec3(track->keys[1].target, {0, 6, 0});
    expectVec3(track->keys[2].target, {0, 6, 0});
    EXPECT_EQ(messages, std::vector<std::string>{"eri määrä"});
}

TEST_F(KeyframeReaderTest, LightTrackKeepsFramesAndConvertedPositions) {
    tools::LightFile3ds light;
    light.position = {{3, {1, 2, 3}, {}}, {9, {-1, -2, -3}, {0x08, {0, 0, 0, 2, 0}}}};
    const std::string path = save("models/light.3ds", tools::writeLight3ds(light));
    const auto track = ObjectLoader().loadLightTrack(path.c_str());

    ASSERT_EQ(track->keyCount(), 2);
    EXPECT_EQ(track->keys[0].frame, 3);
    EXPECT_EQ(track->keys[1].frame, 9);
    expectVec3(track->keys[0].position, {1, 3, -2});
    expectVec3(track->keys[1].position, {-1, -3, 2});
    EXPECT_EQ(track->loaded, 1);
}

TEST_F(KeyframeReaderTest, TruncatedCameraAndLightFilesKeepTheKeysReadWholeAndSaySo) {
    tools::CameraFile3ds camera;
    camera.eye = {{0, {1, 2, 3}, {}}, {50, {4, 5, 6}, {}}};
    camera.target = camera.eye;
    camera.roll = {{0, 30.0f, {}}};
    tools::LightFile3ds light;
    light.position = camera.eye;
    const std::vector<uint8_t> cameraFile = tools::writeCamera3ds(camera);
    const std::vector<uint8_t> lightFile = tools::writeLight3ds(light);
    const auto wholeCamera = ObjectLoader().loadCameraTrack(save("models/camera.3ds", cameraFile).c_str());
    const auto wholeLight = ObjectLoader().loadLightTrack(save("models/light.3ds", lightFile).c_str());
    ASSERT_EQ(wholeCamera->keyCount(), 2);
    ASSERT_EQ(wholeLight->keyCount(), 2);

    auto cut = [&](const std::vector<uint8_t>& whole, size_t size) {
        return save("models/cut.3ds", std::vector<uint8_t>(whole.begin(), whole.begin() + size));
    };
    // Every cut of `file` keeps no more keys than the whole file has, each as the whole file has it, and
    // says that the file was cut.
    auto expectCutsKeepWholeKeys = [&](const std::vector<uint8_t>& file, const auto& whole, auto load,
                                       auto expectSameKey) {
        for (size_t size = 0; size < file.size(); ++size) {
            test::MessageLog log;
            const auto track = load(cut(file, size));
            ASSERT_LE(track->keyCount(), whole->keyCount()) << "cut at " << size;
            for (int i = 0; i < track->keyCount(); ++i)
                expectSameKey(track->keys[i], whole->keys[i], size);
            EXPECT_FALSE(log.messages().empty()) << "cut at " << size;
        }
    };
    expectCutsKeepWholeKeys(
        cameraFile, wholeCamera,
        [](const std::string& path) { return ObjectLoader().loadCameraTrack(path.c_str()); },
        [](const auto& key, const auto& wholeKey, size_t size) {
            EXPECT_EQ(key.time, wholeKey.time) << "cut at " << size;
            expectVec3(key.eye, wholeKey.eye);
        });
    expectCutsKeepWholeKeys(
        lightFile, wholeLight,
        [](const std::string& path) { return ObjectLoader().loadLightTrack(path.c_str()); },
        [](const auto& key, const auto& wholeKey, size_t size) {
            EXPECT_EQ(key.frame, wholeKey.frame) << "cut at " << size;
            expectVec3(key.position, wholeKey.position);
        });
}

TEST_F(KeyframeReaderTest, KeyCountTheFileCannotHoldIsRefusedBeforeAllocating) {
    tools::LightFile3ds light;
    light.position = {{0, {1, 2, 3}, {}}, {40, {4, 5, 6}, {}}};
    const std::vector<uint8_t> whole = tools::writeLight3ds(light);
    // The key count is the last field before the first key's frame, 0 as written.
    const std::vector<uint8_t> countThenFrame{2, 0, 0, 0, 0, 0, 0, 0};
    const auto found = std::search(whole.begin(), whole.end(), countThenFrame.begin(), countThenFrame.end());
    ASSERT_NE(found, whole.end());
    const size_t count = static_cast<size_t>(found - whole.begin());

    for (int32_t declared : {1000000000, -1}) {
        std::vector<uint8_t> broken = whole;
        for (size_t k = 0; k < 4; ++k)
            broken[count + k] = static_cast<uint8_t>(static_cast<uint32_t>(declared) >> (8 * k));
        const std::string path = save("models/light.3ds", broken);
        test::MessageLog log;
        const auto track = ObjectLoader().loadLightTrack(path.c_str());
        EXPECT_EQ(track->keyCount(), 0);
        ASSERT_EQ(log.texts().size(), 1u);
        const std::string report = "the position track declares " + std::to_string(declared) + " keys";
        EXPECT_NE(log.texts()[0].find(report), std::string::npos) << log.texts()[0];
    }
}

class CameraTest : public KeyframeReaderTest {
protected:
    ~CameraTest() override { Camera::destroy(); }
};

TEST_F(CameraTest, UpdateFollowsTheSelectedTrackAndTiltsUpByTheRoll) {
    Camera& camera = Camera::instance();
    tools::CameraFile3ds file;
    file.eye = {{0, {0, -10, 0}, {}}, {25, {0, -10, 0}, {}}};
    file.target = {{0, {1, 2, 3}, {}}, {25, {1, 2, 3}, {}}};
    file.roll = {{0, 30.0f, {}}, {25, 30.0f, {}}};
    const std::string path = save("models/camera.3ds", tools::writeCamera3ds(file));

    camera.setEye(5, 5, 5);
    camera.update(40.0f);
    expectVec3(camera.eye, {5, 5, 5});
    expectVec3(camera.up, {0, 1, 0});

    camera.loadTrack(path.c_str(), "camera");
    camera.loadTrack(path.c_str(), "camera");
    EXPECT_EQ(camera.tracks.count(), 2);
    camera.update(40.0f);
    expectVec3(camera.eye, {5, 5, 5}); // no track is selected yet

    camera.selectTrack(7);
    EXPECT_EQ(camera.currentTrack, camera.tracks.at(1));
    EXPECT_TRUE(camera.currentTrack->active);
    camera.update(80.0f);
    expectVec3(camera.eye, {0, 0, 10}, 1e-4f);
    expectVec3(camera.target, {1, 3, -2}, 1e-4f);
    expectVec3(camera.up, {0.5f, 0.8660254f, 0}, 1e-6f);
}

TEST_F(KeyframeReaderTest, LightLibraryKeepsOneTrackPerFile) {
    tools::LightFile3ds light;
    light.position = {{0, {1, 2, 3}, {}}};
    const std::string path = save("models/light.3ds", tools::writeLight3ds(light));
    LightLibrary& lights = LightLibrary::instance();
    lights.loadTrack(path.c_str(), "light");
    ASSERT_EQ(lights.tracks.count(), 1);
    expectVec3(lights.tracks.at(0)->keys[0].position, {1, 3, -2});
    LightLibrary::destroy();
}

} // namespace
} // namespace halcyra
