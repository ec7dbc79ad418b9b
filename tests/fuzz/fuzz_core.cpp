// The fuzzer's core (see fuzz_core.h): argument pools, buffers, the call and
// its checks. The export table itself is generated from the signature table
// (fuzz_table.inc, written by gen_fuzz_table.py at build time).
#include "fuzz_core.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "qmanlys.h"

namespace qmfuzz {
namespace {

enum Role { kIn, kInOpt, kOut, kOutOpt, kIo, kState, kSize, kNull, kAlloc, kRelease };
enum Kind { kScalar, kPointer, kArray, kHandle, kCallback, kText };
enum Base { kF64, kI32, kI64, kC128 };
enum RetKind { kStatus, kF64Result, kDiscard, kVoid, kStr, kHandleResult };

// Saturating integer for shape expressions: no expression over hostile
// counts can overflow or divide by zero inside the fuzzer itself.
struct S {
  __int128 v = 0;
  S() = default;
  S(long long x) : v(x) {}  // NOLINT: literals and values convert implicitly
  static S Sat(__int128 x) {
    const __int128 lim = static_cast<__int128>(1) << 80;
    S s;
    s.v = x > lim ? lim : (x < -lim ? -lim : x);
    return s;
  }
  explicit operator bool() const { return v != 0; }
};
inline S operator+(S a, S b) { return S::Sat(a.v + b.v); }
inline S operator-(S a, S b) { return S::Sat(a.v - b.v); }
inline S operator-(S a) { return S::Sat(-a.v); }
inline S operator*(S a, S b) {  // both within 2^80: the product may not fit
  const __int128 big = static_cast<__int128>(1) << 100;
  __int128 r;
  if (__builtin_mul_overflow(a.v, b.v, &r)) r = (a.v < 0) != (b.v < 0) ? -big : big;
  return S::Sat(r);
}
inline S operator/(S a, S b) { return b.v == 0 ? S(0) : S::Sat(a.v / b.v); }
inline S operator%(S a, S b) { return b.v == 0 ? S(0) : S::Sat(a.v % b.v); }
inline bool operator<(S a, S b) { return a.v < b.v; }
inline bool operator>(S a, S b) { return a.v > b.v; }
inline bool operator<=(S a, S b) { return a.v <= b.v; }
inline bool operator>=(S a, S b) { return a.v >= b.v; }
inline bool operator==(S a, S b) { return a.v == b.v; }
inline bool operator!=(S a, S b) { return a.v != b.v; }
inline bool operator!(S a) { return a.v == 0; }
inline S qmin(S a, S b) { return a.v < b.v ? a : b; }
inline S qmax(S a, S b) { return a.v < b.v ? b : a; }

struct Env;
using ShapeFn = S (*)(const Env&);

struct ParamDesc {
  const char* name;
  Role role;
  Kind kind;
  Base base;
  int handle_kind;
  int ndim;
  ShapeFn shape[2];
  bool counted;  // a 64-bit count the boundary narrows
  int callback;
  // in~ out~ state~: the C interface takes null here (not wanted, or an
  // output whose result then goes over an input), so null is no finding.
  bool nullable;
  int32_t null_status;  // the export's own status for a null pointer here (0: -20008)
  bool work;  // an amount of work the caller chooses: i32 at most 1000, i64 in range at most 64
};

struct CallResult {
  int32_t status = 0;
  double value = 0;
  const char* text = nullptr;
  void* handle = nullptr;
};

using CallFn = void (*)(void* const*, CallResult*);

struct ExportDesc {
  int number;
  const char* name;
  RetKind ret;
  int handle_kind;
  int nparams;
  const ParamDesc* params;
  CallFn call;
};

struct HandleDesc {
  const char* kind;
  int maker;
  int destroy;
  bool exclusive;
  void (*destroy_fn)(void*);
};

struct CallbackDesc {
  const char* type;
  void (*fn)();
};

// Callbacks read what they are given and answer finite values, or NaN.
thread_local int g_callback_mode = 0;
thread_local int g_callback_calls = 0;
thread_local int g_force_null = -1;  // RunOne's force_null

double CallbackStart() { return 0.25; }
double CallbackMix(double r, double x) { return std::isfinite(x) ? r * 0.5 + x * 1e-3 : r * 0.5; }
double CallbackEnd(double r) {
  ++g_callback_calls;
  switch (g_callback_mode) {
    case 1: return std::numeric_limits<double>::quiet_NaN();
    case 2: return g_callback_calls % 7 == 0 ? std::numeric_limits<double>::quiet_NaN() : r;
    case 3: return 1.0;
    default: return r;
  }
}


// ---------------------------------------------------------------------------
// Pools. Index 0 of each is an ordinary value, so that an input of zero bytes
// past the export number is a plain valid call.

// Counts: in range (the largest a buffer the fuzzer gives can hold), then
// beyond 32 bits. In-range extremes such as INT32_MAX are not counts here: a
// plan or scratch of that length needs gigabytes by contract.
const int64_t kCounts[] = {8, 0, -1, 1, 2, 3, 4, 5, 6, 7, 9, 10, 15, 16, 17, 31, 32, 33, 63, 64,
                           65, 100, 127, 128, 129, 255, 256, 257, 511, 512, 1000, 1024, 2048, 4096,
                           -2, -4096};
const int64_t kWide[] = {int64_t{1} << 31, int64_t{1} << 40, -(int64_t{1} << 40), int64_t{1} << 32,
                         INT64_MAX, INT64_MIN, -(int64_t{1} << 31) - 1, (int64_t{1} << 31) + 1};
const int32_t kSelectors[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, -1, -2, 99, INT32_MIN,
                              INT32_MAX, 16, 31, 64, 100, 1000};
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kDoubles[] = {1.0, 0.0, -0.0, -1.0, 1e-300, 5e-324, 1e300, DBL_MAX, -DBL_MAX, kInf,
                           -kInf, kNaN, 0.5, 2.0, 0.25, 10.0, 100.0, 1000.0, 44100.0, -3.75, 0.1,
                           1e-3, 1e-8, 3.0, 1e6, DBL_MIN, -1e300, 0.999, 1.5, 20.0};
const double kSpecials[] = {0.0, -0.0, 1e-300, 5e-324, 1e300, DBL_MAX, -DBL_MAX, kInf, -kInf, kNaN};

template <typename T, std::size_t N>
constexpr int Count(const T (&)[N]) {
  return static_cast<int>(N);
}

constexpr int64_t kArrayCap = int64_t{1} << 16;   // elements of one array
constexpr int64_t kTotalCap = int64_t{1} << 19;   // elements of all arrays of one call
constexpr uint8_t kCanaryByte = 0xA5;

class Reader {
 public:
  Reader(const uint8_t* p, std::size_t n) : p_(p), n_(n) {}
  uint8_t Byte() { return i_ < n_ ? p_[i_++] : 0; }
  uint64_t Bytes(int k) {
    uint64_t v = 0;
    for (int j = 0; j < k; ++j) v |= static_cast<uint64_t>(Byte()) << (8 * j);
    return v;
  }

