// Heap allocation counter of a benchmark program: its malloc family
// forwards to the C library's and counts calls while `g_counting` is set.
// Include from the program's one source file only.
#pragma once

#include <cstddef>

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);

namespace {
bool g_counting = false;
long g_allocations = 0;
}  // namespace

extern "C" void* malloc(size_t n) {
  if (g_counting) ++g_allocations;
  return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t m) {
  if (g_counting) ++g_allocations;
  return __libc_calloc(n, m);
}
extern "C" void* realloc(void* p, size_t n) {
  if (g_counting) ++g_allocations;
  return __libc_realloc(p, n);
}
