// Model fits: straight line, exponential, logarithm, power and Gaussian peak,
// each by least squares (LS), least absolute residual (LAR) or bisquare.
//
// Every model offers a least-squares fit under any weights (closed form for
// the models linear in their coefficients, a starting estimate refined by
// Gauss–Newton for the others); the two robust methods reweight the points
// and call it again from the previous coefficients.
#include <cmath>
#include <cstddef>

#include "fit/fit.h"
#include "frame/workspace.h"
#include "linalg/finite.h"
#include "linalg/real.h"
#include "stats/descriptive.h"

namespace qm::fit {

namespace {

constexpr double kDefaultTolerance = 0.0001;
constexpr double kResidualFloor = 1e-12;
constexpr std::int32_t kLsLimit = 100;
constexpr std::int32_t kGaussianLsLimit = 500;
constexpr std::int32_t kRobustLimit = 50;
constexpr double kLarMedianFactor = 0.01;
constexpr double kLarMedianFloor = 1e-7;
constexpr double kLeverageCap = 0.9999;
constexpr double kLeverageComplement = 9.999999999998899e-5;
constexpr double kBisquareScale = 0.6745 / 4.685;
constexpr double kE = 2.718281828459045;

enum Method : std::int32_t { kLeastSquares = 0, kLeastAbsolute = 1, kBisquare = 2 };

// A model with p ≤ 3 coefficients over the abscissas t (x, or a transform).
class Model {
 public:
  static constexpr std::int32_t kMaxCoefficients = 3;
  Model(const double* t, const double* y, std::int32_t n, std::int32_t p)
      : t_(t), y_(y), n_(n), p_(p) {}
  virtual ~Model() = default;
  std::int32_t n() const { return n_; }
  std::int32_t p() const { return p_; }
  const double* t() const { return t_; }
  const double* y() const { return y_; }
  virtual double Value(double t, const double* c) const = 0;
  // The row whose outer products form the normal matrix of the leverages.
  virtual void LeverageRow(double t, const double* c, double* g) const = 0;
  // Least squares under the weights u (|u|; null: none). `warm`: start from
  // c, else from the model's own estimate.
  virtual Status LeastSquares(const double* u, bool warm, std::int32_t limit, double tolerance,
                              double* c) const = 0;

  // (1/n)·Σ|uᵢ|·(yᵢ - fᵢ)².
  double MeanSquare(const double* u, const double* c) const {
    double sum = 0.0;
    for (std::int32_t i = 0; i < n_; ++i) {
      const double r = y_[i] - Value(t_[i], c);
      sum += (u ? std::fabs(u[i]) : 1.0) * r * r;
    }
    return sum / n_;
  }
  // (1/n)·Σ|uᵢ·(yᵢ - fᵢ)|.
  double MeanAbsolute(const double* u, const double* c) const {
    double sum = 0.0;
    for (std::int32_t i = 0; i < n_; ++i) {
      const double r = y_[i] - Value(t_[i], c);
      sum += std::fabs((u ? u[i] : 1.0) * r);
    }
    return sum / n_;
  }

 private:
  const double* t_;
  const double* y_;
  std::int32_t n_;
  std::int32_t p_;
};

// Models refined by Gauss–Newton steps from a starting estimate.
class IteratedModel : public Model {
 public:
  using Model::Model;
  virtual void JacobianRow(double t, const double* c, double* g) const = 0;
  virtual Status Estimate(const double* u, double* c) const = 0;

  Status LeastSquares(const double* u, bool warm, std::int32_t limit, double tolerance,
                      double* c) const override {
    if (!warm) {
      if (Status s = Estimate(u, c)) return s;
    }
    return Refine(u, limit, tolerance, c);
  }

