// Matrix inversion: results, the singularity threshold, float rounding, the raised error.
#include "vireo/geom/Matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "tests/support/RecordingErrorManager.h"

namespace vireo {
namespace geom {
namespace {

using testing::RaisedError;
using testing::RecordingErrorManager;
using testing::ScopedErrorManager;
using testing::ThrowingErrorManager;

constexpr char kKey[] = "$$$/wren/geom/matrix/UI=Matrix cannot be inverted.";

template <typename T>
MatrixT<T> Affine(T a, T b, T c, T d, T tx, T ty) {
  MatrixT<T> m(true);
  m[0][0] = a;
  m[0][1] = b;
  m[1][0] = c;
  m[1][1] = d;
  m[2][0] = tx;
  m[2][1] = ty;
  return m;
}

template <typename T>
void ExpectAllZero(MatrixT<T> const& m) {
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column) EXPECT_EQ(T(0), m[row][column]) << row << column;
}

TEST(Matrix, ConstructionAndSetters) {
  MatrixT<double> m(true);
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      EXPECT_EQ(row == column ? 1.0 : 0.0, m[row][column]);
  m[1][2] = 7;
  MatrixT<double> copy(m);
  EXPECT_EQ(7.0, copy[1][2]);
  copy.SetZero();
  ExpectAllZero(copy);
  EXPECT_EQ(7.0, m[1][2]) << "a copy shares nothing";
  // Rows are contiguous: the element after a row's last is the next row's first.
  EXPECT_EQ(&m[1][0], m[0] + 3);
}

TEST(Matrix, IdentityInvertsToIdentity) {
  MatrixT<float> m(true);
  EXPECT_TRUE(m.Invert(false));
  for (int row = 0; row < 3; ++row)
    for (int column = 0; column < 3; ++column)
      EXPECT_EQ(row == column ? 1.0f : 0.0f, m[row][column]);
}

TEST(Matrix, ScaleAndTranslationInverts) {
  MatrixT<double> m = Affine(2.0, 0.0, 0.0, 4.0, 10.0, 20.0);
  ASSERT_TRUE(m.Invert(false));
  EXPECT_EQ(0.5, m[0][0]);
  EXPECT_EQ(0.0, m[0][1]);
  EXPECT_EQ(0.0, m[1][0]);
  EXPECT_EQ(0.25, m[1][1]);
  EXPECT_EQ(-5.0, m[2][0]);
  EXPECT_EQ(-5.0, m[2][1]);
}

TEST(Matrix, InverseUndoesAGeneralTransform) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-10, 10);
  for (int i = 0; i < 200; ++i) {
    MatrixT<double> m =
        Affine(value(random), value(random), value(random), value(random), value(random),
               value(random));
    double const det = m[0][0] * m[1][1] - m[0][1] * m[1][0];
    if (std::fabs(det) < 0.1) continue;  // keep the check's tolerance meaningful
    MatrixT<double> inverse(m);
    ASSERT_TRUE(inverse.Invert(false));
    double const x = value(random), y = value(random);
    double const u = x * m[0][0] + y * m[1][0] + m[2][0];
    double const v = x * m[0][1] + y * m[1][1] + m[2][1];
    EXPECT_NEAR(x, u * inverse[0][0] + v * inverse[1][0] + inverse[2][0], 1e-9);
    EXPECT_NEAR(y, u * inverse[0][1] + v * inverse[1][1] + inverse[2][1], 1e-9);
  }
}

TEST(Matrix, ColumnTwoIsLeftAsItWas) {
  MatrixT<double> m = Affine(2.0, 1.0, 1.0, 3.0, 4.0, 5.0);
  m[0][2] = 11;
  m[1][2] = 12;
  m[2][2] = 13;
  ASSERT_TRUE(m.Invert(false));
  EXPECT_EQ(11.0, m[0][2]);
  EXPECT_EQ(12.0, m[1][2]);
  EXPECT_EQ(13.0, m[2][2]);
}

