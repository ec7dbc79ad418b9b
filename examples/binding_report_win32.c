/* Windows: loads the analysis library, reports which BLAS/LAPACK modules it
 * bound (they sit in the process beside qmanlys.dll once it is loaded) and
 * prints a few status messages. */
#include <qmanlys.h>
#include <stdio.h>
#include <windows.h>

static void report_module(const char* name) {
  char path[MAX_PATH];
  HMODULE module = GetModuleHandleA(name);
  if (module && GetModuleFileNameA(module, path, sizeof path)) {
    printf("  loaded: %s\n", path);
  } else {
    printf("  not loaded: %s\n", name);
  }
}

int main(void) {
  printf("BLAS/LAPACK modules in this process:\n");
  report_module("libiomp5md.dll");
  report_module("GX090000_BLASLAPACK.dll");

  const int32_t codes[] = {0, 20003, -20003, -20046, -20078, 1};
  printf("Status messages:\n");
  for (size_t i = 0; i < sizeof codes / sizeof codes[0]; ++i) {
    printf("  %6d  %s\n", (int)codes[i], ZMXFunc240(codes[i]));
  }
  return 0;
}
