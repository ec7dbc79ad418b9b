// The Windows stand-in for GX090000_BLASLAPACK.dll: the stubs of the POSIX
// fake, with the thread-count setter under the name the Windows module uses.
#define openblas_set_num_threads MKL_Set_Num_Threads
#include "frame/fakes/fake_blas.cpp"
