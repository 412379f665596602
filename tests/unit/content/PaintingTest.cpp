#include "Noise.h"
#include "Paint.h"
#include "Raster.h"
#include "Typeface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace halcyra {
namespace {

using tools::Raster;

// Ink extent of a coverage raster: centroid x and the first and last rows holding ink.
struct Ink {
    double centroidX = 0.0;
    int top = -1;
    int bottom = -1;
};

Ink inkOf(const Raster& coverage) {
    Ink ink;
    double mass = 0.0;
    for (int y = 0; y < coverage.height(); ++y) {
        for (int x = 0; x < coverage.width(); ++x) {
            const float a = coverage.at(x, y);
            mass += a;
            ink.centroidX += a * (x + 0.5);
            if (a > 0.02f) {
                ink.top = ink.top < 0 ? y : ink.top;
                ink.bottom = y;
            }
        }
    }
    ink.centroidX /= mass;
    return ink;
}

TEST(Typeface, MissingFamilyIsNamedInTheError) {
    try {
        tools::Typeface face("Liberation Nonesuch", "Regular");
        FAIL() << "a missing family must not open";
    } catch (const std::runtime_error& failure) {
        EXPECT_NE(std::string(failure.what()).find("Liberation Nonesuch"), std::string::npos)
            << failure.what();
    }
}

TEST(Typeface, LettersSitOnTheBaselineAndMoveByFractionsOfAPixel) {
    const tools::Typeface face("DejaVu Sans", "Book");
    tools::TextStyle style;
    style.size = 40.0;
    // "x" has no descender: its ink ends in the row just above the baseline, whole or fractional.
    for (const double baseline : {30.0, 30.5}) {
        Raster coverage(64, 48, 1);
        face.drawCentred(coverage, "x", style, 32.0, baseline);
        EXPECT_EQ(inkOf(coverage).bottom, static_cast<int>(std::ceil(baseline)) - 1) << baseline;
    }
    // Centred at x, then a quarter pixel further right: the ink follows by that quarter.
    Raster at(64, 48, 1);
    Raster shifted(64, 48, 1);
    face.drawCentred(at, "o", style, 32.0, 30.0);
    face.drawCentred(shifted, "o", style, 32.25, 30.0);
    EXPECT_NEAR(inkOf(at).centroidX, 32.0, 0.6);
    EXPECT_NEAR(inkOf(shifted).centroidX - inkOf(at).centroidX, 0.25, 0.05);
}

TEST(Typeface, TrackingAndSqueezeChangeTheWidthButNotTheHeight) {
    const tools::Typeface face("Liberation Sans", "Regular");
    tools::TextStyle plain;
    plain.size = 50.0;
    tools::TextStyle tracked = plain;
    tracked.tracking = 0.2;
    tools::TextStyle squeezed = plain;
    squeezed.squeeze = 0.5;
    const tools::TextLine a = face.layout("halcyra", plain);
    const tools::TextLine b = face.layout("halcyra", tracked);
    const tools::TextLine c = face.layout("halcyra", squeezed);
    // Six gaps between seven letters, none after the last.
    EXPECT_NEAR(b.advance - a.advance, 6 * 0.2 * 50.0, 1e-6);
    EXPECT_NEAR(c.advance, a.advance * 0.5, 0.5);
    EXPECT_NEAR(c.inkTop, a.inkTop, 1.0);
    EXPECT_NEAR(c.inkBottom, a.inkBottom, 1.0);
}

TEST(Raster, WrappedBlurCarriesAcrossEdgesAndKeepsTheTotal) {
    for (const double sigma : {1.0, 6.0}) { // exact kernel and box passes
        Raster picture(64, 32, 1);
        picture.at(0, 0) = 1.0f;
        picture.blur(sigma, sigma, tools::Edge::Wrap);
        double total = 0.0;
        for (const float v : picture.values())
            total += v;
        EXPECT_NEAR(total, 1.0, 1e-4) << sigma;
        EXPECT_NEAR(picture.at(63, 0), picture.at(1, 0), 1e-6) << sigma;
        EXPECT_NEAR(picture.at(0, 31), picture.at(0, 1), 1e-6) << sigma;
    }
}

TEST(Raster, QuantiseKeepsBlackAndWhiteExactAndDithersWithoutBias) {
    for (const bool dither : {false, true}) {
        Raster picture(64, 64, 3, 1.0f);
        for (int x = 0; x < 64; ++x)
            picture.at(x, 0, 1) = 0.0f;
        for (int y = 1; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                picture.at(x, y, 2) = 0.3f;
        const std::vector<uint8_t> bytes = picture.quantise(dither);
        double sum = 0.0;
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                EXPECT_EQ(bytes[(y * 64 + x) * 3], 255);
                if (y == 0)
                    EXPECT_EQ(bytes[x * 3 + 1], 0);
                else
                    sum += bytes[(y * 64 + x) * 3 + 2];
            }
        }
        EXPECT_NEAR(sum / (63 * 64), 0.3 * 255.0, dither ? 0.1 : 0.5);
    }
}

TEST(GradientNoise, RepeatsOverItsPeriodAndVaries) {
    const tools::GradientNoise noise(5, 3, 42);
    double spread = 0.0;
    for (double u = 0.1; u < 5.0; u += 0.37) {
        for (double v = 0.2; v < 3.0; v += 0.41) {
            EXPECT_NEAR(noise.at(u, v), noise.at(u + 5.0, v - 3.0), 1e-12);
            spread += std::abs(noise.at(u, v));
        }
    }
    EXPECT_GT(spread, 1.0);
}

TEST(Paint, RectanglesCoverPartialPixelsInProportion) {
    Raster coverage(4, 2, 1);
    tools::fillRectangle(coverage, 0.5, 0.0, 2.25, 1.0);
    EXPECT_FLOAT_EQ(coverage.at(0, 0), 0.5f);
    EXPECT_FLOAT_EQ(coverage.at(1, 0), 1.0f);
    EXPECT_FLOAT_EQ(coverage.at(2, 0), 0.25f);
    EXPECT_FLOAT_EQ(coverage.at(3, 0), 0.0f);
    EXPECT_FLOAT_EQ(coverage.at(1, 1), 0.0f);
}

} // namespace
} // namespace halcyra
