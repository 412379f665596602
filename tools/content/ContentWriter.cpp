#include "ContentWriter.h"

#include "ImageWriter.h"
#include "Models.h"
#include "Paint.h"
#include "Pictures.h"
#include "Typeface.h"

#include <stb_image_resize.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace halcyra::tools {
namespace {

void writeBytes(const std::filesystem::path& file, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(file.parent_path());
    if (!writeFile(file.string(), bytes))
        throw std::runtime_error("cannot write " + file.string());
}

void writeList(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    if (lines.empty())
        return;
    std::string text = std::to_string(lines.size()) + "\n";
    for (const std::string& line : lines)
        text += line + "\n";
    writeBytes(file, std::vector<uint8_t>(text.begin(), text.end()));
}

// Area-averaged reduction to a size no larger than the picture.
Raster shrink(const Raster& picture, int width, int height) {
    Raster out(width, height, picture.channels());
    const int channels = picture.channels();
    stbir_resize_float_generic(
        picture.values().data(), picture.width(), picture.height(),
        picture.width() * channels * static_cast<int>(sizeof(float)), out.values().data(), width, height,
        width * channels * static_cast<int>(sizeof(float)), channels, STBIR_ALPHA_CHANNEL_NONE, 0,
        STBIR_EDGE_CLAMP, STBIR_FILTER_BOX, STBIR_COLORSPACE_LINEAR, nullptr);
    return out;
}

} // namespace

const std::vector<PictureFile>& pictureFiles() {
    static const std::vector<PictureFile> files = [] {
        const Destination listed = Destination::Listed;
        std::vector<PictureFile> list = {
            {"textures/c_noise.jpg", ImageFormat::Jpeg, Tiling::Both, listed, false, noiseTexture},
            {"textures/halcyra.png", ImageFormat::Png, Tiling::None, listed, false, titleCard},
            {"textures/qz2007.png", ImageFormat::Png, Tiling::None, listed, false, endLogo},
            {"textures/n_water.png", ImageFormat::Png, Tiling::Both, listed, false, waterNormalMap},
            {"textures/d_water.png", ImageFormat::Png, Tiling::Both, listed, false, waterDistortionMap},
            {"textures/maskqz.png", ImageFormat::Png, Tiling::Both, listed, false, scrollingMask},
            {"textures/mask1.png", ImageFormat::Png, Tiling::None, listed, false, vignetteMask},
            {"textures/mask2.png", ImageFormat::Png, Tiling::None, listed, false, letterboxMask},
            {"textures/mask3.png", ImageFormat::Png, Tiling::None, listed, false, faintVignetteMask},
            {"textures/c_mmixb.png", ImageFormat::Png, Tiling::None, listed, false, environmentMap},
        };
        for (int group = 0; group < 8; ++group) {
            const std::string& name = greetedGroups()[static_cast<size_t>(group)];
            list.push_back({"textures/c_" + name + ".png", ImageFormat::Png, Tiling::Both, listed, false,
                            [group] { return greetingFace(group); }});
            list.push_back({"textures/n_" + name + ".png", ImageFormat::Png, Tiling::Both, listed, false,
                            [group] { return greetingNormalMap(group); }});
            list.push_back({"textures/d_" + name + ".png", ImageFormat::Png, Tiling::Both, listed, false,
                            [group] { return greetingDistortionMap(group); }});
        }
        // The models' maps: the one-off pictures fill the texture list's last lines, the shared surfaces
        // go into the packet.
        list.push_back(
            {"textures/credits.png", ImageFormat::Png, Tiling::None, listed, false, creditsTexture});
        list.push_back(
            {"textures/credits_n.png", ImageFormat::Png, Tiling::None, listed, false, creditsNormalMap});
        list.push_back(
            {"textures/planet.jpg", ImageFormat::Jpeg, Tiling::AcrossU, listed, false, planetTexture});
        list.push_back(
            {"textures/planet_n.png", ImageFormat::Png, Tiling::AcrossU, listed, false, planetNormalMap});
        list.push_back({"textures/ring.png", ImageFormat::Png, Tiling::AcrossU, listed, false, ringTexture});
        const Destination packet = Destination::Packet;
        list.push_back({"steel.png", ImageFormat::Png, Tiling::Both, packet, false, steelTexture});
        list.push_back({"steel_n.png", ImageFormat::Png, Tiling::Both, packet, false, steelNormalMap});
        list.push_back({"floor.png", ImageFormat::Png, Tiling::Both, packet, false, floorTexture});
        list.push_back({"teal.png", ImageFormat::Png, Tiling::Both, packet, false, tealTexture});
        list.push_back({"teal_n.png", ImageFormat::Png, Tiling::Both, packet, false, tealNormalMap});
        list.push_back({"glow.png", ImageFormat::Png, Tiling::Both, packet, false, glowTexture});
        list.push_back({"lamp.png", ImageFormat::Png, Tiling::Both, packet, false, lampTexture});
        list.push_back({"flat_n.png", ImageFormat::Png, Tiling::Both, packet, false, flatNormalMap});
        list.push_back(
            {"textures/logo.png", ImageFormat::Png, Tiling::None, Destination::Beside, true, loadingLogo});
        return list;
    }();
    return files;
}

