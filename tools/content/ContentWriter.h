// The content generator's catalogue and writer: every picture file of the production with its place
// (beside the program or in the data packet), its format and whether it tiles; the models, camera paths and
// light file; the asset lists the loading sequence reads; the banner as C++ source for the program to
// compile in. One entry point writes everything, and every list line goes through AssetLists. Failures
// throw std::runtime_error with a message that names the file or font at fault.
#pragma once

#include "Raster.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace halcyra::tools {

enum class ImageFormat { Png, Jpeg };
// Both: every edge meets its opposite. AcrossU: the left and right edges meet (a picture wrapped once
// around a model), the top and bottom need not.
enum class Tiling { None, Both, AcrossU };

// Listed: beside the program and named in textures/tex. Beside: beside the program, loaded by name (the
// loading-screen logo). Packet: packed into data.qz, where it registers under its name without extension.
enum class Destination { Listed, Beside, Packet };

struct PictureFile {
    // Listed and Beside: relative to the data folder, as the program opens it ("textures/c_noise.jpg").
    // Packet: the file name qzpack takes ("steel.png").
    std::string path;
    ImageFormat format = ImageFormat::Png;
    Tiling tiling = Tiling::None;
    Destination destination = Destination::Listed;
    bool dither = false; // for slow dark gradients shown without the film grain over them
    std::function<Raster()> make;
};

// Every picture file, in the order textures/tex lists them; the packet's pictures in the order qzpack
// should take them.
const std::vector<PictureFile>& pictureFiles();

// The file's bytes: PNG (RGB, 8 bits) or JPEG (RGB, quality 95).
std::vector<uint8_t> encodePicture(const PictureFile& file, const Raster& picture);

// The four plain-text lists: a count, then one path per line. With 8 models, 5 camera files and 1 light
// file the lists hold 53 lines, so that loading takes 61 steps (the packet, 53 lines, 7 scenes).
struct AssetLists {
    static constexpr int lineBudget = 53;

    std::vector<std::string> textures;
    std::vector<std::string> models;
    std::vector<std::string> cameras;
    std::vector<std::string> lights;

    int lineCount() const;
    // Writes textures/tex, models/models, models/cameras and models/lights; a list with no lines is not
    // written at all. More lines than the budget is an error.
    void write(const std::filesystem::path& folder) const;
};

// Writes every picture file, model, camera and light file, the shadow-info files and the four lists into
// `folder`, and the packet's pictures into `packetFolder` (both made if needed). The pictures are painted
// on several threads; the bytes do not depend on how many.
void writeContent(const std::filesystem::path& folder, const std::filesystem::path& packetFolder);

// Writes a C++ source that defines the banner's pixels for the setup dialog.
void writeBannerSource(const std::filesystem::path& file);

// Writes the desktop icon as a PNG with alpha.
void writeIcon(const std::filesystem::path& file);

// Writes one PNG with a labelled thumbnail of every picture, to look them over together.
void writeContactSheet(const std::filesystem::path& file);

} // namespace halcyra::tools