TEST(Matrix, ThresholdIsAbsoluteAndInclusive) {
  MatrixT<double> atThreshold = Affine(1e-9, 0.0, 0.0, 1.0, 3.0, 4.0);
  EXPECT_FALSE(atThreshold.Invert(false));
  ExpectAllZero(atThreshold);

  MatrixT<double> above = Affine(2e-9, 0.0, 0.0, 1.0, 0.0, 0.0);
  ASSERT_TRUE(above.Invert(false));
  EXPECT_DOUBLE_EQ(5e8, above[0][0]);

  // A tiny but perfectly conditioned matrix is refused: the threshold is not scaled.
  MatrixT<double> tinyScale = Affine(1e-5, 0.0, 0.0, 1e-5, 0.0, 0.0);
  EXPECT_FALSE(tinyScale.Invert(false));
  // The same threshold applies to float.
  MatrixT<float> floatAtThreshold = Affine(1e-9f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f);
  EXPECT_FALSE(floatAtThreshold.Invert(false));
  MatrixT<float> floatAbove = Affine(4e-9f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f);
  EXPECT_TRUE(floatAbove.Invert(false));
}

TEST(Matrix, NotANumberCountsAsSingular) {
  MatrixT<double> m = Affine(std::numeric_limits<double>::quiet_NaN(), 0.0, 0.0, 1.0, 0.0, 0.0);
  EXPECT_FALSE(m.Invert(false));
  ExpectAllZero(m);
}

// a = d = 1 + 2^-12, b = 1 + 2^-11, c = 1: exactly, c*b - d*a = -2^-24, far above the
// threshold; but d*a = 1 + 2^-11 + 2^-24 rounds to 1 + 2^-11 in float, so the float
// determinant is 0.
TEST(Matrix, FloatRoundsIntermediatesToFloat) {
  float const a = 1.0f + std::ldexp(1.0f, -12);
  float const b = 1.0f + std::ldexp(1.0f, -11);
  MatrixT<float> single = Affine(a, b, 1.0f, a, 0.0f, 0.0f);
  EXPECT_FALSE(single.Invert(false)) << "a float matrix computed in double precision";
  MatrixT<double> twice = Affine<double>(a, b, 1.0, a, 0.0, 0.0);
  EXPECT_TRUE(twice.Invert(false));

  // Results follow float arithmetic step by step.
  float const p = 3.1f, q = 0.7f, s = 1.3f, t = 2.9f, tx = 17.3f, ty = -5.1f;
  MatrixT<float> m = Affine(p, q, s, t, tx, ty);
  ASSERT_TRUE(m.Invert(false));
  float const sq = s * q;
  float const tp = t * p;
  float const e = sq - tp;
  float const r = 1.0f / e;
  float const m00 = -t * r, m01 = q * r, m10 = s * r, m11 = -p * r;
  float const x0 = m00 * tx, x1 = m10 * ty, y0 = m01 * tx, y1 = m11 * ty;
  EXPECT_EQ(m00, m[0][0]);
  EXPECT_EQ(m01, m[0][1]);
  EXPECT_EQ(m10, m[1][0]);
  EXPECT_EQ(m11, m[1][1]);
  EXPECT_EQ(-(x0 + x1), m[2][0]);
  EXPECT_EQ(-(y0 + y1), m[2][1]);
}

TEST(MatrixError, ZeroMatrixWithoutThrowReturnsFalseAndRaisesNothing) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  MatrixT<double> m(true);
  m.SetZero();
  EXPECT_FALSE(m.Invert(false));
  ExpectAllZero(m);
  EXPECT_TRUE(manager.errors.empty());
}

TEST(MatrixError, InvertWithThrowRaisesTheError) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  MatrixT<float> m = Affine(1.0f, 2.0f, 2.0f, 4.0f, 5.0f, 6.0f);  // rank one
  EXPECT_FALSE(m.Invert(true)) << "returns false when the manager returns";
  ExpectAllZero(m);
  ASSERT_EQ(1u, manager.errors.size());
  testing::RecordedError const& e = manager.errors[0];
  EXPECT_EQ(config::kErrorLevelNonFatal, e.level);
  EXPECT_EQ(kKey, e.key);
  EXPECT_EQ(107u, e.component);
  EXPECT_EQ(0, e.code);
  EXPECT_TRUE(e.deferrable);
  for (auto const& value : e.values) EXPECT_EQ(config::kNone, value.kind);
}

TEST(MatrixError, MatrixIsZeroedBeforeTheErrorPropagates) {
  ThrowingErrorManager manager;
  ScopedErrorManager scope(&manager);
  MatrixT<double> m = Affine(0.0, 0.0, 0.0, 0.0, 8.0, 9.0);
  m[2][2] = 3;
  try {
    m.Invert(true);
    FAIL() << "the throwing manager's exception did not arrive";
  } catch (RaisedError const& error) {
    EXPECT_STREQ(kKey, error.what());
    EXPECT_EQ(107u, error.component);
  }
  ExpectAllZero(m);
}

}  // namespace
}  // namespace geom
}  // namespace vireo