std::vector<uint8_t> encodePicture(const PictureFile& file, const Raster& picture) {
    std::vector<uint8_t> rows = picture.quantise(file.dither);
    if (file.format == ImageFormat::Jpeg) {
        // The program hands a JPEG's rows to GL in file order and a PNG's bottom row first; stored upside
        // down, a JPEG meets its texture coordinates the way a PNG does (v = 0 at the picture's foot).
        const size_t stride = static_cast<size_t>(picture.width()) * static_cast<size_t>(picture.channels());
        for (int top = 0, bottom = picture.height() - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(rows.begin() + static_cast<std::ptrdiff_t>(top * stride),
                             rows.begin() + static_cast<std::ptrdiff_t>((top + 1) * stride),
                             rows.begin() + static_cast<std::ptrdiff_t>(bottom * stride));
        return encodeJpeg(picture.width(), picture.height(), picture.channels(), rows, 95);
    }
    return encodePng(makePng(picture.width(), picture.height(), picture.channels(), rows));
}

int AssetLists::lineCount() const {
    return static_cast<int>(textures.size() + models.size() + cameras.size() + lights.size());
}

void AssetLists::write(const std::filesystem::path& folder) const {
    // Every line is one step of the loading bar, which is full after exactly 61.
    if (lineCount() > lineBudget) {
        throw std::runtime_error("the asset lists hold " + std::to_string(lineCount()) +
                                 " lines, more than the " + std::to_string(lineBudget) +
                                 " the loading bar has steps for");
    }
    writeList(folder / "textures" / "tex", textures);
    writeList(folder / "models" / "models", models);
    writeList(folder / "models" / "cameras", cameras);
    writeList(folder / "models" / "lights", lights);
}

void writeContent(const std::filesystem::path& folder, const std::filesystem::path& packetFolder) {
    const std::vector<PictureFile>& files = pictureFiles();
    std::vector<std::vector<uint8_t>> encoded(files.size());
    std::atomic<size_t> next{0};
    std::mutex failureLock;
    std::exception_ptr failure;
    auto paint = [&] {
        for (size_t i = next++; i < files.size(); i = next++) {
            try {
                encoded[i] = encodePicture(files[i], files[i].make());
            } catch (...) {
                const std::lock_guard<std::mutex> hold(failureLock);
                if (!failure)
                    failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> workers;
    const unsigned count = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    for (unsigned t = 1; t < count; ++t)
        workers.emplace_back(paint);
    // The models, cameras and lights are built here while the workers paint.
    std::vector<ModelFile> models;
    std::vector<CameraPathFile> cameras;
    std::vector<LightPathFile> lights;
    try {
        models = productionModels();
        cameras = productionCameras();
        lights = productionLights();
    } catch (...) {
        const std::lock_guard<std::mutex> hold(failureLock);
        if (!failure)
            failure = std::current_exception();
    }
    paint();
    for (std::thread& worker : workers)
        worker.join();
    if (failure)
        std::rethrow_exception(failure);

    AssetLists lists;
    for (size_t i = 0; i < files.size(); ++i) {
        const bool packed = files[i].destination == Destination::Packet;
        writeBytes((packed ? packetFolder : folder) / files[i].path, encoded[i]);
        if (files[i].destination == Destination::Listed)
            lists.textures.push_back(files[i].path);
    }
    for (const ModelFile& model : models) {
        const std::string path = "models/" + model.name + ".3ds";
        writeBytes(folder / path, writeModel3ds(model.model));
        const std::string info = writeShadowInfo(model.shadows);
        writeBytes(folder / shadowInfoPath(path), std::vector<uint8_t>(info.begin(), info.end()));
        lists.models.push_back(path);
    }
    for (const CameraPathFile& camera : cameras) {
        const std::string path = "models/" + camera.name + ".3ds";
        writeBytes(folder / path, writeCamera3ds(camera.camera));
        lists.cameras.push_back(path);
    }
    for (const LightPathFile& light : lights) {
        const std::string path = "models/" + light.name + ".3ds";
        writeBytes(folder / path, writeLight3ds(light.light));
        lists.lights.push_back(path);
    }
    lists.write(folder);
}

void writeBannerSource(const std::filesystem::path& file) {
    const Raster picture = banner();
    const std::vector<uint8_t> rows = picture.quantise(true);
    std::string text = "// Made by the content tool: the setup dialog's banner, " +
                       std::to_string(picture.width()) + " x " + std::to_string(picture.height()) +
                       " RGB, rows top first.\n"
                       "#include <cstdint>\n\nnamespace halcyra {\n\n"
                       "extern const int generatedBannerWidth = " +
                       std::to_string(picture.width()) +
                       ";\n"
                       "extern const int generatedBannerHeight = " +
                       std::to_string(picture.height()) +
                       ";\n"
                       "extern const uint8_t generatedBannerRgb[] = {\n";
    for (size_t i = 0; i < rows.size(); ++i) {
        text += std::to_string(rows[i]);
        text += (i + 1) % 32 == 0 ? ",\n" : ",";
    }
    text += "};\n\n} // namespace halcyra\n";
    writeBytes(file, std::vector<uint8_t>(text.begin(), text.end()));
}

void writeIcon(const std::filesystem::path& file) {
    const Raster icon = appIcon();
    writeBytes(file, encodePng(makePng(icon.width(), icon.height(), icon.channels(), icon.quantise())));
}

void writeContactSheet(const std::filesystem::path& file) {
    constexpr int cell = 256;
    constexpr int label = 22;
    constexpr int columns = 6;
    std::vector<std::pair<std::string, Raster>> pictures;
    for (const PictureFile& picture : pictureFiles())
        pictures.emplace_back(picture.path.substr(picture.path.find('/') + 1), picture.make());
    pictures.emplace_back("banner", banner());
    const int rows = static_cast<int>((pictures.size() + columns - 1) / columns);
    Raster sheet(columns * cell, rows * (cell + label), 3);
    fill(sheet, Colour{0.16f, 0.16f, 0.17f});
    const Typeface face("DejaVu Sans", "Book");
    TextStyle style;
    style.size = 13.0;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const Raster& picture = pictures[i].second;
        const double scale = std::min(static_cast<double>(cell - 8) / picture.width(),
                                      static_cast<double>(cell - 8) / picture.height());
        const int w = std::max(1, static_cast<int>(picture.width() * scale));
        const int h = std::max(1, static_cast<int>(picture.height() * scale));
        const Raster thumb = shrink(picture, w, h);
        const int ox = static_cast<int>(i % columns) * cell + (cell - w) / 2;
        const int oy = static_cast<int>(i / columns) * (cell + label) + (cell - h) / 2;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (int c = 0; c < 3; ++c)
                    sheet.at(ox + x, oy + y, c) = thumb.at(x, y, c);
        Raster text(sheet.width(), sheet.height(), 1);
        face.drawCentred(text, pictures[i].first, style, (i % columns) * cell + cell * 0.5,
                         (i / columns) * (cell + label) + cell + 14.0);
        composite(sheet, text, Colour{0.85f, 0.87f, 0.9f});
    }
    writeBytes(file, encodePng(makePng(sheet.width(), sheet.height(), 3, sheet.quantise())));
}

} // namespace halcyra::tools
