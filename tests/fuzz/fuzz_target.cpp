// libFuzzer entry: one input, one checked call (fuzz_core.h). A failed check
// prints the call on one line and aborts, so libFuzzer records the input.
#include <cstdio>
#include <cstdlib>

#include "fuzz_core.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static unsigned long skipped = 0;
  const qmfuzz::Report rep = qmfuzz::RunOne(data, size);
  if (rep.outcome == qmfuzz::Outcome::kFailed) {
    std::fprintf(stderr, "FUZZ FINDING: %s\n", rep.message.c_str());
    std::abort();
  }
  // Skipped inputs (unknown export, too short, beyond the size cap) are no
  // finding; the first few are named, then every ten-thousandth.
  if (rep.outcome == qmfuzz::Outcome::kSkipped && rep.message != "arrays beyond the fuzzer's size cap") {
    if (++skipped <= 5 || skipped % 10000 == 0)
      std::fprintf(stderr, "fuzz: input skipped (%s) [%lu skipped]\n", rep.message.c_str(), skipped);
  }
  return 0;
}
