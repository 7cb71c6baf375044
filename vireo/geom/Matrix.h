// A 3 x 3 matrix holding a two-dimensional affine transform of row vectors.
#ifndef VIREO_GEOM_MATRIX_H
#define VIREO_GEOM_MATRIX_H

#include "vireo/Export.h"

namespace vireo {
namespace geom {

// Elements are stored row-major, m[row][column]. A point (x, y) maps to
//   (x * m[0][0] + y * m[1][0] + m[2][0],  x * m[0][1] + y * m[1][1] + m[2][1]):
// rows 0 and 1 hold the linear part, row 2 the translation. Column 2 is expected to hold
// 0, 0, 1; Invert neither reads nor writes it. Instantiated for float and double.
template <typename T>
class VIREO_API MatrixT {
 public:
  // The identity when inIdentity is true; otherwise the elements are left uninitialised, for
  // callers that fill every element themselves.
  explicit MatrixT(bool inIdentity) {
    if (inIdentity) SetIdentity();
  }
  MatrixT(MatrixT const& inOther) = default;
  MatrixT& operator=(MatrixT const& inOther) = default;

  void SetZero() {
    for (auto& row : m_)
      for (auto& element : row) element = T(0);
  }

  void SetIdentity() {
    for (int row = 0; row < 3; ++row)
      for (int column = 0; column < 3; ++column) m_[row][column] = row == column ? T(1) : T(0);
  }

  // The first of row inRow's three elements; no range check.
  T* operator[](int inRow) { return m_[inRow]; }
  T const* operator[](int inRow) const { return m_[inRow]; }

  // Replaces the matrix by its inverse and returns true. A matrix whose linear part has a
  // determinant of magnitude 1e-9 or less (absolute, for float and double alike, NaN
  // included) cannot be inverted: all nine elements become 0, and then either false is
  // returned or, when inThrow is true, "$$$/wren/geom/matrix/UI=Matrix cannot be inverted."
  // is raised through config::ThrowError (level 1, component 107, code 0, deferrable). A
  // MatrixT<float> rounds every intermediate result to float.
  bool Invert(bool inThrow);

 private:
  T m_[3][3];
};

extern template class MatrixT<float>;
extern template class MatrixT<double>;

}  // namespace geom
}  // namespace vireo

#endif
