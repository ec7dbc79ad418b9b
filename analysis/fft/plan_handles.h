// Plan handles of the interleaved front ends: a record the caller holds
// between calls, owning one reference to a shared plan of the cache.
//
// The record's first field is the transform length, which the front ends
// compare with the length they need. Live records are kept in a list under
// the process-wide mutex, so that destroying a handle that was already
// destroyed, or was never created, is recognised and ignored instead of
// dropping a plan reference another caller holds. A handle may be used by
// any number of threads at once; destroying it while another thread still
// runs a transform with it is the caller's error.
#pragma once

#include <cstdint>

#include "fft/fft_engine.h"

// The C name of the record (declared opaque in qmanlys/fft.h).
struct QmFftPlanHandle {
  std::int32_t length;     // transform length
  qm::fft::FftPlan* plan;  // one reference, released by FftPlanDestroy
  QmFftPlanHandle* previous;
  QmFftPlanHandle* next;
};

namespace qm::fft {

using FftHandle = ::QmFftPlanHandle;

// A handle for length n (≥ 1) from the shared cache; null when n < 1 or the
// plan or the record cannot be made.
FftHandle* FftPlanCreate(std::int32_t n);
// Releases the handle's plan reference and frees the record; null, unknown
// and already destroyed handles are ignored.
void FftPlanDestroy(FftHandle* handle);
// Number of live handles (for tests).
int FftHandleCount();

}  // namespace qm::fft