  // Gauss–Newton with best-so-far tracking: the step solves the linearised
  // problem by the general linear fit (SVD) under the same weights. Stops on
  // a small relative change of the weighted mean squared error E, on E below
  // the floor or not finite, or after limit/10 steps when E is worse than
  // both the previous and the best value.
  Status Refine(const double* u, std::int32_t limit, double tolerance, double* c) const {
    const std::int32_t n = this->n(), p = this->p();
    Scratch<double> jac, r;
    if (Status s = jac.Allocate(static_cast<std::size_t>(n) * p)) return s;
    if (Status s = r.Allocate(static_cast<std::size_t>(n))) return s;
    double best[kMaxCoefficients], delta[kMaxCoefficients];
    for (std::int32_t j = 0; j < p; ++j) best[j] = c[j];
    double e_prev = MeanSquare(u, c);
    double e_best = e_prev;
    std::int32_t count = 0;
    while (++count <= limit) {
      for (std::int32_t i = 0; i < n; ++i) {
        JacobianRow(t()[i], c, jac.data() + static_cast<std::size_t>(i) * p);
        r[i] = y()[i] - Value(t()[i], c);
      }
      if (Status s = LinearLeastSquares(jac.data(), n, p, r.data(), u, 0, delta, nullptr, nullptr,
                                        nullptr);
          s < 0) {
        return s;
      }
      for (std::int32_t j = 0; j < p; ++j) c[j] += delta[j];
      const double e = MeanSquare(u, c);
      const double e_best_before = e_best;
      if (e < e_best) {
        e_best = e;
        for (std::int32_t j = 0; j < p; ++j) best[j] = c[j];
      }
      if (!std::isfinite(e) || std::fabs(e_prev - e) <= tolerance * e_prev || e <= kResidualFloor ||
          (count > limit / 10 && e > e_prev && e > e_best_before)) {
        break;
      }
      e_prev = e;
    }
    for (std::int32_t j = 0; j < p; ++j) c[j] = best[j];
    return kSuccess;
  }
};

// y = c0 + c1·t by the closed-form weighted normal equations, the weights
// normalised by their sum.
class LineModel : public Model {
 public:
  LineModel(const double* t, const double* y, std::int32_t n) : Model(t, y, n, 2) {}
  double Value(double t, const double* c) const override { return c[0] + c[1] * t; }
  void LeverageRow(double t, const double*, double* g) const override {
    g[0] = 1.0;
    g[1] = t;
  }
  Status LeastSquares(const double* u, bool, std::int32_t, double, double* c) const override {
    const std::int32_t n = this->n();
    double sw = 0.0;
    for (std::int32_t i = 0; i < n; ++i) sw += u ? std::fabs(u[i]) : 1.0;
    if (!(sw > 0.0)) return kZeroNumber;
    double mt = 0.0, my = 0.0;
    for (std::int32_t i = 0; i < n; ++i) {
      const double wi = (u ? std::fabs(u[i]) : 1.0) / sw;
      mt += wi * t()[i];
      my += wi * y()[i];
    }
    double stt = 0.0, sty = 0.0;
    for (std::int32_t i = 0; i < n; ++i) {
      const double wi = (u ? std::fabs(u[i]) : 1.0) / sw;
      const double dt = t()[i] - mt;
      stt += wi * dt * dt;
      sty += wi * dt * (y()[i] - my);
    }
    if (!(stt > 0.0)) return kXNotDistinct;
    c[1] = sty / stt;
    c[0] = my - c[1] * mt;
    return kSuccess;
  }
};

// y = a·e^(b·t): the log-linear estimate over the points of the prevailing
// sign, then Gauss–Newton. With t = ln x it is the power model a·x^b.
class ExponentialModel : public IteratedModel {
 public:
  ExponentialModel(const double* t, const double* y, std::int32_t n) : IteratedModel(t, y, n, 2) {}
  double Value(double t, const double* c) const override { return c[0] * std::exp(c[1] * t); }
  void LeverageRow(double t, const double*, double* g) const override {
    g[0] = 1.0;
    g[1] = t;
  }
  void JacobianRow(double t, const double* c, double* g) const override {
    const double e = std::exp(c[1] * t);
    g[0] = e;
    g[1] = c[0] * t * e;
  }
  Status Estimate(const double* u, double* c) const override {
    const std::int32_t n = this->n();
    std::int32_t positive = 0, negative = 0;
    for (std::int32_t i = 0; i < n; ++i) {
      positive += y()[i] > 0.0 ? 1 : 0;
      negative += y()[i] < 0.0 ? 1 : 0;
    }
    const double sign = positive >= negative ? 1.0 : -1.0;
    Scratch<double> h, target, weight;
    if (Status s = h.Allocate(2 * static_cast<std::size_t>(n))) return s;
    if (Status s = target.Allocate(static_cast<std::size_t>(n))) return s;
    if (Status s = weight.Allocate(static_cast<std::size_t>(n))) return s;
    std::int32_t kept = 0;
    for (std::int32_t i = 0; i < n; ++i) {
      const double v = sign * y()[i];
      if (!(v > 0.0)) continue;
      h[2 * kept] = 1.0;
      h[2 * kept + 1] = t()[i];
      target[kept] = std::log(v);
      weight[kept] = (u ? std::fabs(u[i]) : 1.0) * y()[i] * y()[i];
      ++kept;
    }
    if (kept < 2) return kBadYValues;
    double b[2];
    if (Status s = LinearLeastSquares(h.data(), kept, 2, target.data(), weight.data(), 0, b,
                                      nullptr, nullptr, nullptr);
        s < 0) {
      return s;
    }
    c[0] = sign * std::exp(b[0]);
    c[1] = b[1];
    return kSuccess;
  }
};

// y = a·e^(-((x - μ)/σ)²/2), coefficients (a, μ, σ).
class GaussianModel : public IteratedModel {
 public:
  GaussianModel(const double* x, const double* y, std::int32_t n) : IteratedModel(x, y, n, 3) {}
  double Value(double x, const double* c) const override {
    const double z = (x - c[1]) / c[2];
    return c[0] * std::exp(-0.5 * z * z);
  }
  void LeverageRow(double x, const double* c, double* g) const override { JacobianRow(x, c, g); }
  void JacobianRow(double x, const double* c, double* g) const override {
    const double z = (x - c[1]) / c[2];
    const double e = std::exp(-0.5 * z * z);
    g[0] = e;
    g[1] = c[0] * e * z / c[2];
    g[2] = c[0] * e * z * z / c[2];
  }
  // The automatic start: the sample of largest |y| gives amplitude and
  // centre, the samples above a tenth of it the width; a lone qualifying
  // sample takes the Gaussian through it and its two neighbours.
  Status Estimate(const double*, double* c) const override {
    const std::int32_t n = this->n();
    const double* x = t();
    std::int32_t peak = 0;
    for (std::int32_t i = 1; i < n; ++i)
      if (std::fabs(y()[i]) > std::fabs(y()[peak])) peak = i;
    const double a = y()[peak], mu = x[peak];
    if (a == 0.0) return kWidthNotPositive;
    double num = 0.0, den = 0.0;
    std::int32_t qualifying = 0;
    for (std::int32_t i = 0; i < n; ++i) {
      if (!(std::fabs(y()[i]) > 0.1 * std::fabs(a))) continue;
      ++qualifying;
      const double d = x[i] - mu;
      num += d * d;
      den += std::log(a * a / (y()[i] * y()[i]));
    }
    double var = 0.0;
    if (qualifying > 1) {
      var = num / den;
      c[0] = a;
      c[1] = mu;
    } else {
      std::int32_t i0 = peak - 1;
      if (i0 < 0) i0 = 0;
      if (i0 > n - 3) i0 = n - 3;
      const double x0 = x[i0], x1 = x[i0 + 1], x2 = x[i0 + 2];
      const double l0 = std::log(y()[i0] / a), l1 = std::log(y()[i0 + 1] / a),
                   l2 = std::log(y()[i0 + 2] / a);
      const double f01 = (l1 - l0) / (x1 - x0), f12 = (l2 - l1) / (x2 - x1);
      const double q2 = (f12 - f01) / (x2 - x0);
      const double q1 = f01 - q2 * (x0 + x1);
      const double q0 = l0 - f01 * x0 + q2 * x0 * x1;
      var = -0.5 / q2;
      c[1] = -q1 / (2.0 * q2);
      c[0] = a * std::exp(q0 - q1 * q1 / (4.0 * q2));
    }
    if (!(var > 0.0) || !std::isfinite(var) || !std::isfinite(c[0]) || !std::isfinite(c[1]))
      return kWidthNotPositive;
    c[2] = std::sqrt(var);
    return kSuccess;
  }
};

// Of the initial, previous and last coefficients the one with the smallest
// residue; ties go to the initial fit, then the previous.
const double* BestOfThree(const double* initial, double r_initial, const double* previous,
                          double r_previous, const double* last, double r_last) {
  const double* chosen = last;
  if (r_last <= r_previous && r_last <= r_initial) chosen = last;
  if (r_previous <= r_last && r_previous <= r_initial) chosen = previous;
  if (r_initial <= r_last && r_initial <= r_previous) chosen = initial;
  return chosen;
}

void CopyCoefficients(const double* from, std::int32_t p, double* to) {
  for (std::int32_t j = 0; j < p; ++j) to[j] = from[j];
}

Status LeastAbsolute(const Model& model, const double* w, std::int32_t ls_limit, double tolerance,
                     double* c, double* residue) {
  const std::int32_t n = model.n(), p = model.p();
  double initial[Model::kMaxCoefficients], previous[Model::kMaxCoefficients],
      last[Model::kMaxCoefficients];
  if (Status s = model.LeastSquares(w, false, ls_limit, tolerance, initial); s < 0) return s;
  Scratch<double> r, u;
  if (Status s = r.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = u.Allocate(static_cast<std::size_t>(n))) return s;
  const double r0 = model.MeanAbsolute(w, initial);
  CopyCoefficients(initial, p, previous);
  CopyCoefficients(initial, p, last);
  double r_prev = 2.0 * r0, r_cur = r0, r_previous_fit = r0;
  for (std::int32_t it = 0; it < kRobustLimit && std::fabs(r_prev - r_cur) > tolerance * r_prev &&
                            r_cur > kResidualFloor && r_prev > r_cur;
       ++it) {
    for (std::int32_t i = 0; i < n; ++i)
      r[i] = std::fabs(model.y()[i] - model.Value(model.t()[i], last));
    double median = 0.0;
    if (Status s = stats::Median(r.data(), n, &median)) return s;
    median *= kLarMedianFactor;
    if (median == 0.0) median = kLarMedianFloor;
    for (std::int32_t i = 0; i < n; ++i)
      u[i] = (w ? std::fabs(w[i]) : 1.0) / std::fmax(median, r[i]);
    double next[Model::kMaxCoefficients];
    CopyCoefficients(last, p, next);
    if (Status s = model.LeastSquares(u.data(), true, ls_limit, tolerance, next); s < 0) return s;
    CopyCoefficients(last, p, previous);
    CopyCoefficients(next, p, last);
    r_previous_fit = r_cur;
    r_prev = r_cur;
    r_cur = model.MeanAbsolute(w, last);
  }
  const double* chosen = BestOfThree(initial, r0, previous, r_previous_fit, last, r_cur);
  CopyCoefficients(chosen, p, c);
  *residue = model.MeanAbsolute(w, c);
  return kSuccess;
}

Status Bisquare(const Model& model, const double* w, std::int32_t ls_limit, double tolerance,
                double* c, double* residue) {
  const std::int32_t n = model.n(), p = model.p();
  double initial[Model::kMaxCoefficients], previous[Model::kMaxCoefficients],
      last[Model::kMaxCoefficients];
  if (Status s = model.LeastSquares(w, false, ls_limit, tolerance, initial); s < 0) return s;
  Scratch<double> adjusted, absolute, u;
  if (Status s = adjusted.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = absolute.Allocate(static_cast<std::size_t>(n))) return s;
  if (Status s = u.Allocate(static_cast<std::size_t>(n))) return s;
  const double e0 = model.MeanSquare(w, initial);
  CopyCoefficients(initial, p, previous);
  CopyCoefficients(initial, p, last);
  // The residue of a round is the mean squared error under the weights that
  // round fitted with: the plain one never falls below the least-squares
  // start, so it could neither drive the rounds nor pick the result.
  double e_prev = 2.0 * e0, e_cur = e0;
  std::int32_t rounds = 0;
  for (; rounds < kRobustLimit && std::fabs(e_prev - e_cur) > tolerance * e_prev &&
         e_cur > kResidualFloor;
       ++rounds) {
    // Leverages from the pseudo-inverse of the normal matrix Σ|wᵢ|·g·gᵀ.
    double normal[9] = {0}, inverse[9];
    double g[Model::kMaxCoefficients];
    for (std::int32_t i = 0; i < n; ++i) {
      model.LeverageRow(model.t()[i], last, g);
      const double wi = w ? std::fabs(w[i]) : 1.0;
      for (std::int32_t j = 0; j < p; ++j)
        for (std::int32_t k = 0; k < p; ++k) normal[j * p + k] += wi * g[j] * g[k];
    }
    if (Status s = linalg::PseudoInverse(normal, p, p, -1.0, inverse)) return s;
    for (std::int32_t i = 0; i < n; ++i) {
      model.LeverageRow(model.t()[i], last, g);
      double h = 0.0;
      for (std::int32_t j = 0; j < p; ++j)
        for (std::int32_t k = 0; k < p; ++k) h += g[j] * inverse[j * p + k] * g[k];
      const double wi = w ? std::fabs(w[i]) : 1.0;
      h *= wi;
      const double complement = h > kLeverageCap ? kLeverageComplement : 1.0 - h;
      const double alpha = std::sqrt(wi / complement);
      adjusted[i] = alpha * (model.y()[i] - model.Value(model.t()[i], last));
      absolute[i] = std::fabs(adjusted[i]);
    }
    double spread = 0.0;
    if (Status s = stats::Median(absolute.data(), n, &spread)) return s;
    if (spread == 0.0) {
      if (Status s = stats::Mean(absolute.data(), n, &spread)) return s;
      if (spread == 0.0) break;
    }
    // The new weights go to `absolute` first: a round that stops here keeps
    // the last round's weights in u.
    std::int32_t zeros = 0;
    for (std::int32_t i = 0; i < n; ++i) {
      const double v = adjusted[i] * kBisquareScale / spread;
      const double b = std::fabs(v) < 1.0 ? (1.0 - v * v) * (1.0 - v * v) : 0.0;
      zeros += b == 0.0 ? 1 : 0;
      absolute[i] = b * (w ? std::fabs(w[i]) : 1.0);
    }
    if (zeros >= n - 1) break;
    for (std::int32_t i = 0; i < n; ++i) u[i] = absolute[i];
    double next[Model::kMaxCoefficients];
    CopyCoefficients(last, p, next);
    if (Status s = model.LeastSquares(u.data(), true, ls_limit, tolerance, next); s < 0) return s;
    CopyCoefficients(last, p, previous);
    CopyCoefficients(next, p, last);
    e_prev = e_cur;
    e_cur = model.MeanSquare(u.data(), last);
  }
  // The three candidates are compared under the last round's weights.
  const double* chosen = initial;
  if (rounds > 0) {
    chosen = BestOfThree(initial, model.MeanSquare(u.data(), initial), previous,
                         model.MeanSquare(u.data(), previous), last, e_cur);
  }
  CopyCoefficients(chosen, p, c);
  *residue = model.MeanSquare(w, c);
  return kSuccess;
}

// Runs the method and writes fitted values.
Status FitByMethod(const Model& model, const double* w, std::int32_t method, double tolerance,
                   std::int32_t ls_limit, double* c, double* fitted, double* residue) {
  if (!(tolerance > 0.0)) tolerance = kDefaultTolerance;
  Status s = kSuccess;
  switch (method) {
    case kLeastSquares:
      s = model.LeastSquares(w, false, ls_limit, tolerance, c);
      if (s >= 0) *residue = model.MeanSquare(w, c);
      break;
    case kLeastAbsolute:
      s = LeastAbsolute(model, w, ls_limit, tolerance, c, residue);
      break;
    default:
      s = Bisquare(model, w, kRobustLimit, tolerance, c, residue);
      break;
  }
  if (s < 0) return s;
  for (std::int32_t i = 0; i < model.n(); ++i) fitted[i] = model.Value(model.t()[i], c);
  return s;
}

// The checks every model fit starts with, in order: count, method, finite
// samples, weights.
Status CheckCommon(const double* x, const double* y, const double* w, std::int32_t n,
                   std::int32_t minimum, std::int32_t method, const double** effective) {
  if (n < minimum) return minimum == 3 ? kCountBelowThree : kCountBelowTwo;
  if (method < kLeastSquares || method > kBisquare) return kBadSelection;
  if (Status s = linalg::CheckFinite(x, static_cast<std::size_t>(n))) return s;
  if (Status s = linalg::CheckFinite(y, static_cast<std::size_t>(n))) return s;
  return PrepareWeights(w, n, effective);
}

}  // namespace

Status ExponentialFitSimple(const double* x, const double* y, std::int32_t n, double* fitted,
                            double* amplitude, double* damping, double* residue) {
  const double* none = nullptr;
  if (Status s = CheckCommon(x, y, nullptr, n, 2, kLeastSquares, &none)) return s;
  ExponentialModel model(x, y, n);
  double c[2];
  if (Status s = model.Estimate(nullptr, c)) return s;
  for (std::int32_t i = 0; i < n; ++i) fitted[i] = model.Value(x[i], c);
  *amplitude = c[0];
  *damping = c[1];
  *residue = model.MeanSquare(nullptr, c);
  return kSuccess;
}

Status ExponentialFit(const double* x, const double* y, const double* w, std::int32_t n,
                      std::int32_t method, double tolerance, double* fitted, double* amplitude,
                      double* damping, double* residue) {
  const double* weights = nullptr;
  if (Status s = CheckCommon(x, y, w, n, 2, method, &weights)) return s;
  ExponentialModel model(x, y, n);
  double c[2];
  const Status s = FitByMethod(model, weights, method, tolerance, kLsLimit, c, fitted, residue);
  if (s < 0) return s;
  *amplitude = c[0];
  *damping = c[1];
  return s;
}

Status LinearFitSimple(const double* x, const double* y, const double* w, std::int32_t n,
                       double* fitted, double* slope, double* intercept, double* residue) {
  return LinearFit(x, y, w, n, kLeastSquares, 0.0, fitted, slope, intercept, residue);
}

Status LinearFit(const double* x, const double* y, const double* w, std::int32_t n,
                 std::int32_t method, double tolerance, double* fitted, double* slope,
                 double* intercept, double* residue) {
  const double* weights = nullptr;
  if (Status s = CheckCommon(x, y, w, n, 2, method, &weights)) return s;
  LineModel model(x, y, n);
  double c[2];
  const Status s = FitByMethod(model, weights, method, tolerance, kLsLimit, c, fitted, residue);
  if (s < 0) return s;
  *intercept = c[0];
  *slope = c[1];
  return s;
}

Status LogarithmFit(const double* x, const double* y, const double* w, std::int32_t n, double base,
                    std::int32_t method, double tolerance, double* fitted, double* amplitude,
                    double* scale, double* residue) {
  const double* weights = nullptr;
  if (Status s = CheckCommon(x, y, w, n, 2, method, &weights)) return s;
  if (std::isnan(base) || std::isinf(base) || base == 1.0) return kBadSelection;
  std::int32_t positive = 0, negative = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    positive += x[i] > 0.0 ? 1 : 0;
    negative += x[i] < 0.0 ? 1 : 0;
  }
  if (positive != n && negative != n) return kBadYValues;
  const double sign = positive == n ? 1.0 : -1.0;
  if (base <= 0.0) base = kE;
  // t = log_b(s·x); y = a·t + d is linear in (a, d).
  Scratch<double> t;
  if (Status s = t.Allocate(static_cast<std::size_t>(n))) return s;
  const bool natural = base == 2.71828, decimal = base == 10.0;
  const double log_base = std::log(base);
  for (std::int32_t i = 0; i < n; ++i) {
    const double v = sign * x[i];
    t[i] = natural ? std::log(v) : decimal ? std::log10(v) : std::log(v) / log_base;
  }
  LineModel model(t.data(), y, n);
  double c[2];
  const Status s = FitByMethod(model, weights, method, tolerance, kLsLimit, c, fitted, residue);
  if (s < 0) return s;
  const double a = c[1], d = c[0];
  *amplitude = a;
  if (a == 0.0) {
    *scale = sign;
  } else {
    const double exponent = d / a;
    *scale = sign * (natural ? std::exp(exponent) : std::pow(base, exponent));
  }
  return s;
}

