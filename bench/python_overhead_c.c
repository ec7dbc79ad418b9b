/* The C side of bench/python_overhead.py: times one export called from C the
 * way a C caller calls it, on the same data the Python side uses.
 *
 * Reads requests from stdin, one a line, "WORKLOAD N BATCH CLOCK", runs one
 * batch of BATCH calls on N samples and prints the time per call in ns
 * (CLOCK: cpu, the thread's CPU time, or wall), so that the Python side can
 * alternate batch by batch with it.
 * WORKLOAD: real_fft (copy of the kept input, then ZMXFunc147 in place),
 * complex_fft (copies of the kept split parts, then ZMXFunc77 in place),
 * complex_fft_interleaved (ZMXFunc263, no plan, into the caller's buffer),
 * real_fft_interleaved (ZMXFunc262, all n bins, no plan, likewise),
 * butterworth_lowpass (ZMXFunc21, order 8, into the caller's buffer). */
#include <qmanlys.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double now_ns(int cpu) {
  struct timespec t;
  clock_gettime(cpu ? CLOCK_THREAD_CPUTIME_ID : CLOCK_MONOTONIC, &t);
  return (double)t.tv_sec * 1e9 + (double)t.tv_nsec;
}

/* The signal both sides use: two sines, deterministic. */
static void fill(double* x, long n) {
  for (long i = 0; i < n; ++i) x[i] = sin(0.01 * (double)i) + 0.5 * sin(0.37 * (double)i);
}

int main(void) {
  char workload[64], clock_name[16];
  long n, batch, have = 0;
  double *x = NULL, *a = NULL, *b = NULL;
  while (scanf("%63s %ld %ld %15s", workload, &n, &batch, clock_name) == 4) {
    int kind = strcmp(workload, "real_fft") == 0                  ? 0
               : strcmp(workload, "complex_fft_interleaved") == 0 ? 1
               : strcmp(workload, "butterworth_lowpass") == 0     ? 2
               : strcmp(workload, "real_fft_interleaved") == 0    ? 3
               : strcmp(workload, "complex_fft") == 0             ? 4
                                                                  : -1;
    if (kind < 0 || n < 1 || batch < 1) {
      fprintf(stderr, "bad request %s %ld %ld\n", workload, n, batch);
      return 2;
    }
    if (n != have) {
      /* Input (2n doubles: interleaved complex for kind 1), work and output. */
      free(x);
      free(a);
      free(b);
      x = malloc(sizeof(double) * 2 * (size_t)n);
      a = malloc(sizeof(double) * 2 * (size_t)n);
      b = malloc(sizeof(double) * 2 * (size_t)n);
      if (!x || !a || !b) return 3;
      memset(a, 0, sizeof(double) * 2 * (size_t)n);
      memset(b, 0, sizeof(double) * 2 * (size_t)n);
      fill(x, 2 * n);
      have = n;
    }
    int cpu = strcmp(clock_name, "wall") != 0;
    int32_t status = 0;
    double t0 = now_ns(cpu);
    for (long j = 0; j < batch; ++j) {
      switch (kind) {
        case 0:
          memcpy(a, x, sizeof(double) * (size_t)n);
          status |= ZMXFunc147(a, b, n);
          break;
        case 1:
          status |= ZMXFunc263(x, n, 0, NULL, 0, a);
          break;
        case 2:
          status |= ZMXFunc21(x, n, 1000.0, 50.0, 8, a);
          break;
        case 3:
          status |= ZMXFunc262(x, n, 0, NULL, 0, a);
          break;
        default:
          memcpy(a, x, sizeof(double) * (size_t)n);
          memcpy(b, x + n, sizeof(double) * (size_t)n);
          status |= ZMXFunc77(a, b, n);
          break;
      }
    }
    double t1 = now_ns(cpu);
    if (status != 0) {
      fprintf(stderr, "%s: status %d\n", workload, (int)status);
      return 1;
    }
    printf("%.1f\n", (t1 - t0) / (double)batch);
    fflush(stdout);
  }
  free(x);
  free(a);
  free(b);
  return 0;
}
