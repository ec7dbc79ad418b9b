/*
 * qmanlys: numerical analysis routines for measurement software.
 *
 * C interface of libqmanlys.so. Link with `pkg-config --cflags --libs qmanlys`
 * or, from CMake, find_package(qmanlys) and target qmanlys::qmanlys.
 *
 * Conventions shared by every export:
 *  - The result is a status code (int32_t): 0 success, negative an error (the
 *    outputs are not valid), positive a warning (the outputs are valid).
 *    ZMXFunc240 turns a code into its message.
 *  - Sizes (counts, rows, columns, lengths) are int64_t; a size that does not
 *    fit in 32 bits gives -20046 before anything is read or written.
 *  - A null pointer where an array or a result is required gives -20008
 *    ("The input arrays do not contain the correct number of data values for
 *    this function."), checked right after the sizes. Output arrays marked
 *    "optional" may be null: the result then overwrites the (first) input.
 *    An output array may also be one of the inputs.
 *  - Real arrays are contiguous doubles; matrices are row-major.
 *  - Index outputs are 0-based int64_t; -1 means none.
 *  - Exports that need BLAS/LAPACK return -20078 when no BLAS/LAPACK module
 *    could be bound when the library loaded.
 *  - Memory that an export hands out is released with ZMXFunc234.
 *  - Every export may be called from several threads at once.
 */
#ifndef QMANLYS_H
#define QMANLYS_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#include "qmanlys/frame.h"
#include "qmanlys/arith.h"
#include "qmanlys/signal_scaling.h"
#include "qmanlys/windows.h"
#include "qmanlys/stats_descriptive.h"
#include "qmanlys/fft.h"
#include "qmanlys/generate.h"
#include "qmanlys/filters_iir.h"
#include "qmanlys/filters_fir.h"
#include "qmanlys/linalg.h"
#include "qmanlys/measure.h"
#include "qmanlys/peaks.h"
#include "qmanlys/special.h"

#ifdef __cplusplus
}
#endif

#endif /* QMANLYS_H */
