// FFT plans: factorisation, twiddle tables, Rader data, and the
// reference-counted plan cache.
//
// A plan is built outside the process-wide mutex (building may acquire the
// sub-plan of a Rader stage, which takes the mutex itself); the cache is
// looked up again before the new plan is inserted, and a plan that lost the
// race is freed (the pattern of pocketfft's cache).
//
// The cache is one list of every plan (most recently acquired first, so that
// repeated lengths are found at once) and, through the same records, a list
// of the idle plans ordered by their last use by a caller. A release that
// leaves a plan idle charges its memory (with the sub-plans it holds) to the
// idle budget and unlinks the oldest idle plans beyond the budget; they are
// freed after the mutex is let go, since freeing a plan releases its
// sub-plans. A sub-plan released that way keeps the age of its own last use,
// so that it goes next unless its length was used since.
#include <new>

#include "fft/fft_engine.h"
#include "fft/fft_lanes.h"
#include "frame/exact_trig.h"
#include "frame/process_mutex.h"
#include "frame/workspace.h"

namespace qm::fft {
namespace {

// Radices with generated kernels, in the order in which they are tried:
// large radices first, so that a length takes few passes. 10 leads so that
// decimal lengths (10^k and their multiples) take few passes too: they
// split into radix-10 stages instead of a power of two and a run of radix-5
// stages: 1000 = 10·10·10 rather than 8·5·5·5, 6000 = 2·3·10·10·10.
constexpr std::int32_t kRadixTable[] = {10, 43, 41, 37, 32, 31, 29, 19, 18, 17, 16,
                                        14, 13, 11, 9,  8,  7,  5,  4,  3,  2};
static_assert(IsOrderOfKernelRadices(kRadixTable),
              "the preference order must list each radix of the kernel registry once");
constexpr std::int32_t kRaderThreshold = 50;

// Guarded by the process mutex (ProcessLock).
struct CacheState {
  FftPlan* head = nullptr;  // every plan, most recently acquired first
  FftPlan* idle_oldest = nullptr;
  FftPlan* idle_newest = nullptr;
  int idle_count = 0;
  std::size_t idle_bytes = 0;
  std::uint64_t clock = 0;  // stamps of use
  FftIdleLimits limits;
};
CacheState cache_state;

std::atomic<std::int64_t> build_count{0};

template <class T>
bool AllocArray(T** out, std::size_t count) {
  void* block = nullptr;
  if (WorkspaceAlloc(&block, count * sizeof(T)) != kSuccess) return false;
  *out = static_cast<T*>(block);
  return true;
}

// The roots of unity of one plan: cos and sin of 2π·k/d for the divisors d
// of the plan's length n, from one first-octant table of the n-th roots (the
// values of CosSinTwoPiFraction bit for bit, for an eighth of its work when
// 4 divides n). Built on first use; null storage until then.
class RootTable {
 public:
  explicit RootTable(std::int64_t n) : n_(n) {}
  RootTable(const RootTable&) = delete;
  RootTable& operator=(const RootTable&) = delete;
  ~RootTable() { WorkspaceFree(storage_); }
  bool Ensure() {
    if (storage_) return true;
    if (!AllocArray(&storage_, static_cast<std::size_t>(TwoPiFractionTable::StorageSize(n_))))
      return false;
    table_.Build(n_, storage_);
    return true;
  }
  // cos and sin of 2π·k/d, d dividing n; after Ensure().
  void CosSin(std::int64_t k, std::int64_t d, double* c, double* s) const {
    table_.CosSin(k * (n_ / d), c, s);
  }
  // The same with k/d given as e/n (e = k·n/d): no division.
  void CosSinOfN(std::int64_t e, double* c, double* s) const { table_.CosSin(e, c, s); }