 private:
  const uint8_t* p_;
  std::size_t n_;
  std::size_t i_ = 0;
};

uint64_t SplitMix(uint64_t* s) {
  uint64_t z = (*s += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double Uniform(uint64_t* s) { return static_cast<double>(SplitMix(s) >> 11) * 0x1.0p-53; }

int64_t PickCount(Reader& r) {
  const uint8_t b = r.Byte();
  return b < 224 ? kCounts[b % Count(kCounts)] : kWide[b % Count(kWide)];
}

int32_t PickI32(Reader& r) {
  const uint8_t b = r.Byte();
  return b < 200 ? kSelectors[b % Count(kSelectors)] : static_cast<int32_t>(PickCount(r));
}

double PickDouble(Reader& r) {
  const uint8_t b = r.Byte();
  if (b >= 0xF0) {
    const uint64_t bits = r.Bytes(8);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  if (b >= 0xE0) return (static_cast<double>(r.Bytes(2)) - 32768.0) / 3276.8;
  return kDoubles[b % Count(kDoubles)];
}

std::string DoubleText(double d) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", d);
  return buf;
}

std::size_t ElemSize(Base b) { return b == kI32 ? 4 : 8; }

// One argument of the call being made.
struct Arg {
  int64_t i64 = 0;
  int32_t i32 = 0;
  double f64 = 0;
  bool null = false;
  bool optional_null = false;
  uint8_t alias_byte = 0, mode = 0;
  uint64_t seed = 0;
  int64_t elems = 0;  // array elements (c128: complex values)
  void* buf = nullptr;
  std::size_t bytes = 0;
  bool owned = false;
  int alias_of = -1;  // the array this one shares its buffer with
  bool aliased = false;
  void* cell = nullptr;  // alloc: where the library stores its pointer
  void* handle = nullptr;
  bool handle_made = false;
  void* slot = nullptr;
  std::vector<uint8_t> before;
  std::string text;
};

struct Call {
  const ExportDesc* e = nullptr;
  std::vector<Arg> a;
};

struct Env {
  const Call* c;
  mutable int depth = 0;
  S v(int i) const {
    const ParamDesc& p = c->e->params[i];
    const Arg& x = c->a[i];
    if (p.kind == kScalar) return p.base == kF64 ? FromDouble(x.f64) : S(p.base == kI32 ? x.i32 : x.i64);
    if (p.kind == kPointer && x.buf) {
      if (p.base == kF64) return FromDouble(*static_cast<const double*>(x.buf));
      if (p.base == kI32) return S(*static_cast<const int32_t*>(x.buf));
      return S(*static_cast<const int64_t*>(x.buf));
    }
    // Before its buffer exists (while the arrays are sized): the value chosen.
    if (p.kind == kPointer && !x.null)
      return p.base == kF64 ? FromDouble(x.f64) : S(p.base == kI32 ? x.i32 : x.i64);
    return S(0);
  }
  static S FromDouble(double d) {
    if (!(d == d)) return S(0);
    return S::Sat(static_cast<__int128>(std::clamp(d, -1e24, 1e24)));
  }
  S Dim(int i, int d) const {
    const ParamDesc& p = c->e->params[i];
    if (d >= p.ndim || !p.shape[d] || depth > 8) return S(d == 0 ? 0 : 1);
    ++depth;
    const S r = p.shape[d](*this);
    --depth;
    return r;
  }
  S len(int i) const { return Dim(i, 0) * (c->e->params[i].ndim == 2 ? Dim(i, 1) : S(1)); }
  S rows(int i) const { return Dim(i, 0); }
  S cols(int i) const { return Dim(i, 1); }
};

#include "fuzz_table.inc"

const ExportDesc* FindExport(int number) {
  for (int i = 0; i < kExportCount; ++i)
    if (kExports[i].number == number) return &kExports[i];
  return nullptr;
}

bool InBands(int32_t s) {
  return s == 0 || (s >= 20001 && s <= 20031) || (s <= -20001 && s >= -20141) ||
         (s <= -20308 && s >= -20332) || s == -20999;
}

bool Fits32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

uint64_t Fnv(uint64_t h, const void* p, std::size_t n) {
  const uint8_t* b = static_cast<const uint8_t*>(p);
  for (std::size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 0x100000001B3ull;
  return h;
}

void FillArray(Arg& x, Base base, const ParamDesc&) {
  uint64_t s = x.seed;
  const int64_t n = static_cast<int64_t>(x.bytes / ElemSize(base));
  if (base == kI32 || base == kI64) {
    const int64_t span = std::max<int64_t>(n, 1);
    for (int64_t i = 0; i < n; ++i) {
      int64_t v;
      switch (x.mode % 6) {
        case 0: v = i; break;
        case 1: v = 0; break;
        case 2: v = kSelectors[SplitMix(&s) % Count(kSelectors)]; break;
        case 3: v = static_cast<int64_t>(SplitMix(&s) % static_cast<uint64_t>(span)); break;
        case 4: v = 1; break;
        default: {
          const uint64_t k = SplitMix(&s) % (Count(kCounts) + Count(kWide));
          v = k < static_cast<uint64_t>(Count(kCounts)) ? kCounts[k] : kWide[k - Count(kCounts)];
          if (base == kI32) v = static_cast<int32_t>(v);
        }
      }
      if (base == kI32) static_cast<int32_t*>(x.buf)[i] = static_cast<int32_t>(v);
      else static_cast<int64_t*>(x.buf)[i] = v;
    }
    return;
  }
  double* d = static_cast<double*>(x.buf);
  const double c = kDoubles[x.seed % Count(kDoubles)];
  for (int64_t i = 0; i < n; ++i) {
    double v;
    switch (x.mode % 10) {
      case 0: v = std::sin(0.3 * static_cast<double>(i)) + 0.2 * std::cos(1.7 * static_cast<double>(i)); break;
      case 1: v = static_cast<double>(i); break;
      case 2: v = c; break;
      case 3: v = 2.0 * Uniform(&s) - 1.0; break;
      case 4:
        v = SplitMix(&s) % 8 == 0 ? kSpecials[SplitMix(&s) % Count(kSpecials)] : 2.0 * Uniform(&s) - 1.0;
        break;
      case 5: v = 0.0; break;
      case 6: v = i % 2 ? -1.0 : 1.0; break;
      case 7: v = (Uniform(&s) < 0.5 ? -1.0 : 1.0) * std::pow(10.0, 600.0 * Uniform(&s) - 300.0); break;
      case 8: v = 0.5 * static_cast<double>(i + 1); break;
      default: v = c + 1e-3 * Uniform(&s); break;
    }
    d[i] = v;
  }
}

bool BuildAndCall(Call& call, Reader& r, int depth, CallResult* res, std::string* fail,
                  uint64_t* digest, bool* skipped);

void ReleaseHandles(Call& call) {
  for (int i = 0; i < call.e->nparams; ++i) {
    Arg& x = call.a[i];
    if (x.handle_made && x.handle) kHandles[call.e->params[i].handle_kind].destroy_fn(x.handle);
    x.handle = nullptr;
  }
}

void FreeBuffers(Call& call) {
  for (Arg& x : call.a) {
    if (x.owned) std::free(x.buf);
    x.buf = nullptr;
    if (x.cell) {
      void* p = *static_cast<void**>(x.cell);
      if (p) ZMXFunc234(p);
      std::free(x.cell);
      x.cell = nullptr;
    }
  }
}

// Builds the arguments of call.e from r, makes the call and checks it.
// Returns false with *fail set on a finding; *skipped when the input asks for
// arrays beyond the fuzzer's cap.
bool BuildAndCall(Call& call, Reader& r, int depth, CallResult* res, std::string* fail,
                  uint64_t* digest, bool* skipped) {
  const ExportDesc& e = *call.e;
  call.a.assign(e.nparams, Arg{});
  bool wide = false, below_one = false, any_wide = false;
  bool ok = true;
  // Pass 1: choices in parameter order (scalars, nulls, handles, array modes).
  for (int i = 0; i < e.nparams && ok; ++i) {
    const ParamDesc& p = e.params[i];
    Arg& x = call.a[i];
    switch (p.kind) {
      case kScalar:
        if (p.base == kF64) x.f64 = PickDouble(r);
        else if (p.base == kI32) x.i32 = p.work ? std::min(PickI32(r), 1000) : PickI32(r);
        else x.i64 = PickCount(r);
        if (p.work && p.base == kI64 && Fits32(x.i64)) x.i64 = std::min<int64_t>(x.i64, 16);
        break;
      case kPointer: {
        const uint8_t b = r.Byte();
        x.null = (p.role == kInOpt || p.role == kOutOpt) ? (b & 1)
                 : p.nullable ? (b & 3) == 3 : (b & 0x1F) == 0x1F;
        if (p.base == kF64 || p.base == kC128) x.f64 = PickDouble(r);
        else if (p.base == kI32) x.i32 = PickI32(r);
        else x.i64 = PickCount(r);
        break;
      }
      case kText: {  // a NUL-terminated label, rewritten in place
        const uint8_t b = r.Byte();
        x.null = (b & 0x1F) == 0x1F;
        x.mode = r.Byte();
        break;
      }
      case kArray:
      case kCallback: {
        const uint8_t b = r.Byte();
        x.null = p.role == kNull || (p.role == kOutOpt || p.role == kInOpt ? (b & 1)
                                     : p.nullable ? (b & 3) == 3 : (b & 0x1F) == 0x1F);
        x.alias_byte = r.Byte();
        x.mode = r.Byte();
        x.seed = r.Bytes(2);
        break;
      }
      case kHandle: {
        const uint8_t b = r.Byte();
        x.null = p.role == kInOpt ? (b & 1) : (b & 0x1F) == 0x1F;
        const HandleDesc& h = kHandles[p.handle_kind];
        if (!x.null && h.maker && depth < 2) {
          Call inner;
          inner.e = FindExport(h.maker);
          CallResult ir;
          bool inner_skip = false;
          uint64_t ignored = 0;
          if (!BuildAndCall(inner, r, depth + 1, &ir, fail, &ignored, &inner_skip)) {
            *fail = "making " + std::string(p.name) + ": " + *fail;
            ok = false;
          }
          if (inner_skip) *skipped = true;
          x.handle = ir.handle;
          x.handle_made = ir.handle != nullptr;
          x.text = std::string(p.name) + (x.handle ? "=made" : "=null(refused)");
        } else {
          x.null = true;
        }
        break;
      }
    }
    if (p.kind == kScalar && p.base == kI64 && p.counted) {
      if (!Fits32(x.i64)) wide = true;
      if (x.i64 < 1) below_one = true;
    }
    // Any 64-bit size the boundary narrows comes before the null checks,
    // also one the table does not mark as a count (a histogram size).
    if (p.kind == kScalar && p.base == kI64 && !Fits32(x.i64)) any_wide = true;
    // So does a count read through a pointer (points in, points kept out).
    if (p.kind == kPointer && p.role == kSize && p.base == kI64 && !x.null && !Fits32(x.i64))
      any_wide = true;
  }
  if (!ok || *skipped) {
    ReleaseHandles(call);
    return ok;
  }
  // The null sweep (RunOne's force_null) on the call's own pointers.
  if (depth == 0 && g_force_null >= 0 && g_force_null < e.nparams && e.params[g_force_null].kind != kHandle)
    call.a[g_force_null].null = true;
  // Pass 2: shapes, buffers, contents.
  Env env{&call};
  int64_t total = 0;
  for (int i = 0; i < e.nparams; ++i) {
    const ParamDesc& p = e.params[i];
    if (p.kind != kArray) continue;
    S n = env.len(i);
    if (n < S(0)) n = S(0);
    if (n > S(kArrayCap)) {
      if (!wide) {
        *skipped = true;
        ReleaseHandles(call);
        return true;
      }
      n = S(0);  // sized by a count beyond 32 bits: nothing may be read
    }
    call.a[i].elems = static_cast<int64_t>(n.v);
    total += call.a[i].elems;
  }
  if (total > kTotalCap) {
    *skipped = true;
    ReleaseHandles(call);
    return true;
  }
  bool null_plain = false, null_handle = false;
  int null_own = -1;  // a required pointer the export checks itself, null
  bool null_input = false;  // a required input array, null
  for (int i = 0; i < e.nparams; ++i) {
    const ParamDesc& p = e.params[i];
    Arg& x = call.a[i];
    const bool required = (p.role == kIn || p.role == kOut || p.role == kIo || p.role == kState ||
                           p.role == kAlloc || p.role == kRelease) && !p.nullable;
    if (required && x.null && p.null_status && (p.kind == kPointer || p.kind == kArray)) {
      null_own = i;
      x.slot = nullptr;
      x.text = std::string(p.name) + "=null";
      continue;
    }
    switch (p.kind) {
      case kScalar:
        x.slot = p.base == kF64 ? static_cast<void*>(&x.f64)
                 : p.base == kI32 ? static_cast<void*>(&x.i32) : static_cast<void*>(&x.i64);
        x.text = std::string(p.name) + "=" +
                 (p.base == kF64 ? DoubleText(x.f64) : std::to_string(p.base == kI32 ? x.i32 : x.i64));
        break;
      case kPointer:
        if (x.null) {
          x.slot = nullptr;
          x.text = std::string(p.name) + "=null";
          if (required) null_plain = true;
          break;
        }
        x.bytes = ElemSize(p.base) * (p.base == kC128 ? 2 : 1);
        x.buf = std::malloc(x.bytes);
        x.owned = true;
        // Inputs, and values the export reads and rewrites (a count, a phase).
        if (p.role == kIn || p.role == kInOpt || p.role == kSize || p.role == kIo) {
          if (p.base == kF64) std::memcpy(x.buf, &x.f64, 8);
          else if (p.base == kC128) {
            std::memcpy(x.buf, &x.f64, 8);
            std::memcpy(static_cast<char*>(x.buf) + 8, &x.f64, 8);
          } else if (p.base == kI32) std::memcpy(x.buf, &x.i32, 4);
          else std::memcpy(x.buf, &x.i64, 8);
          x.text = std::string(p.name) + "=&" +
                   (p.base == kF64 ? DoubleText(x.f64) : std::to_string(p.base == kI32 ? x.i32 : x.i64));
        } else {
          std::memset(x.buf, kCanaryByte, x.bytes);
          x.text = std::string(p.name) + "=&out";
        }
        x.slot = x.buf;
        break;
      case kArray: {
        const std::size_t es = ElemSize(p.base) * (p.base == kC128 ? 2 : 1);
        const char* bn = p.base == kF64 ? "f64" : p.base == kI32 ? "i32" : p.base == kI64 ? "i64" : "c128";
        if (p.role == kAlloc) {
          if (x.null) {
            x.slot = nullptr;
            null_plain = true;
            x.text = std::string(p.name) + "=null";
          } else {
            x.cell = std::calloc(1, sizeof(void*));
            x.slot = x.cell;
            x.text = std::string(p.name) + "=&alloc";
          }
          break;
        }
        if (x.null) {
          x.slot = nullptr;
          x.text = std::string(p.name) + "=null";
          if (required && x.elems > 0) (p.role == kIn ? null_input : null_plain) = true;
          break;
        }
        x.bytes = static_cast<std::size_t>(x.elems) * es;
        if ((p.role == kOut || p.role == kOutOpt || p.role == kIo) && (x.alias_byte & 7) == 7) {
          for (int j = 0; j < i; ++j) {
            const ParamDesc& q = e.params[j];
            Arg& y = call.a[j];
            if (q.kind == kArray && q.role != kAlloc && y.buf && y.owned && q.base == p.base &&
                y.bytes == x.bytes && x.bytes > 0 && (q.role == kIn || q.role == kInOpt || q.role == kIo)) {
              x.buf = y.buf;
              x.alias_of = j;
              y.aliased = true;
              break;
            }
          }
        }
        if (x.alias_of < 0) {
          x.buf = std::malloc(x.bytes ? x.bytes : 1);
          x.owned = true;
          if (!x.bytes) {  // a zero-element array: any access is out of bounds
            std::free(x.buf);
            x.buf = std::malloc(0);
          }
          if (p.role == kOut || p.role == kOutOpt) std::memset(x.buf, kCanaryByte, x.bytes);
          else FillArray(x, p.base == kC128 ? kF64 : p.base, p);
        }
        x.slot = x.buf;
        x.text = std::string(p.name) + "=" + bn + "[" + std::to_string(x.elems) + "]";
        if (x.alias_of >= 0) x.text += "=" + std::string(e.params[x.alias_of].name);
        else if (p.role != kOut && p.role != kOutOpt) x.text += "#" + std::to_string(x.mode % 10);
        break;
      }
      case kText: {
        if (x.null) {
          x.slot = nullptr;
          x.text = std::string(p.name) + "=null";
          if (required) null_plain = true;
          break;
        }
        // Room for the label and the 10 characters a rewrite may add.
        static const char* const kLabels[] = {"V", "", "Vrms", "A^2", "dBm",
                                              "0123456789012345678901234567890123456789"};
        const char* label = kLabels[x.mode % 6];
        x.bytes = 64;
        x.buf = std::calloc(1, x.bytes);
        x.owned = true;
        std::memcpy(x.buf, label, std::strlen(label));
        x.slot = x.buf;
        x.text = std::string(p.name) + "=\"" + label + "\"";
        break;
      }
      case kHandle:
        x.slot = x.handle;
        if (!x.handle) {
          if (p.role == kIn) null_handle = true;
          if (x.text.empty()) x.text = std::string(p.name) + "=null";
        } else if (x.text.empty()) {
          x.text = std::string(p.name) + "=made";
        }
        break;
      case kCallback:
        if (x.null || p.callback < 0) {
          x.slot = nullptr;
          null_plain = true;
          x.text = std::string(p.name) + "=null";
        } else {
          x.slot = reinterpret_cast<void*>(kCallbacks[p.callback].fn);
          x.text = std::string(p.name) + "=model#" + std::to_string(x.mode % 4);
        }
        break;
    }
  }
  // A null input need not be refused when there is nothing to compute: every
  // output an array, and every one of them empty (a product with no rows).
  if (null_input) {
    bool empty = true, any = false;
    for (int i = 0; i < e.nparams; ++i) {
      const ParamDesc& p = e.params[i];
      if (p.role != kOut && p.role != kOutOpt && p.role != kIo && p.role != kState && p.role != kAlloc)
        continue;
      any = true;
      if (p.kind != kArray || call.a[i].elems > 0) empty = false;
    }
    if (!any || !empty || e.ret != kStatus) null_plain = true;
  }
  // Nor a null output when every input array is empty: a product over an
  // empty inner dimension returns 0 and writes nothing.
  if (null_plain && e.ret == kStatus) {
    bool inputs = false, all_empty = true;
    for (int i = 0; i < e.nparams; ++i) {
      const ParamDesc& p = e.params[i];
      if (p.kind != kArray || (p.role != kIn && p.role != kInOpt)) continue;
      inputs = true;
      if (call.a[i].elems > 0) all_empty = false;
    }
    if (inputs && all_empty) null_plain = false;
  }
  // A null out~ array may put its result over an input that can hold it (a
  // filter in place, a decimation): that input is then shared with it.
  for (int i = 0; i < e.nparams; ++i) {
    const ParamDesc& p = e.params[i];
    if (p.role != kOut || !p.nullable || p.kind != kArray || !call.a[i].null) continue;
    for (int j = 0; j < e.nparams; ++j) {
      const ParamDesc& q = e.params[j];
      Arg& y = call.a[j];
      if (q.kind == kArray && (q.role == kIn || q.role == kInOpt) && q.base == p.base &&
          y.elems >= call.a[i].elems)
        y.aliased = true;
    }
  }
  // Snapshots: every writable buffer when a count is beyond 32 bits (nothing
  // may be written), and every constant input (never written unless shared).
  for (int i = 0; i < e.nparams; ++i) {
    const ParamDesc& p = e.params[i];
    Arg& x = call.a[i];
    if (!x.buf || !x.owned) continue;
    const bool input = (p.role == kIn || p.role == kInOpt) && !x.aliased;
    if (input || wide) x.before.assign(static_cast<uint8_t*>(x.buf), static_cast<uint8_t*>(x.buf) + x.bytes);
  }
  std::vector<void*> slots(e.nparams);
  for (int i = 0; i < e.nparams; ++i) slots[i] = call.a[i].slot;
  for (int i = 0; i < e.nparams; ++i)
    if (e.params[i].kind == kCallback) g_callback_mode = call.a[i].mode % 4;
  g_callback_calls = 0;

  e.call(slots.data(), res);

  // Checks.
  std::string why;
  if (e.ret == kStatus && !InBands(res->status)) why = "status outside the documented bands";
  if (why.empty() && wide) {
    if (e.ret == kStatus && res->status != -20046 && !(below_one && res->status == -20003))
      why = "a count beyond 32 bits must give -20046";
    if (e.ret == kHandleResult && res->handle) why = "a count beyond 32 bits must give no object";
    for (int i = 0; i < e.nparams && why.empty(); ++i) {
      const Arg& x = call.a[i];
      if (!x.before.empty() && std::memcmp(x.before.data(), x.buf, x.bytes) != 0)
        why = std::string(e.params[i].name) + " written although a count is beyond 32 bits";
      if (x.cell && *static_cast<void**>(x.cell))
        why = std::string(e.params[i].name) + " allocated although a count is beyond 32 bits";
    }
  }
  if (why.empty() && !wide && e.ret == kStatus) {
    if (null_plain && res->status != -20008 && !(below_one && res->status == -20003) &&
        !(any_wide && res->status == -20046))
      why = "a required null pointer must give -20008";
    else if (null_handle && res->status >= 0)
      why = "a required null object must give an error";
    // The export's own code, unless one of its earlier checks fails first.
    else if (null_own >= 0 && !null_plain && res->status >= 0)
      why = "a null " + std::string(e.params[null_own].name) + " must give an error (" +
            std::to_string(e.params[null_own].null_status) + ")";
  }
  for (int i = 0; i < e.nparams && why.empty(); ++i) {
    const ParamDesc& p = e.params[i];
    const Arg& x = call.a[i];
    if ((p.role == kIn || p.role == kInOpt) && !x.aliased && !x.before.empty() &&
        std::memcmp(x.before.data(), x.buf, x.bytes) != 0)
      why = std::string(p.name) + " is an input and was written";
  }
  if (why.empty() && e.ret == kStr && (!res->text || std::strlen(res->text) > 4096))
    why = "no message text";
  // Digest of the outcome (status, result, outputs), for the thread phase.
  uint64_t h = 0xCBF29CE484222325ull;
  h = Fnv(h, &e.number, sizeof e.number);
  if (e.ret == kStatus) h = Fnv(h, &res->status, sizeof res->status);
  if (e.ret == kF64Result || e.ret == kDiscard) h = Fnv(h, &res->value, sizeof res->value);
  if (e.ret == kStr && res->text) h = Fnv(h, res->text, std::strlen(res->text));
  if (e.ret == kHandleResult) h = Fnv(h, "h", res->handle ? 1 : 0);
  for (int i = 0; i < e.nparams; ++i) {
    const ParamDesc& p = e.params[i];
    const Arg& x = call.a[i];
    if (x.buf && x.owned && ((p.role != kIn && p.role != kInOpt) || x.aliased)) h = Fnv(h, x.buf, x.bytes);
    if (x.cell && *static_cast<void**>(x.cell)) {
      S n = env.len(i);
      const int64_t k = n < S(0) ? 0 : (n > S(kArrayCap) ? kArrayCap : static_cast<int64_t>(n.v));
      h = Fnv(h, *static_cast<void**>(x.cell), static_cast<std::size_t>(k) * ElemSize(p.base) * (p.base == kC128 ? 2 : 1));
    }
  }
  *digest = h;
  if (!why.empty()) {
    std::string line = "ZMXFunc" + std::to_string(e.number) + " " + e.name + "(";
    for (int i = 0; i < e.nparams; ++i) line += (i ? ", " : "") + call.a[i].text;
    line += ")";
    if (e.ret == kStatus) line += " -> " + std::to_string(res->status);
    *fail = line + ": " + why;
  }
  // Released: the library's allocations, the objects made for the call (not
  // those the export itself released), and, for a nested maker, nothing else.
  for (int i = 0; i < e.nparams; ++i)
    if (e.params[i].role == kRelease) call.a[i].handle_made = false;
  ReleaseHandles(call);
  FreeBuffers(call);
  if (depth == 0 && e.ret == kHandleResult && res->handle) {
    kHandles[e.handle_kind].destroy_fn(res->handle);
    res->handle = nullptr;
  }
  return why.empty();
}

}  // namespace

Report RunOne(const uint8_t* data, std::size_t size, int force_null) {
  g_force_null = force_null;
  Report rep;
  if (size < 2) {
    rep.message = "malformed input: " + std::to_string(size) + " bytes, no export number";
    return rep;
  }
  const int number = data[0] | (data[1] << 8);
  rep.export_number = number;
  const ExportDesc* e = FindExport(number);
  if (!e) {
    rep.message = "export " + std::to_string(number) + " is not in the signature table";
    return rep;
  }
  Reader r(data + 2, size - 2);
  Call call;
  call.e = e;
  CallResult res;
  std::string fail;
  bool skipped = false;
  const bool ok = BuildAndCall(call, r, 0, &res, &fail, &rep.digest, &skipped);
  if (!ok) {
    rep.outcome = Outcome::kFailed;
    rep.message = fail;
    return rep;
  }
  if (skipped) {
    rep.message = "arrays beyond the fuzzer's size cap";
    return rep;
  }
  rep.outcome = Outcome::kPassed;
  rep.has_status = e->ret == kStatus;
  rep.status = res.status;
  return rep;
}

int ExportCount() { return kExportCount; }
int ParamCount(int number) {
  const ExportDesc* e = FindExport(number);
  return e ? e->nparams : 0;
}
int ExportNumber(int i) { return kExports[i].number; }
bool ExportReturnsStatus(int number) {
  const ExportDesc* e = FindExport(number);
  return e && e->ret == kStatus;
}

}  // namespace qmfuzz
