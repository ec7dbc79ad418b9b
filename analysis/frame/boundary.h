// The export boundary.
//
// Every exported function is a thin adapter from the C interface (64-bit
// sizes, nullable pointers, 64-bit index outputs) to an internal routine
// (32-bit counts, valid pointers, status result). Each export is written as
//
//   QM_EXPORT int32_t ZMXFunc3(const double* x, const double* y, int64_t n,
//                              double* z) {
//     return qm::boundary::Call(qm::ArrayAdd1D, In(x), In(y), Size(n), Out(z));
//   }
//
// and `Call` applies the boundary rules in a fixed order:
//
//   1. narrowing: every 64-bit size must fit in 32 bits, otherwise -20046
//      (kOverflow) before anything is read or written;
//   2. pointers: a required pointer that is null gives kNullPointer;
//   3. shape checks that belong to the boundary (2-D dimensions below 1 give
//      -20003, then a rows*cols product that overflows 32 bits gives -20046);
//   4. the routine runs and its status is returned unchanged;
//   5. index and count outputs are written back as 64-bit values.
//
// Arguments must be wrapped: a raw pointer or a 64-bit integer handed to
// `Call` does not compile, so no export can forget a narrowing or a null
// check. Plain scalars (doubles, 32-bit selectors) pass through unchanged.
#pragma once

#include <cstdint>
#include <limits>
#include <type_traits>
#include <utility>

#include "frame/status.h"
// Every export file includes the public declarations through this header,
// so a definition whose parameters differ from its declaration does not
// compile ("conflicting declaration of C function").
#include "qmanlys.h"

#define QM_EXPORT extern "C" __attribute__((visibility("default")))

namespace qm {

// True when v is representable as a 32-bit signed count.
constexpr bool FitsInt32(std::int64_t v) {
  return v >= std::numeric_limits<std::int32_t>::min() &&
         v <= std::numeric_limits<std::int32_t>::max();
}

namespace boundary {

struct Adapter {
  static constexpr Status Narrow() { return kSuccess; }
  static constexpr Status CheckPointers() { return kSuccess; }
  static constexpr Status CheckShape() { return kSuccess; }
  static constexpr void Finish() {}
};

// A 64-bit element count, row count, column count or length.
class Size : public Adapter {
 public:
  explicit Size(std::int64_t v) : wide_(v) {}
  Status Narrow() {
    if (!FitsInt32(wide_)) return kOverflow;
    narrow_ = static_cast<std::int32_t>(wide_);
    return kSuccess;
  }
  std::int32_t Get() const { return narrow_; }

 private:
  std::int64_t wide_;
  std::int32_t narrow_ = 0;
};

// The rows x cols of an element-wise 2-D operation, handed to the routine as
// one count of rows*cols elements.
class Elements2D : public Adapter {
 public:
  Elements2D(std::int64_t rows, std::int64_t cols) : rows_(rows), cols_(cols) {}
  Status Narrow() const {
    return FitsInt32(rows_) && FitsInt32(cols_) ? kSuccess : kOverflow;
  }
  Status CheckShape() {
    if (rows_ < 1 || cols_ < 1) return kCountNotPositive;
    const std::int64_t product = rows_ * cols_;  // both fit in 32 bits: no wrap
    if (!FitsInt32(product)) return kOverflow;
    count_ = static_cast<std::int32_t>(product);
    return kSuccess;
  }
  std::int32_t Get() const { return count_; }

 private:
  std::int64_t rows_, cols_;
  std::int32_t count_ = 0;
};

// A pointer that must not be null (input array, output array, result).
template <class T>
class Required : public Adapter {
 public:
  explicit Required(T* p) : p_(p) {}
  Status CheckPointers() const { return p_ ? kSuccess : kNullPointer; }
  T* Get() const { return p_; }

 private:
  T* p_;
};

// An output array that may be null: null means "write over the input".
template <class T>
class OutputOrInput : public Adapter {
 public:
  OutputOrInput(T* out, T* in) : p_(out ? out : in) {}
  Status CheckPointers() const { return p_ ? kSuccess : kNullPointer; }
  T* Get() const { return p_; }

 private:
  T* p_;
};

// A scalar result the caller may decline by passing null; the routine always
// gets somewhere to write.
template <class T>
class Discardable : public Adapter {
 public:
  explicit Discardable(T* p) : p_(p) {}
  Discardable(const Discardable&) = delete;
  T* Get() { return p_ ? p_ : &scratch_; }

 private:
  T scratch_{};
  T* p_;
};

// A pointer the routine itself interprets when null (documented per export).
template <class T>
class Nullable : public Adapter {
 public:
  explicit Nullable(T* p) : p_(p) {}
  T* Get() const { return p_; }