 private:
  std::int64_t n_;
  double* storage_ = nullptr;
  TwoPiFractionTable table_;
};

// Records the factors of n (radix table first, then trial division).
bool Factor(FftPlan* p, std::int32_t n) {
  auto record = [&](std::int32_t f, std::int32_t kind) {
    if (p->factor_count == kFftMaxFactors) return false;
    p->factors[p->factor_count] = f;
    p->stage_kinds[p->factor_count] = kind;
    ++p->factor_count;
    return true;
  };
  std::int32_t rest = n;
  for (std::int32_t r : kRadixTable) {
    if (rest == 1) break;
    while (rest % r == 0) {
      if (!record(r, kFftFixedKernel)) return false;
      rest /= r;
    }
  }
  auto primeKind = [](std::int32_t d) {
    return d < kRaderThreshold ? kFftGenericPrime : kFftRader;
  };
  for (std::int32_t d = 3; rest > 1 && static_cast<std::int64_t>(d) * d <= rest; d += 2) {
    while (rest % d == 0) {
      if (!record(d, primeKind(d))) return false;
      rest /= d;
    }
  }
  if (rest > 1 && !record(rest, primeKind(rest))) return false;
  // Ascending order, each kind staying with its factor.
  for (int i = 0; i < p->factor_count; ++i)
    for (int j = i + 1; j < p->factor_count; ++j)
      if (p->factors[j] < p->factors[i]) {
        std::swap(p->factors[i], p->factors[j]);
        std::swap(p->stage_kinds[i], p->stage_kinds[j]);
      }
  return true;
}

std::int64_t PowMod(std::int64_t b, std::int64_t e, std::int64_t m) {
  std::int64_t r = 1;
  b %= m;
  while (e > 0) {
    if (e & 1) r = r * b % m;
    b = b * b % m;
    e >>= 1;
  }
  return r;
}

// Smallest primitive root of the prime p.
std::int64_t PrimitiveRoot(std::int64_t p) {
  std::int64_t primes[32];
  int count = 0;
  std::int64_t rest = p - 1;
  for (std::int64_t d = 2; d * d <= rest; ++d) {
    if (rest % d) continue;
    primes[count++] = d;
    while (rest % d == 0) rest /= d;
  }
  if (rest > 1) primes[count++] = rest;
  for (std::int64_t g = 2; g < p; ++g) {
    bool ok = true;
    for (int i = 0; i < count && ok; ++i) ok = PowMod(g, (p - 1) / primes[i], p) != 1;
    if (ok) return g;
  }
  return 1;  // p = 2 (not used: 2 has a kernel)
}

// An owned table of `count` elements, its bytes added to *bytes.
template <class T>
bool Table(FftTable<T>* table, std::size_t count, std::size_t* bytes) {
  if (!table->Allocate(count)) return false;
  *bytes += count * sizeof(T);
  return true;
}

bool BuildRader(FftStage* st, std::int32_t p, const RootTable& roots, std::size_t* bytes) {
  FftRaderData& rd = st->rader;
  const std::int32_t q = p - 1;
  if (!rd.sub.Acquire(q)) return false;
  if (!Table(&rd.power, p, bytes) || !Table(&rd.inverse_power, p, bytes) ||
      !Table(&rd.kernel_re, q, bytes) || !Table(&rd.kernel_im, q, bytes))
    return false;
  const std::int64_t g = PrimitiveRoot(p);
  const std::int64_t ginv = PowMod(g, p - 2, p);
  std::int64_t a = 1, b = 1;
  for (std::int32_t i = 0; i < q; ++i) {
    rd.power[i] = static_cast<std::int32_t>(a);
    rd.inverse_power[i] = static_cast<std::int32_t>(b);
    a = a * g % p;
    b = b * ginv % p;
  }
  rd.power[q] = rd.inverse_power[q] = 0;
  // Kernel c[i] = e^(−2πi·g^(−i)/p), transformed and scaled by 1/(p − 1).
  Scratch<double> cr, ci;
  bool ok = cr.Allocate(q) == kSuccess && ci.Allocate(q) == kSuccess;
  if (ok) {
    for (std::int32_t i = 0; i < q; ++i) {
      double c, s;
      roots.CosSin(rd.inverse_power[i], p, &c, &s);
      cr[i] = c;
      ci[i] = -s;
    }
    ok = FftComplexForward(rd.sub, cr.data(), ci.data(), rd.kernel_re, rd.kernel_im, 1, 1, q) ==
         kSuccess;
    const double scale = 1.0 / q;
    for (std::int32_t i = 0; ok && i < q; ++i) {
      rd.kernel_re[i] *= scale;
      rd.kernel_im[i] *= scale;
    }
  }
  return ok;
}

void Release(FftPlan* plan, bool byCaller);

// Frees a plan that no thread can reach any more, outside the mutex. The
// sub-plans it holds are released without counting as a use (or, when the
// whole cache goes, just let go of: they are freed in their own turn).
void DestroyPlan(FftPlan* p, bool releaseSubPlans) {
  if (!p) return;
  FftPlan* subs[kFftMaxFactors + 1];
  int count = 0;
  for (int s = 0; s < p->factor_count; ++s)
    if (FftPlan* sub = p->stage_data[s].rader.sub.Forget()) subs[count++] = sub;
  if (FftRealData* rd = p->real_data.load(std::memory_order_acquire))
    if (FftPlan* half = rd->half.Forget()) subs[count++] = half;
  p->~FftPlan();
  WorkspaceFree(p);
  if (releaseSubPlans)
    for (int i = 0; i < count; ++i) Release(subs[i], false);
}

FftPlan* BuildPlan(std::int32_t n) {
  build_count.fetch_add(1, std::memory_order_relaxed);
  void* block = nullptr;
  if (WorkspaceAlloc(&block, sizeof(FftPlan)) != kSuccess) return nullptr;
  FftPlan* p = new (block) FftPlan();
  p->length = n;
  std::size_t* bytes = &p->table_bytes;
  *bytes = sizeof(FftPlan);
  bool ok = Factor(p, n);
  RootTable roots(n);
  const fft::KernelTables tables = fft::CurrentKernelTables();
  std::int32_t L = n;
  for (int s = 0; ok && s < p->factor_count; ++s) {
    const std::int32_t r = p->factors[s];
    const std::int32_t m = L / r;
    FftStage& st = p->stage_data[s];
    st.remaining = L;
    if (p->stage_kinds[s] == kFftFixedKernel) {
      p->kernels[s].real_first = tables.real_first[r];
      p->kernels[s].real_twiddle = tables.real_twiddle[r];
      p->kernels[s].complex_first = tables.complex_first[r];
      p->kernels[s].complex_twiddle = tables.complex_twiddle[r];
    }
    const std::size_t count = static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(m - 1);
    if (count > 0) {
      ok = roots.Ensure() && Table(&st.twiddle_cos, count, bytes) &&
           Table(&st.twiddle_sin, count, bytes);
      // 2π·j·k/L = 2π·e/n with e = (j·k mod L)·(n/L), stepped through j.
      const std::int64_t scale = n / L;
      for (std::int32_t k = 1; ok && k < r; ++k) {
        double* c = st.twiddle_cos + static_cast<std::size_t>(k - 1) * (m - 1);
        double* sn = st.twiddle_sin + static_cast<std::size_t>(k - 1) * (m - 1);
        std::int64_t jk = 0;  // j·k mod L
        for (std::int32_t j = 1; j < m; ++j) {
          jk += k;
          if (jk >= L) jk -= L;
          double cv, sv;
          roots.CosSinOfN(jk * scale, &cv, &sv);
          c[j - 1] = cv;
          sn[j - 1] = -sv;
        }
      }
    }
    if (ok && p->stage_kinds[s] == kFftGenericPrime) {
      ok = roots.Ensure() && Table(&st.root_cos, r, bytes) && Table(&st.root_sin, r, bytes);
      for (std::int32_t q = 0; ok && q < r; ++q)
        roots.CosSin(q, r, &st.root_cos[q], &st.root_sin[q]);
    }
    if (ok && p->stage_kinds[s] == kFftRader) {
      ok = roots.Ensure() && BuildRader(&st, r, roots, bytes);
      if (ok) {
        const std::size_t need = 4 * static_cast<std::size_t>(r) +
                                 4 * static_cast<std::size_t>(r - 1) + st.rader.sub->work_size;
        if (need > p->work_size) p->work_size = need;
      }
    }
    L = m;
  }
  if (!ok) {
    DestroyPlan(p, true);
    return nullptr;
  }
  if (p->factor_count == 2 && p->stage_kinds[0] == kFftFixedKernel &&
      p->stage_kinds[1] == kFftFixedKernel) {
    if (p->factors[0] == 2) p->fused = tables.complex_pair[p->factors[1]];
    if (p->factors[0] == 4) p->fused = tables.complex_quad[p->factors[1]];
    if (p->factors[0] == 8) p->fused = tables.complex_octet[p->factors[1]];
  }
  return p;
}

// --- The cache (every function named ...Locked runs under the mutex) ---

FftPlan* FindLocked(std::int32_t n) {
  for (FftPlan* p = cache_state.head; p; p = p->cache.next)
    if (p->length == n) return p;
  return nullptr;
}

void LinkFrontLocked(FftPlan* p) {
  p->cache.previous = nullptr;
  p->cache.next = cache_state.head;
  if (cache_state.head) cache_state.head->cache.previous = p;
  cache_state.head = p;
}

void UnlinkLocked(FftPlan* p) {
  FftCacheEntry& e = p->cache;
  if (e.previous)
    e.previous->cache.next = e.next;
  else
    cache_state.head = e.next;
  if (e.next) e.next->cache.previous = e.previous;
  e.previous = e.next = nullptr;
}

// Bytes a plan keeps alive: its own, its real data's and its sub-plans'
// (a sub-plan shared by two stages or two plans is counted for each).
std::size_t FootprintLocked(const FftPlan* p) {
  std::size_t bytes = p->table_bytes;
  for (int s = 0; s < p->factor_count; ++s)
    if (const FftPlan* sub = p->stage_data[s].rader.sub) bytes += FootprintLocked(sub);
  if (const FftRealData* rd = p->real_data.load(std::memory_order_acquire)) {
    bytes += rd->bytes;
    if (rd->half) bytes += FootprintLocked(rd->half);
  }
  return bytes;
}

// Enters an unreferenced plan into the idle list, by its last use.
void IdleInsertLocked(FftPlan* p) {
  FftCacheEntry& e = p->cache;
  e.idle = true;
  e.idle_bytes = FootprintLocked(p);
  cache_state.idle_bytes += e.idle_bytes;
  ++cache_state.idle_count;
  FftPlan* newer = nullptr;
  FftPlan* older = cache_state.idle_newest;
  while (older && older->cache.last_use > e.last_use) {
    newer = older;
    older = older->cache.idle_older;
  }
  e.idle_older = older;
  e.idle_newer = newer;
  if (older)
    older->cache.idle_newer = p;
  else
    cache_state.idle_oldest = p;
  if (newer)
    newer->cache.idle_older = p;
  else
    cache_state.idle_newest = p;
}

void IdleRemoveLocked(FftPlan* p) {
  FftCacheEntry& e = p->cache;
  if (e.idle_older)
    e.idle_older->cache.idle_newer = e.idle_newer;
  else
    cache_state.idle_oldest = e.idle_newer;
  if (e.idle_newer)
    e.idle_newer->cache.idle_older = e.idle_older;
  else
    cache_state.idle_newest = e.idle_older;
  e.idle_older = e.idle_newer = nullptr;
  e.idle = false;
  cache_state.idle_bytes -= e.idle_bytes;
  e.idle_bytes = 0;
  --cache_state.idle_count;
}

// Unlinks the oldest idle plan and chains it (through cache.next) to *chain.
void EvictOldestLocked(FftPlan** chain) {
  FftPlan* p = cache_state.idle_oldest;
  IdleRemoveLocked(p);
  UnlinkLocked(p);
  p->cache.next = *chain;
  *chain = p;
}

// The idle plans beyond the limits, oldest first; the newest always stays.
FftPlan* TrimLocked() {
  FftPlan* chain = nullptr;
  const FftIdleLimits& lim = cache_state.limits;
  while (cache_state.idle_count > 1 &&
         (cache_state.idle_count > lim.plans || cache_state.idle_bytes > lim.bytes))
    EvictOldestLocked(&chain);
  return chain;
}

void DestroyChain(FftPlan* chain) {
  while (chain) {
    FftPlan* next = chain->cache.next;
    DestroyPlan(chain, true);
    chain = next;
  }
}

// The cached plan of length n with one more reference, or null.
FftPlan* TakeLocked(std::int32_t n) {
  FftPlan* p = FindLocked(n);
  if (!p) return nullptr;
  if (p->cache.idle) IdleRemoveLocked(p);
  ++p->references;
  p->cache.last_use = ++cache_state.clock;
  if (p != cache_state.head) {
    UnlinkLocked(p);
    LinkFrontLocked(p);
  }
  return p;
}

// Drops one reference; `byCaller` counts the release as a use (a plan
// freed with its parent releases its sub-plans without).
void Release(FftPlan* plan, bool byCaller) {
  if (!plan) return;
  FftPlan* evicted = nullptr;
  {
    ProcessLock lock;
    if (byCaller) plan->cache.last_use = ++cache_state.clock;
    if (--plan->references == 0) {
      IdleInsertLocked(plan);
      evicted = TrimLocked();
    }
  }
  DestroyChain(evicted);
}

}  // namespace

FftPlan::~FftPlan() {
  if (FftRealData* rd = real_data.load(std::memory_order_acquire)) {
    rd->~FftRealData();
    WorkspaceFree(rd);
  }
}

namespace {
std::atomic<bool> portable_kernels{false};
}  // namespace

void SetPortableKernels(bool portable) {
  portable_kernels.store(portable, std::memory_order_relaxed);
}

KernelTables CurrentKernelTables() {
  static const bool wide = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  if (wide && !portable_kernels.load(std::memory_order_relaxed))
    return {avx2::kComplexFirstKernels, avx2::kComplexTwiddleKernels,
            avx2::kRealFirstKernels,    avx2::kRealTwiddleKernels,
            avx2::kComplexPairKernels,  avx2::kComplexQuadKernels,
            avx2::kComplexOctetKernels, true};
  return {kComplexFirstKernels, kComplexTwiddleKernels, kRealFirstKernels,    kRealTwiddleKernels,
          kComplexPairKernels,  kComplexQuadKernels,    kComplexOctetKernels, false};
}

bool FftWideLanes() { return CurrentKernelTables().wide; }

const FftRealData* RealDataOf(const FftPlan* plan) {
  if (FftRealData* rd = plan->real_data.load(std::memory_order_acquire)) return rd;
  const std::int32_t n = plan->length;
  const std::int32_t h = n / 2;
  void* block = nullptr;
  if (WorkspaceAlloc(&block, sizeof(FftRealData)) != kSuccess) return nullptr;
  FftRealData* built = new (block) FftRealData();
  built->bytes = sizeof(FftRealData);
  built->wide = CurrentKernelTables().wide;
  bool ok = built->half.Acquire(h) && Table(&built->cos, h / 2 + 1, &built->bytes) &&
            Table(&built->sin, h / 2 + 1, &built->bytes);
  // k and n/4 - k exchange cosine and sine exactly (when 4 divides n), so
  // the first eighth of the turn gives the whole quarter.
  const std::int32_t direct = n % 4 == 0 ? n / 8 : h / 2;
  for (std::int32_t k = 0; ok && k <= direct; ++k) {
    double c, s;
    CosSinTwoPiFraction(k, n, &c, &s);
    built->cos[k] = c;
    built->sin[k] = -s;
    if (n % 4 == 0) {
      built->cos[n / 4 - k] = s;
      built->sin[n / 4 - k] = -c;
    }
  }
  FftRealData* winner = nullptr;
  if (ok) {
    ProcessLock lock;
    FftRealData* expected = nullptr;
    if (plan->real_data.compare_exchange_strong(expected, built, std::memory_order_acq_rel))
      winner = built;
    else
      winner = expected;
  }
  if (winner != built) {
    built->~FftRealData();
    WorkspaceFree(built);
  }
  return winner;
}

FftPlan* FftPlanAcquire(std::int32_t n) {
  if (n < 1) return nullptr;
  {
    ProcessLock lock;
    if (FftPlan* p = TakeLocked(n)) return p;
  }
  FftPlan* built = BuildPlan(n);
  if (!built) return nullptr;
  FftPlan* winner = nullptr;
  {
    ProcessLock lock;
    winner = TakeLocked(n);
    if (!winner) {
      built->references = 1;
      built->cache.last_use = ++cache_state.clock;
      LinkFrontLocked(built);
      winner = built;
      built = nullptr;
    }
  }
  DestroyPlan(built, true);  // another thread inserted this length first
  return winner;
}

void FftPlanRelease(FftPlan* plan) { Release(plan, true); }

FftIdleLimits SetFftIdleLimits(FftIdleLimits limits) {
  FftIdleLimits former;
  FftPlan* evicted = nullptr;
  {
    ProcessLock lock;
    former = cache_state.limits;
    cache_state.limits = limits;
    evicted = TrimLocked();
  }
  DestroyChain(evicted);
  return former;
}

void FftReleaseIdlePlans() {
  // Freeing a plan may leave its sub-plans idle: repeat until none is.
  for (;;) {
    FftPlan* evicted = nullptr;
    {
      ProcessLock lock;
      while (cache_state.idle_oldest) EvictOldestLocked(&evicted);
    }
    if (!evicted) return;
    DestroyChain(evicted);
  }
}

void FftPlanCacheClose() {
  FftPlan* all = nullptr;
  {
    ProcessLock lock;
    all = cache_state.head;
    const FftIdleLimits limits = cache_state.limits;
    cache_state = CacheState();
    cache_state.limits = limits;
  }
  while (all) {
    FftPlan* next = all->cache.next;
    DestroyPlan(all, false);
    all = next;
  }
}

int FftCachedPlanCount() {
  ProcessLock lock;
  int count = 0;
  for (FftPlan* p = cache_state.head; p; p = p->cache.next) ++count;
  return count;
}

int FftIdlePlanCount() {
  ProcessLock lock;
  return cache_state.idle_count;
}

std::size_t FftIdlePlanBytes() {
  ProcessLock lock;
  return cache_state.idle_bytes;
}

bool FftPlanIsCached(std::int32_t n) {
  ProcessLock lock;
  return FindLocked(n) != nullptr;
}

std::int64_t FftPlanBuildCount() { return build_count.load(std::memory_order_relaxed); }

std::int32_t FftPlanReferenceCount(const FftPlan* plan) {
  ProcessLock lock;
  return plan ? plan->references : 0;
}

}  // namespace qm::fft
