// Time-domain windows chosen by type code: the coefficient and property
// tables, the parameter mapping, the scaled and symmetric entry points and
// the window properties.
#include <cmath>
#include <cstdint>
#include <limits>

#include "frame/workspace.h"
#include "signal/windows.h"

namespace qm::signal {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct CosineSumEntry {
  std::int32_t code;
  std::int32_t count;
  double a[7];
  double coherent_gain;  // as reported by the scaled form
  double enbw;
};

// Cosine-sum coefficients a0, a1, ... of w[i] = sum_k (-1)^k a_k cos(2 pi k i/n)
// with the coherent gain and equivalent noise bandwidth reported for them.
constexpr CosineSumEntry kCosineSums[] = {
    {kWindowRectangle, 1, {1.0}, 1.0, 1.0},
    {kWindowHanning, 2, {0.5, 0.5}, 0.5, 1.5},
    {kWindowHamming, 2, {0.54, 0.46}, 0.54, 1.362826},
    {kWindowBlackmanHarris3, 3, {0.42323, 0.49755, 0.07922}, 0.42323, 1.708538},
    {kWindowExactBlackman,
     3,
     {0.42659071367153911, 0.49656061908856410, 0.07684866723989682},
     0.42659071367,
     1.693699},
    {kWindowBlackman, 3, {0.42, 0.5, 0.08}, 0.42, 1.726757},
    {kWindowFlatTop,
     5,
     {0.215578948, 0.41663158, 0.277263158, 0.083578947, 0.006947368},
     0.215578948,
     3.770246506303},
    {kWindowBlackmanHarris4, 4, {0.35875, 0.48829, 0.14128, 0.01168}, 0.35875, 2.004353},
    {kWindowBlackmanHarris7,
     7,
     {0.27105140069342, 0.43329793923449, 0.21812299954311, 0.06592544638803, 0.01081174209837,
      0.00077658482523, 0.00001388721735},
     0.27105140069342,
     2.631905},
    {kWindowLowSidelobe,
     5,
     {0.323215218, 0.471492057, 0.17553428, 0.028497078, 0.001261367},
     0.323215218,
     2.215350782519},
    {kWindowBlackmanNuttall, 4, {0.3635819, 0.4891775, 0.1365995, 0.0106411}, 0.3635819, 1.9761117},
};

// Tabulated properties of the polynomial windows (the limits for long
// windows).
struct PropertyEntry {
  std::int32_t code;
  double coherent_gain;
  double enbw;
};
constexpr PropertyEntry kPolynomialProperties[] = {
    {kWindowBartlettHann, 0.5, 1.45584787},
    {kWindowBohman, 0.40528473457, 1.78574087544},
    {kWindowParzen, 0.375, 1.91746031746},
    {kWindowWelch, 0.66666667, 1.2},
};

const CosineSumEntry* FindCosineSum(std::int32_t code) {
  for (const CosineSumEntry& e : kCosineSums)
    if (e.code == code) return &e;
  return nullptr;
}

bool IsComputedCode(std::int32_t code) {
  return (code >= kWindowTriangle && code <= kWindowWelch) ||
         (code >= kWindowKaiser && code <= kWindowGaussian);
}

// The periodic window `code` applied to x, unscaled, parameter as it stands.
Status ApplyPeriodic(double* x, std::int32_t n, std::int32_t code, double parameter) {
  if (IsCosineSumCode(code)) return CosineSumWindowByCode(x, n, code, false);
  switch (code) {
    case kWindowTriangle:
      return TriangleWindow(x, n);
    case kWindowBartlettHann:
      return BartlettHannWindow(x, n);
    case kWindowBohman:
      return BohmanWindow(x, n);
    case kWindowParzen:
      return ParzenWindow(x, n);
    case kWindowWelch:
      return WelchWindow(x, n);
    case kWindowKaiser:
      return KaiserWindow(x, n, parameter);
    case kWindowChebyshev:
      return DolphChebyshevWindow(x, n, parameter, WindowForm::kPeriodic);
    case kWindowGaussian:
      return GaussianWindow(x, n, parameter, WindowForm::kPeriodic);
    default:
      return kBadSelection;
  }
}

// Weights of the symmetric window of n >= 2 points in w (n entries).
Status SymmetricWeights(double* w, std::int32_t n, std::int32_t code, double parameter) {
  for (std::int32_t i = 0; i < n; ++i) w[i] = 1.0;
  switch (code) {
    case kWindowRectangle:
      return kSuccess;
    case kWindowChebyshev:
      return DolphChebyshevWindow(w, n, parameter, WindowForm::kSymmetric);
    case kWindowGaussian:
      return GaussianWindow(w, n, parameter, WindowForm::kSymmetric);
    default:
      break;
  }
  // The periodic window of n-1 points, closed with a copy of its first point.
  if (Status s = ApplyPeriodic(w, n - 1, code, parameter)) return s;
  w[n - 1] = w[0];
  return kSuccess;
}

// The scaled periodic window with the parameter already mapped.
Status ScaledWindowCore(double* x, std::int32_t n, std::int32_t code, double parameter,
                        WindowPropertiesRecord* properties) {
  if (!IsWindowCode(code)) return kBadSelection;
  if (const CosineSumEntry* e = FindCosineSum(code)) {
    *properties = {e->enbw, e->coherent_gain};
    if (n == 0 || code == kWindowRectangle) return kSuccess;
    return CosineSumWindow(x, n, e->a, e->count, true);
  }
  // Codes 30-34 and 60-62: the properties of the generated window. An empty
  // window has none.
  if (n == 0) return kCountNotPositive;
  Scratch<double> w;
  if (Status s = w.Allocate(static_cast<std::size_t>(n))) return s;
  for (std::int32_t i = 0; i < n; ++i) w[i] = 1.0;
  if (Status s = ApplyPeriodic(w.data(), n, code, parameter)) return s;
  WindowPropertiesRecord p;
  if (Status s = ComputeWindowProperties(w.data(), n, &p)) return s;
  // A window of zero sum (the one-point triangle) cannot be scaled to unit
  // gain.
  if (p.coherent_gain == 0.0) return kDivideByZero;
  for (std::int32_t i = 0; i < n; ++i) x[i] = x[i] * w[i] / p.coherent_gain;
  *properties = p;
  return kSuccess;
}

Status ScaledWindowReport(double* x, std::int32_t n, std::int32_t code, double parameter,
                          WindowPropertiesRecord* properties) {
  if (n < 0) return kCountNegative;
  WindowPropertiesRecord p = {kNaN, kNaN};
  const Status s = ScaledWindowCore(x, n, code, parameter, &p);
  if (s < 0) p = {kNaN, kNaN};
  if (properties) *properties = p;
  return s;
}

}  // namespace