 private:
  T* p_;
};

// A 0-based index or a count produced by the routine as a 32-bit value and
// returned to the caller sign-extended to 64 bits. Written back only when the
// routine wrote it, so an early failure leaves the caller's value untouched.
class WideOutput : public Adapter {
 public:
  WideOutput(std::int64_t* p, bool required) : p_(p), required_(required) {}
  WideOutput(const WideOutput&) = delete;
  Status CheckPointers() const { return p_ || !required_ ? kSuccess : kNullPointer; }
  std::int32_t* Get() { return &value_; }
  void Finish() const {
    if (p_ && value_ != kUnwritten) *p_ = value_;
  }

 private:
  static constexpr std::int32_t kUnwritten = std::numeric_limits<std::int32_t>::min();
  std::int64_t* p_;
  bool required_;
  std::int32_t value_ = kUnwritten;
};

// A 64-bit count the caller passes in and the routine may change (capacity
// in, used count out).
class SizeInOut : public Adapter {
 public:
  explicit SizeInOut(std::int64_t* p) : p_(p) {}
  SizeInOut(const SizeInOut&) = delete;
  Status Narrow() {
    if (!p_) return kSuccess;  // reported by CheckPointers
    if (!FitsInt32(*p_)) return kOverflow;
    value_ = static_cast<std::int32_t>(*p_);
    return kSuccess;
  }
  Status CheckPointers() const { return p_ ? kSuccess : kNullPointer; }
  std::int32_t* Get() { return &value_; }
  void Finish() const { *p_ = value_; }

 private:
  std::int64_t* p_;
  std::int32_t value_ = 0;
};

// Scalars that need no adaptation (doubles, 32-bit selectors, flags).
template <class T>
class Value : public Adapter {
 public:
  explicit Value(T v) : v_(v) {}
  T Get() const { return v_; }

 private:
  T v_;
};

template <class T>
decltype(auto) Wrap(T&& arg) {
  using D = std::remove_cvref_t<T>;
  if constexpr (std::is_base_of_v<Adapter, D>) {
    return std::forward<T>(arg);
  } else {
    static_assert(!std::is_pointer_v<D>,
                  "wrap pointers as In/Out/OutOr/Opt/Maybe/IndexOut at the boundary");
    static_assert(!std::is_same_v<D, std::int64_t> && !std::is_same_v<D, long long>,
                  "wrap 64-bit sizes as Size so that they are narrowed");
    static_assert(std::is_arithmetic_v<D> || std::is_enum_v<D>,
                  "only plain scalars pass the boundary unwrapped");
    return Value<D>(arg);
  }
}

template <class Routine, class... A>
Status Apply(Routine&& routine, A&&... a) {
  Status s = kSuccess;
  (void)(((s = a.Narrow()) == kSuccess) && ...);
  if (s != kSuccess) return s;
  (void)(((s = a.CheckPointers()) == kSuccess) && ...);
  if (s != kSuccess) return s;
  (void)(((s = a.CheckShape()) == kSuccess) && ...);
  if (s != kSuccess) return s;
  s = std::forward<Routine>(routine)(a.Get()...);
  (a.Finish(), ...);
  return s;
}

// Runs `routine` behind the boundary rules; see the top of this file.
template <class Routine, class... Args>
Status Call(Routine&& routine, Args&&... args) {
  return [&](auto&&... wrapped) {
    return Apply(std::forward<Routine>(routine), wrapped...);
  }(Wrap(std::forward<Args>(args))...);
}

// Argument wrappers, named for how an export reads.
template <class T>
Required<const T> In(const T* p) { return Required<const T>(p); }
template <class T>
Required<T> Out(T* p) { return Required<T>(p); }
template <class T>
OutputOrInput<T> OutOr(T* out, T* in) { return OutputOrInput<T>(out, in); }
template <class T>
OutputOrInput<T> OutOr(T* out, const T* in) {
  // The caller asked for the result in place: the input array is writable.
  return OutputOrInput<T>(out, const_cast<T*>(in));
}
template <class T>
Discardable<T> Opt(T* p) { return Discardable<T>(p); }
template <class T>
Nullable<T> Maybe(T* p) { return Nullable<T>(p); }
inline WideOutput IndexOut(std::int64_t* p) { return WideOutput(p, true); }
inline WideOutput OptIndexOut(std::int64_t* p) { return WideOutput(p, false); }
inline WideOutput CountOut(std::int64_t* p) { return WideOutput(p, true); }

}  // namespace boundary
}  // namespace qm
