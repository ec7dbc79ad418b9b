// The export boundary.
//
// Every exported function is a thin adapter from the C interface (64-bit
// sizes, nullable pointers, 64-bit index outputs) to an internal routine
// (32-bit counts, valid pointers, status result). Each export is one line:
//
//   QM_EXPORT int32_t ZMXFunc3(const double* x, const double* y, int64_t n,
//                              double* z) {
//     return Call(qm::arith::ArrayAdd1D, In(x), In(y), Size(n), Out(z));
//   }
//
// and `Call` applies the boundary rules in a fixed order:
//
//   1. narrowing: every 64-bit size must fit in 32 bits, otherwise -20046
//      (kOverflow) before anything is read or written;
//   2. pointers: a required pointer that is null gives kNullPointer (-20008),
//      in argument order;
//   3. records and handles whose null has a family code (In(p, code),
//      Out(p, code)) give that code, after the plain pointers;
//   4. shape checks that belong to the boundary (2-D dimensions below 1 give
//      -20003, then a rows*cols product that overflows 32 bits gives -20046);
//   5. the routine runs and its status is returned unchanged;
//   6. outputs the boundary holds for the caller (64-bit indexes and counts,
//      records in the public layout) are written back when the routine
//      wrote them.
//
// Arguments must be wrapped: a raw pointer or a 64-bit integer handed to
// `Call` does not compile, so no export can forget a narrowing or a null
// check. Plain scalars (doubles, 32-bit selectors) pass through unchanged.
//
// The wrappers, by what the caller passes:
//
//   Size(n)                 a 64-bit count, narrowed (rule 1)
//   Elements2D(r, c)        rows x cols of an element-wise operation, one
//                           count; Elements2D::SignFirst(r, c) reports
//                           dimensions below 1 before the narrowing
//   Index(i), Shift(k)      a 64-bit position judged by the routine, not
//                           narrowed: beyond 32 bits it arrives as a value the
//                           routine rejects with its own code in its own order
//                           (an index as -1, a shift as INT32_MIN)
//   LowWord(v)              a 64-bit selector of which the low 32 bits count
//   In(p), Out(p)           required pointers (rule 2)
//   In(p, code), Out(p, code)  required, with the family's code for null
//   InIfCount(p, count)     an input read only when count > 0
//   OutOr(out, in)          an optional output: null writes over the input
//   Opt(p)                  a scalar result the caller may decline
//   Maybe(p)                a pointer the routine itself interprets when null
//   IndexOut(p), OptIndexOut(p), CountOut(p)   32-bit results, 64-bit out
//   SizeInOut(p)            a 64-bit capacity in, the used count out
//   RecordOut<Store>(p), OptRecordOut<Store>(p)  a record the routine fills,
//                           stored in the caller's public layout by Store
//   Int32Copy(p, n)         an array of n 64-bit integers (codes, levels)
//                           handed to the routine as a 32-bit copy made after
//                           the pointer checks: -20001 when the copy cannot
//                           be allocated, -20046 for an entry beyond 32 bits
//
// Exports that stay plain functions, outside `Call`: those that return no
// status (a message pointer, a computed double, a record or plan handle the
// library allocates, nothing at all); they still take every size as 64 bits
// and narrow it with FitsInt32 before use.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>
#include <utility>

#include "frame/counts.h"
#include "frame/platform.h"
#include "frame/status.h"
#include "frame/workspace.h"
// Every export file includes the public declarations through this header,
// so a definition whose parameters differ from its declaration does not
// compile ("conflicting declaration of C function").
#include "qmanlys.h"

// The platform's export attribute (platform_names.h): default visibility on
// POSIX, dllexport on Win32; only the exports carry it.
#define QM_EXPORT extern "C" QM_EXPORT_ATTRIBUTE

namespace qm {
namespace boundary {

struct Adapter {
  static constexpr Status Narrow() { return kSuccess; }
  static constexpr Status CheckPointers() { return kSuccess; }
  static constexpr Status CheckRecords() { return kSuccess; }
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
  // Dimensions below 1 give -20003 before the two counts are narrowed.
  static Elements2D SignFirst(std::int64_t rows, std::int64_t cols) {
    Elements2D e(rows, cols);
    e.sign_first_ = true;
    return e;
  }
  Status Narrow() const {
    if (sign_first_ && (rows_ < 1 || cols_ < 1)) return kCountNotPositive;
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
  bool sign_first_ = false;
};

// A 64-bit position (index, shift) that the routine judges against its
// counts, in its own order and with its own code. It is not narrowed: a value
// beyond 32 bits is handed on as `outside`, a value the routine rejects.
class Judged : public Adapter {
 public:
  Judged(std::int64_t v, std::int32_t outside)
      : v_(FitsInt32(v) ? static_cast<std::int32_t>(v) : outside) {}
  std::int32_t Get() const { return v_; }

 private:
  std::int32_t v_;
};

// A 64-bit selector of which only the low 32 bits count.
class LowWord : public Adapter {
 public:
  explicit LowWord(std::int64_t v)
      : v_(static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)))) {}
  std::int32_t Get() const { return v_; }

 private:
  std::int32_t v_;
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

// A record or handle that must not be null, with the family's own code for
// null (checked after the plain pointers).
template <class T>
class RequiredRecord : public Adapter {
 public:
  RequiredRecord(T* p, Status when_null) : p_(p), when_null_(when_null) {}
  Status CheckRecords() const { return p_ ? kSuccess : when_null_; }
  T* Get() const { return p_; }

