#include "vireo/geom/Matrix.h"

#include <cmath>

#include "vireo/config/Errors.h"

namespace vireo {
namespace geom {

namespace {
constexpr unsigned long kGeometryComponent = 107;
constexpr double kSingularThreshold = 1e-9;
}  // namespace

// Every product and sum is a T, so a MatrixT<float> rounds each intermediate to float. This
// file is compiled without floating-point contraction, so no fused multiply-add skips a
// rounding either.
template <typename T>
bool MatrixT<T>::Invert(bool inThrow) {
  T const a = m_[0][0], b = m_[0][1], c = m_[1][0], d = m_[1][1];
  T const tx = m_[2][0], ty = m_[2][1];

  T const cb = c * b;
  T const da = d * a;
  T const e = cb - da;  // the negated determinant of the linear part
  // Written so that a NaN determinant counts as singular.
  if (!(std::fabs(static_cast<double>(e)) > kSingularThreshold)) {
    SetZero();
    if (inThrow) {
      config::ThrowError(config::kErrorLevelNonFatal,
                         "$$$/wren/geom/matrix/UI=Matrix cannot be inverted.", kGeometryComponent,
                         0, true, config::ReplacementValue(), config::ReplacementValue(),
                         config::ReplacementValue(), config::ReplacementValue());
    }
    return false;
  }

  T const r = T(1) / e;
  m_[0][0] = -d * r;
  m_[0][1] = b * r;
  m_[1][0] = c * r;
  m_[1][1] = -a * r;
  T const x0 = m_[0][0] * tx;
  T const x1 = m_[1][0] * ty;
  m_[2][0] = -(x0 + x1);
  T const y0 = m_[0][1] * tx;
  T const y1 = m_[1][1] * ty;
  m_[2][1] = -(y0 + y1);
  return true;
}

template class MatrixT<float>;
template class MatrixT<double>;

}  // namespace geom
}  // namespace vireo
