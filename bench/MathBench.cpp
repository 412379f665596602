// The per-frame CPU work of the metaball scene (field samples, normals, one polygonisation) and of the
// cube scenes (1000 cube transforms), with the scenes' own ball paths, strengths and cube rotations.
#include "math/Cube.h"
#include "math/Mat4.h"
#include "math/MetaballField.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace halcyra {
namespace {

MetaballField makeSceneField() {
    MetaballField field;
    field.create(6, 30, 10.0f, 3.0f);
    field.balls[0].strength = 2.0f;
    field.balls[3].strength = 6.0f;
    field.balls[4].strength = 1.0f;
    return field;
}

// The six ball paths of the metaball scene at scene time t (ms).
void moveBalls(MetaballField& field, float t) {
    const float c1 = std::cos(t * 0.0016666667f), s1 = std::sin(t * 0.0016666667f);
    const float c2 = std::cos(t * 0.00125f), s2 = std::sin(t * 0.00125f);
    const float c3 = std::cos(t * 0.0025f), s3 = std::sin(t * 0.0025f);
    std::vector<MetaBall>& b = field.balls;
    b[0].position.x = -4 * s1 - 2 * c1;
    b[0].position.y = 4 * s1 - 2 * c1;
    b[1].position = {5 * s3 + 2 * c2, -5 * c3 - 2 * c1, 5.3f * c3 * c2};
    b[2].position = {-5 * c3 - 2.5f * s1, 5 * s1 - 2.5f * s3, 4.3f * s2 + 2 * c2};
    b[3].position.x = 4 * c1 * c3 + 3 * s1;
    b[3].position.y = 5.5f * c1 * s3;
    b[4].position = {4.1f * s1 + c2, 4.5f * c1 * c3, 2 * c1 - 5 * s2};
    b[5].position.x = 5.2f * c1 * s3;
    b[5].position.z = 5 * c1 - 2 * c3;
}

// Scene time steps through 64 frames of a 28.9 s scene so the surface changes from run to run.
float frameTime(int64_t frame) {
    return float(frame % 64) * 451.1278f;
}

void BM_MetaballFrame(benchmark::State& state) {
    MetaballField field = makeSceneField();
    std::vector<SurfaceVertex> surface;
    int64_t frame = 0, triangles = 0;
    for (auto _ : state) {
        moveBalls(field, frameTime(frame++));
        field.sampleField();
        field.computeNormals();
        triangles += field.polygonise(1.0f, {19.0f, 40.0f, 0.0f}, surface);
        benchmark::DoNotOptimize(surface.data());
    }
    state.counters["triangles"] = benchmark::Counter(double(triangles) / double(frame));
}
BENCHMARK(BM_MetaballFrame)->Unit(benchmark::kMicrosecond);

void BM_MetaballSampleField(benchmark::State& state) {
    MetaballField field = makeSceneField();
    int64_t frame = 0;
    for (auto _ : state) {
        moveBalls(field, frameTime(frame++));
        field.sampleField();
        benchmark::DoNotOptimize(field.grid.values.data());
    }
}
BENCHMARK(BM_MetaballSampleField)->Unit(benchmark::kMicrosecond);

// The same samples taken one fieldAt call per grid point, as a scene loop would write them.
void BM_MetaballFieldAtPerPoint(benchmark::State& state) {
    MetaballField field = makeSceneField();
    int64_t frame = 0;
    for (auto _ : state) {
        moveBalls(field, frameTime(frame++));
        for (int32_t p = 0; p < field.grid.pointCount(); ++p)
            field.grid.values[p] = field.fieldAt(field.grid.positions[p]);
        benchmark::DoNotOptimize(field.grid.values.data());
    }
}
BENCHMARK(BM_MetaballFieldAtPerPoint)->Unit(benchmark::kMicrosecond);

void BM_MetaballComputeNormals(benchmark::State& state) {
    MetaballField field = makeSceneField();
    moveBalls(field, 1000.0f);
    field.sampleField();
    for (auto _ : state) {
        field.computeNormals();
        benchmark::DoNotOptimize(field.grid.normals.data());
    }
}
BENCHMARK(BM_MetaballComputeNormals)->Unit(benchmark::kMicrosecond);

// Polygonising alone, right after the field was sampled, as in a frame (the grid is still in cache).
void BM_MetaballPolygonise(benchmark::State& state) {
    MetaballField field = makeSceneField();
    std::vector<SurfaceVertex> surface;
    int64_t frame = 0;
    for (auto _ : state) {
        state.PauseTiming();
        moveBalls(field, frameTime(frame++));
        field.sampleField();
        field.computeNormals();
        state.ResumeTiming();
        field.polygonise(1.0f, {19.0f, 40.0f, 0.0f}, surface);
        benchmark::DoNotOptimize(surface.data());
    }
}
BENCHMARK(BM_MetaballPolygonise)->Unit(benchmark::kMicrosecond);

// The cube-rain scene's cubes: positions and rotations as its render sets them, at scene time t.
std::vector<Cube> makeRainCubes(int count, float t) {
    std::vector<Cube> cubes(count);
    for (int n = 0; n < count; ++n) {
        const float i = float(n), a = (55 * i + t) * 0.002f;
        cubes[n].build(1.0f);
        cubes[n].position = {11 * std::sin(i) + 4 * std::sin(a),
                             80 - float((int(t) + 111 * n) % 15000) * 0.013333334f,
                             11 * std::cos(2.12f * i) + 4 * std::sin(1.3f * a)};
        cubes[n].rotation =
            Mat4::rotationXYZ(0.05f * i, (33 * i + t) * 0.09090909f + i, t * 0.11111111f + 180 * std::sin(i));
        cubes[n].size = 1.0f + 0.2f * 30.0f;
    }
    return cubes;
}

void BM_CubeTransform1000(benchmark::State& state) {
    const std::vector<Cube> cubes = makeRainCubes(1000, 5000.0f);
    std::vector<CubeVertices> world(cubes.size());
    for (auto _ : state) {
        for (size_t n = 0; n < cubes.size(); ++n)
            cubes[n].transform(world[n]);
        benchmark::DoNotOptimize(world.data());
    }
}
BENCHMARK(BM_CubeTransform1000)->Unit(benchmark::kMicrosecond);

// What the scene adds on top: one rotationXYZ per cube per frame.
void BM_CubeRotations1000(benchmark::State& state) {
    std::vector<Mat4> rotations(1000);
    float t = 0.0f;
    for (auto _ : state) {
        for (size_t n = 0; n < rotations.size(); ++n) {
            const float i = float(n);
            rotations[n] = Mat4::rotationXYZ(0.05f * i, (33 * i + t) * 0.09090909f + i,
                                             t * 0.11111111f + 180 * std::sin(i));
        }
        t += 16.0f;
        benchmark::DoNotOptimize(rotations.data());
    }
}
BENCHMARK(BM_CubeRotations1000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace halcyra

BENCHMARK_MAIN();