bool IsCosineSumCode(std::int32_t code) { return FindCosineSum(code) != nullptr; }

bool IsWindowCode(std::int32_t code) { return IsCosineSumCode(code) || IsComputedCode(code); }

bool CosineSumCoefficients(std::int32_t code, const double** coefficients, std::int32_t* count) {
  const CosineSumEntry* e = FindCosineSum(code);
  if (!e) return false;
  *coefficients = e->a;
  *count = e->count;
  return true;
}

double MapWindowParameter(std::int32_t code, double parameter) {
  if (code == kWindowChebyshev) return parameter < 0.0 ? 1000.0 : std::pow(10.0, parameter / 20.0);
  if (code == kWindowGaussian && parameter < 0.0) return 0.2;
  return parameter;
}

Status ApplyWindowByCode(double* x, std::int32_t n, std::int32_t code, double parameter,
                         WindowForm form) {
  if (n < 1) return kCountNotPositive;
  if (!IsWindowCode(code)) return kBadSelection;
  if (form == WindowForm::kPeriodic) return ApplyPeriodic(x, n, code, parameter);
  if (n == 1) return kSuccess;
  Scratch<double> w;
  if (Status s = w.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = SymmetricWeights(w.data(), n, code, parameter)) return s;
  for (std::int32_t i = 0; i < n; ++i) x[i] *= w[i];
  return kSuccess;
}

Status ComputeWindowProperties(const double* w, std::int32_t n,
                               WindowPropertiesRecord* properties) {
  if (n < 1) return kCountNotPositive;
  double sum = 0.0, sum_squares = 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    sum += w[i];
    sum_squares += w[i] * w[i];
  }
  properties->coherent_gain = sum / n;
  properties->enbw = n * sum_squares / (sum * sum);
  return kSuccess;
}

Status WindowPropertiesByType(std::int32_t code, WindowPropertiesRecord* properties) {
  if (const CosineSumEntry* e = FindCosineSum(code)) {
    *properties = {e->enbw, e->coherent_gain};
    return kSuccess;
  }
  for (const PropertyEntry& e : kPolynomialProperties) {
    if (e.code == code) {
      *properties = {e.enbw, e.coherent_gain};
      return kSuccess;
    }
  }
  return kBadSelection;
}

Status ScaledWindowWithParameter(double* x, std::int32_t n, std::int32_t code, double parameter,
                                 WindowPropertiesRecord* properties) {
  return ScaledWindowReport(x, n, code, MapWindowParameter(code, parameter), properties);
}

Status ScaledWindow(double* x, std::int32_t n, std::int32_t code,
                    WindowPropertiesRecord* properties) {
  return ScaledWindowReport(x, n, code, 0.0, properties);
}

Status PeriodicGaussianWindow(double* x, std::int32_t n, double sigma) {
  return GaussianWindow(x, n, sigma, WindowForm::kPeriodic);
}

Status SymmetricWindow(double* x, std::int32_t n, std::int32_t code, double parameter) {
  if (n < 1) return kCountNotPositive;
  if (!IsWindowCode(code)) return kBadSelection;
  if (n == 1) return kSuccess;
  return ApplyWindowByCode(x, n, code, MapWindowParameter(code, parameter), WindowForm::kSymmetric);
}

}  // namespace qm::signal
