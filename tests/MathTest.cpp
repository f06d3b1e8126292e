#include "platform/D3DXMath.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectMatrixNear(const D3DXMATRIX& actual, const D3DXMATRIX& expected) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], 1e-5f) << "row " << r << " col " << c;
        }
    }
}

D3DXVECTOR3 Transform(const D3DXVECTOR3& p, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &p, &m);
    return out;
}

TEST(D3DXMath, ScaleThenTranslateMovesTheScaledOrigin) {
    D3DXMATRIX s;
    D3DXMATRIX t;
    D3DXMATRIX world;
    D3DXMatrixScaling(&s, 2, 2, 2);
    D3DXMatrixTranslation(&t, 5, 0, 0);
    D3DXMatrixMultiply(&world, &s, &t);
    EXPECT_EQ(Transform({0, 0, 0}, world), D3DXVECTOR3(5, 0, 0));
    EXPECT_EQ(Transform({1, 1, 1}, world), D3DXVECTOR3(7, 2, 2));
    D3DXMatrixMultiply(&world, &t, &s); // the other order scales the position too
    EXPECT_EQ(Transform({0, 0, 0}, world), D3DXVECTOR3(10, 0, 0));
}

TEST(D3DXMath, LookAtPutsTheTargetOnThePositiveZAxis) {
    const D3DXVECTOR3 eye{5, 20, -2};
    const D3DXVECTOR3 at{5, 0, 10};
    const D3DXVECTOR3 up{0, 1, 0};
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    const D3DXVECTOR3 target = Transform(at, view);
    EXPECT_NEAR(target.x, 0, 1e-5f);
    EXPECT_NEAR(target.y, 0, 1e-5f);
    EXPECT_NEAR(target.z, std::sqrt(400.0f + 144.0f), 1e-4f);
    const D3DXVECTOR3 origin = Transform(eye, view);
    EXPECT_NEAR(D3DXVec3Length(&origin), 0, 1e-5f);
    // x grows to the right of the view, y up.
    EXPECT_GT(Transform({6, 0, 10}, view).x, 0);
    EXPECT_GT(Transform({5, 1, 10}, view).y, 0);
}

TEST(D3DXMath, PerspectiveMapsNearAndFarToZeroAndOne) {
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 3.1415927f / 4, 4.0f / 3.0f, 1, 500);
    EXPECT_NEAR(projection.m[1][1], 1.0f / std::tan(3.1415927f / 8), 1e-5f);
    EXPECT_NEAR(projection.m[0][0], projection.m[1][1] * 0.75f, 1e-5f);
    EXPECT_NEAR(Transform({0, 0, 1}, projection).z, 0.0f, 1e-6f);
    EXPECT_NEAR(Transform({0, 0, 500}, projection).z, 1.0f, 1e-5f);
    EXPECT_EQ(projection.m[2][3], 1.0f);
    EXPECT_EQ(projection.m[3][3], 0.0f);
}

TEST(D3DXMath, ReflectionAboutTheFloorNegatesY) {
    const D3DXVECTOR3 a{0, 0, 1};
    const D3DXVECTOR3 b{1, 0, 1};
    const D3DXVECTOR3 c{1, 0, 0};
    D3DXPLANE plane;
    D3DXPlaneFromPoints(&plane, &a, &b, &c);
    EXPECT_NEAR(plane.a, 0, 1e-6f);
    EXPECT_NEAR(plane.b, 1, 1e-6f);
    EXPECT_NEAR(plane.c, 0, 1e-6f);
    EXPECT_NEAR(plane.d, 0, 1e-6f);
    D3DXMATRIX reflect;
    D3DXMatrixReflect(&reflect, &plane);
    D3DXMATRIX expected;
    D3DXMatrixScaling(&expected, 1, -1, 1);
    ExpectMatrixNear(reflect, expected);

    const D3DXPLANE raised{0, 2, 0, -4}; // y = 2, not normalised
    D3DXMatrixReflect(&reflect, &raised);
    EXPECT_EQ(Transform({3, 5, 1}, reflect), D3DXVECTOR3(3, -1, 1));
}

TEST(D3DXMath, InverseUndoesAndSingularGivesIdentity) {
    D3DXMATRIX s;
    D3DXMATRIX t;
    D3DXMATRIX m;
    D3DXMatrixScaling(&s, 2, 3, 4);
    D3DXMatrixTranslation(&t, 1, 2, 3);
    D3DXMatrixMultiply(&m, &s, &t);
    D3DXMATRIX inverse;
    float determinant = 0;
    D3DXMatrixInverse(&inverse, &determinant, &m);
    EXPECT_NEAR(determinant, 24, 1e-4f);
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &m, &inverse);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    ExpectMatrixNear(product, identity);

    D3DXMatrixScaling(&s, 1, 0, 1);
    D3DXMatrixInverse(&inverse, &determinant, &s);
    EXPECT_EQ(determinant, 0.0f);
    ExpectMatrixNear(inverse, identity);
}

TEST(D3DXMath, NormaliseDividesByLengthAndKeepsZero) {
    D3DXVECTOR3 v{3, 0, 4};
    D3DXVec3Normalize(&v, &v);
    EXPECT_EQ(v, D3DXVECTOR3(0.6f, 0, 0.8f));
    D3DXVECTOR3 zero;
    D3DXVec3Normalize(&zero, &zero);
    EXPECT_EQ(zero, D3DXVECTOR3(0, 0, 0));
}

TEST(D3DXMath, RotationYTurnsZTowardsX) {
    D3DXMATRIX r;
    D3DXMatrixRotationY(&r, 3.1415927f / 2);
    const D3DXVECTOR3 p = Transform({0, 0, 1}, r);
    EXPECT_NEAR(p.x, 1, 1e-6f);
    EXPECT_NEAR(p.z, 0, 1e-6f);
}

} // namespace
