// The chunks of the 3DS files the show reads and its content tool writes: one list for the reader
// (ObjectLoader) and the writer (tools/model3ds), so that the two cannot drift apart. A chunk is a 16-bit id,
// a 32-bit length that counts its six header bytes, its own data and then its children.
#pragma once

#include <cstdint>

namespace halcyra::chunk3ds {

// The file and its two halves.
constexpr uint16_t main = 0x4D4D;
constexpr uint16_t fileVersion = 0x0002;
constexpr uint16_t editor = 0x3D3D;
constexpr uint16_t meshVersion = 0x3D3E;
constexpr uint16_t masterScale = 0x0100;
constexpr uint16_t keyframer = 0xB000;
constexpr uint16_t keyframerHeader = 0xB00A;

// Objects: meshes, cameras, lights.
constexpr uint16_t namedObject = 0x4000;
constexpr uint16_t triangleMesh = 0x4100;
constexpr uint16_t vertexList = 0x4110;
constexpr uint16_t faceList = 0x4120;
constexpr uint16_t faceMaterial = 0x4130;
constexpr uint16_t textureCoordinates = 0x4140;
constexpr uint16_t smoothingGroups = 0x4150;
constexpr uint16_t localAxes = 0x4160;
constexpr uint16_t light = 0x4600;
constexpr uint16_t camera = 0x4700;

// Materials and their colours and maps.
constexpr uint16_t material = 0xAFFF;
constexpr uint16_t materialName = 0xA000;
constexpr uint16_t ambientColour = 0xA010;
constexpr uint16_t diffuseColour = 0xA020;
constexpr uint16_t specularColour = 0xA030;
constexpr uint16_t textureMap = 0xA200;
constexpr uint16_t bumpMap = 0xA230;
constexpr uint16_t mapFileName = 0xA300;
constexpr uint16_t mapUScale = 0xA354;
constexpr uint16_t mapVScale = 0xA356;
constexpr uint16_t floatColour = 0x0010;
constexpr uint16_t byteColour = 0x0011;
constexpr uint16_t linearFloatColour = 0x0013;
constexpr uint16_t percent = 0x0030;

// Keyframer nodes and their tracks.
constexpr uint16_t objectNode = 0xB002;
constexpr uint16_t cameraNode = 0xB003;
constexpr uint16_t targetNode = 0xB004;
constexpr uint16_t lightNode = 0xB005;
constexpr uint16_t nodeHeader = 0xB010;
constexpr uint16_t pivot = 0xB013;
constexpr uint16_t positionTrack = 0xB020;
constexpr uint16_t rotationTrack = 0xB021;
constexpr uint16_t scaleTrack = 0xB022;
constexpr uint16_t fovTrack = 0xB023;
constexpr uint16_t rollTrack = 0xB024;
constexpr uint16_t nodeId = 0xB030;

} // namespace halcyra::chunk3ds
