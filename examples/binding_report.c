/* Loads the analysis library, reports which BLAS/LAPACK module it bound and
 * with how many threads, and prints a few status messages. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <link.h>
#include <qmanlys.h>
#include <stdio.h>
#include <string.h>

static int report_module(struct dl_phdr_info* info, size_t size, void* data) {
  (void)size;
  (void)data;
  const char* name = info->dlpi_name;
  if (name && (strstr(name, "blas") || strstr(name, "BLAS") || strstr(name, "gomp"))) {
    printf("  loaded: %s\n", name);
  }
  return 0;
}

int main(void) {
  printf("BLAS/LAPACK modules in this process:\n");
  dl_iterate_phdr(report_module, NULL);
  /* The library loads its BLAS privately; ask the system OpenBLAS, when that
   * is the one in use, for its thread count. */
  void* openblas = dlopen("libopenblas.so.0", RTLD_NOW | RTLD_NOLOAD);
  if (openblas) {
    int (*get_threads)(void) = (int (*)(void))dlsym(openblas, "openblas_get_num_threads");
    if (get_threads) printf("BLAS threads: %d (ZMX_NUM_THREADS in analysis.ini)\n", get_threads());
    dlclose(openblas);
  }

  const int32_t codes[] = {0, 20003, -20003, -20046, -20078, 1};
  printf("Status messages:\n");
  for (size_t i = 0; i < sizeof codes / sizeof codes[0]; ++i) {
    printf("  %6d  %s\n", (int)codes[i], ZMXFunc240(codes[i]));
  }
  return 0;
}