 private:
  T* p_;
  Status when_null_;
};

// An input array read only when its count is positive: null is accepted
// with a count below 1.
template <class T>
class RequiredIfCount : public Adapter {
 public:
  RequiredIfCount(T* p, std::int64_t count) : p_(p), count_(count) {}
  Status CheckPointers() const { return p_ || count_ < 1 ? kSuccess : kNullPointer; }
  T* Get() const { return p_; }

 private:
  T* p_;
  std::int64_t count_;
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

// A record that the routine fills (an internal struct) and that the caller
// receives in the public layout, written by `Store(record, out)`. The caller's
// array is written only when the routine wrote the record, so an early
// failure leaves it untouched. Optional: null means not wanted.
template <class F>
struct FirstArgOf;
template <class R, class A, class... Rest>
struct FirstArgOf<R (*)(A, Rest...)> {
  using type = std::remove_cvref_t<A>;
};
template <class F>
using FirstArg = typename FirstArgOf<F>::type;

template <class Record, auto Store>
class RecordOutput : public Adapter {
  static_assert(std::is_trivially_copyable_v<Record>, "records cross the boundary as plain data");

 public:
  RecordOutput(double* p, bool required) : p_(p), required_(required) {
    std::memset(&record_, kUnwrittenByte, sizeof record_);
  }
  RecordOutput(const RecordOutput&) = delete;
  Status CheckPointers() const { return p_ || !required_ ? kSuccess : kNullPointer; }
  Record* Get() { return &record_; }
  void Finish() const {
    if (p_ && !Unwritten()) Store(record_, p_);
  }

 private:
  // All bits set: as a double, a NaN that no arithmetic produces.
  static constexpr unsigned char kUnwrittenByte = 0xff;
  bool Unwritten() const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record_);
    for (std::size_t i = 0; i < sizeof record_; ++i)
      if (bytes[i] != kUnwrittenByte) return false;
    return true;
  }
  Record record_;
  double* p_;
  bool required_;
};

// An array of n 64-bit integers the routine reads as 32-bit values: narrowed
// element by element into a scratch copy (rule 4, after every pointer check).
// Nothing is copied for n < 1, and the routine then gets null.
class Int32Copy : public Adapter {
 public:
  Int32Copy(const std::int64_t* p, std::int64_t n) : p_(p), n_(n) {}
  Int32Copy(const Int32Copy&) = delete;
  Status Narrow() const { return FitsInt32(n_) ? kSuccess : kOverflow; }
  Status CheckPointers() const { return p_ ? kSuccess : kNullPointer; }
  Status CheckShape() {
    if (n_ < 1) return kSuccess;
    const auto n = static_cast<std::size_t>(n_);
    if (Status s = copy_.Allocate(n)) return s;
    for (std::size_t i = 0; i < n; ++i) {
      if (!FitsInt32(p_[i])) return kOverflow;
      copy_[i] = static_cast<std::int32_t>(p_[i]);
    }
    return kSuccess;
  }
  const std::int32_t* Get() const { return copy_.data(); }

 private:
  const std::int64_t* p_;
  std::int64_t n_;
  Scratch<std::int32_t> copy_;
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
  (void)(((s = a.CheckRecords()) == kSuccess) && ...);
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
Required<const T> In(const T* p) {
  return Required<const T>(p);
}
template <class T>
Required<T> Out(T* p) {
  return Required<T>(p);
}
template <class T>
RequiredRecord<const T> In(const T* p, Status when_null) {
  return RequiredRecord<const T>(p, when_null);
}
template <class T>
RequiredRecord<T> Out(T* p, Status when_null) {
  return RequiredRecord<T>(p, when_null);
}
template <class T>
RequiredIfCount<const T> InIfCount(const T* p, std::int64_t count) {
  return RequiredIfCount<const T>(p, count);
}
template <class T>
OutputOrInput<T> OutOr(T* out, T* in) {
  return OutputOrInput<T>(out, in);
}
template <class T>
OutputOrInput<T> OutOr(T* out, const T* in) {
  // The caller asked for the result in place: the input array is writable.
  return OutputOrInput<T>(out, const_cast<T*>(in));
}
template <class T>
Discardable<T> Opt(T* p) {
  return Discardable<T>(p);
}
template <class T>
Nullable<T> Maybe(T* p) {
  return Nullable<T>(p);
}
inline WideOutput IndexOut(std::int64_t* p) { return WideOutput(p, true); }
inline WideOutput OptIndexOut(std::int64_t* p) { return WideOutput(p, false); }
inline WideOutput CountOut(std::int64_t* p) { return WideOutput(p, true); }
// An index judged by the routine (-1 beyond 32 bits, outside every array).
inline Judged Index(std::int64_t v) { return Judged(v, -1); }
// A shift judged by the routine (INT32_MIN beyond 32 bits: its magnitude
// exceeds every count).
inline Judged Shift(std::int64_t v) { return Judged(v, std::numeric_limits<std::int32_t>::min()); }
template <auto Store, class Record = FirstArg<decltype(Store)>>
RecordOutput<Record, Store> RecordOut(double* p) {
  return RecordOutput<Record, Store>(p, true);
}
template <auto Store, class Record = FirstArg<decltype(Store)>>
RecordOutput<Record, Store> OptRecordOut(double* p) {
  return RecordOutput<Record, Store>(p, false);
}

}  // namespace boundary
}  // namespace qm