Status PowerFit(const double* x, const double* y, const double* w, std::int32_t n,
                std::int32_t method, double tolerance, double* fitted, double* amplitude,
                double* power, double* residue) {
  const double* weights = nullptr;
  if (Status s = CheckCommon(x, y, w, n, 2, method, &weights)) return s;
  for (std::int32_t i = 0; i < n; ++i)
    if (!(x[i] > 0.0)) return kNotPositiveOrZero;
  // a·x^b = a·e^(b·ln x): the exponential model over ln x.
  Scratch<double> t;
  if (Status s = t.Allocate(static_cast<std::size_t>(n))) return s;
  for (std::int32_t i = 0; i < n; ++i) t[i] = std::log(x[i]);
  ExponentialModel model(t.data(), y, n);
  double c[2];
  const Status s = FitByMethod(model, weights, method, tolerance, kLsLimit, c, fitted, residue);
  if (s < 0) return s;
  *amplitude = c[0];
  *power = c[1];
  return s;
}

Status GaussianPeakFit(const double* x, const double* y, const double* w, std::int32_t n,
                       std::int32_t method, double tolerance, const double* initial_guess,
                       double* fitted, double* amplitude, double* center, double* std_dev,
                       double* residue) {
  const double* weights = nullptr;
  if (Status s = CheckCommon(x, y, w, n, 3, method, &weights)) return s;
  Status warning = kSuccess;
  const double* guess = initial_guess;
  if (guess && linalg::CheckFinite(guess, 3) != kSuccess) {
    warning = kWarnNonFiniteMatrix;
    guess = nullptr;
  }
  if (guess && guess[2] == 0.0) return kWidthNotPositive;
  // A guess replaces the automatic start of the first least-squares fit.
  class Guessed : public GaussianModel {
   public:
    Guessed(const double* x, const double* y, std::int32_t n, const double* g)
        : GaussianModel(x, y, n), g_(g) {}
    Status Estimate(const double* u, double* c) const override {
      if (!g_) return GaussianModel::Estimate(u, c);
      c[0] = g_[0];
      c[1] = g_[1];
      c[2] = std::fabs(g_[2]);
      return kSuccess;
    }

   private:
    const double* g_;
  } guessed(x, y, n, guess);
  double c[3];
  const Status s =
      FitByMethod(guessed, weights, method, tolerance, kGaussianLsLimit, c, fitted, residue);
  if (s < 0) return s;
  if (!(std::fabs(c[2]) > 0.0)) return kWidthNotPositive;
  *amplitude = c[0];
  *center = c[1];
  *std_dev = std::fabs(c[2]);
  return s != kSuccess ? s : warning;
}

}  // namespace qm::fit
