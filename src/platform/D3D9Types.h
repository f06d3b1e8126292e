#pragma once

#include <cstdint>

// The vocabulary of the graphics device: the Direct3D 9 names of the states, transforms,
// vertex formats, material and light that the game's drawing sets, and the D3DX vector and
// matrix types with their conventions (row vectors, matrices stored row by row, a point p is
// transformed as p × M).

using D3DCOLOR = std::uint32_t; // ARGB, alpha in the top byte

enum D3DRENDERSTATETYPE : int {
    D3DRS_ZENABLE = 7,
    D3DRS_ZWRITEENABLE = 14,
    D3DRS_SRCBLEND = 19,
    D3DRS_DESTBLEND = 20,
    D3DRS_CULLMODE = 22,
    D3DRS_ALPHABLENDENABLE = 27,
    D3DRS_SPECULARENABLE = 29,
    D3DRS_LIGHTING = 137,
    D3DRS_AMBIENT = 139,
    D3DRS_NORMALIZENORMALS = 143,
    D3DRS_SCISSORTESTENABLE = 174,
    D3DRS_BLENDFACTOR = 193,
};

enum D3DBLEND : std::uint32_t {
    D3DBLEND_ZERO = 1,
    D3DBLEND_ONE = 2,
    D3DBLEND_SRCCOLOR = 3,
    D3DBLEND_INVSRCCOLOR = 4,
    D3DBLEND_SRCALPHA = 5,
    D3DBLEND_INVSRCALPHA = 6,
    D3DBLEND_DESTALPHA = 7,
    D3DBLEND_INVDESTALPHA = 8,
    D3DBLEND_DESTCOLOR = 9,
    D3DBLEND_INVDESTCOLOR = 10,
    D3DBLEND_BLENDFACTOR = 14,
    D3DBLEND_INVBLENDFACTOR = 15,
};

enum D3DCULL : std::uint32_t {
    D3DCULL_NONE = 1,
    D3DCULL_CW = 2,
    D3DCULL_CCW = 3,
};

enum D3DTRANSFORMSTATETYPE : int {
    D3DTS_VIEW = 2,
    D3DTS_PROJECTION = 3,
    D3DTS_WORLD = 256,
};

enum D3DTEXTURESTAGESTATETYPE : int {
    D3DTSS_COLOROP = 1,
};

enum D3DTEXTUREOP : std::uint32_t {
    D3DTOP_DISABLE = 1,
    D3DTOP_SELECTARG1 = 2,
    D3DTOP_MODULATE = 4,
};

enum D3DSAMPLERSTATETYPE : int {
    D3DSAMP_MAGFILTER = 5,
    D3DSAMP_MINFILTER = 6,
    D3DSAMP_MIPFILTER = 7,
};

enum D3DTEXTUREFILTERTYPE : std::uint32_t {
    D3DTEXF_NONE = 0,
    D3DTEXF_POINT = 1,
    D3DTEXF_LINEAR = 2,
    D3DTEXF_ANISOTROPIC = 3,
};

enum D3DPRIMITIVETYPE : int {
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
};

enum D3DLIGHTTYPE : int {
    D3DLIGHT_POINT = 1,
};

// Vertex formats: the layouts the game draws with.
inline constexpr std::uint32_t D3DFVF_XYZ = 0x002;
inline constexpr std::uint32_t D3DFVF_XYZRHW = 0x004;
inline constexpr std::uint32_t D3DFVF_NORMAL = 0x010;
inline constexpr std::uint32_t D3DFVF_DIFFUSE = 0x040;
inline constexpr std::uint32_t D3DFVF_TEX1 = 0x100;

struct D3DCOLORVALUE {
    float r = 0, g = 0, b = 0, a = 0;
    bool operator==(const D3DCOLORVALUE&) const = default;
};

struct D3DXVECTOR2 {
    float x = 0, y = 0;
};

struct D3DXVECTOR3 {
    float x = 0, y = 0, z = 0;

    D3DXVECTOR3() = default;
    constexpr D3DXVECTOR3(float fx, float fy, float fz) : x(fx), y(fy), z(fz) {}

    D3DXVECTOR3 operator+(const D3DXVECTOR3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    D3DXVECTOR3 operator-(const D3DXVECTOR3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    D3DXVECTOR3 operator*(float f) const { return {x * f, y * f, z * f}; }
    D3DXVECTOR3 operator/(float f) const { return {x / f, y / f, z / f}; }
    D3DXVECTOR3& operator+=(const D3DXVECTOR3& o) { return *this = *this + o; }
    D3DXVECTOR3& operator-=(const D3DXVECTOR3& o) { return *this = *this - o; }
    D3DXVECTOR3& operator*=(float f) { return *this = *this * f; }
    bool operator==(const D3DXVECTOR3&) const = default;
};
inline D3DXVECTOR3 operator*(float f, const D3DXVECTOR3& v) {
    return v * f;
}

struct D3DXPLANE {
    float a = 0, b = 0, c = 0, d = 0;
};

// A 4 × 4 matrix, m[row][column]; _11 … _44 name the same elements.
struct D3DXMATRIX {
    float m[4][4] = {};

    float& operator()(int row, int column) { return m[row][column]; }
    float operator()(int row, int column) const { return m[row][column]; }
    bool operator==(const D3DXMATRIX&) const = default;
};

struct D3DMATERIAL9 {
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Ambient;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Emissive;
    float Power = 0;
    bool operator==(const D3DMATERIAL9&) const = default;
};

struct D3DLIGHT9 {
    D3DLIGHTTYPE Type = D3DLIGHT_POINT;
    D3DCOLORVALUE Diffuse;
    D3DCOLORVALUE Specular;
    D3DCOLORVALUE Ambient;
    D3DXVECTOR3 Position;
    D3DXVECTOR3 Direction;
    float Range = 0;
    float Falloff = 0;
    float Attenuation0 = 0;
    float Attenuation1 = 0;
    float Attenuation2 = 0;
    float Theta = 0;
    float Phi = 0;
    bool operator==(const D3DLIGHT9&) const = default;
};
