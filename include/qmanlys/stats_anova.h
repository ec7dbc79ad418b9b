/* Analysis of variance for one-, two- and three-factor experiments. Included by qmanlys.h inside
 * its extern "C" block.
 *
 * y holds the n observations; each factor has an array of n 0-based levels (int64_t, each
 * narrowed to 32 bits: -20046 for a level beyond 32 bits, -20001 when the copy cannot be
 * allocated; a null level array is -20008 like every null pointer). For two and three factors
 * the design is balanced with r observations per cell, and the sign of a level count selects the
 * model: positive a fixed factor, negative a random one with |count| levels. Every p-value is
 * P(F > F ratio) with the degrees of freedom of the effect and of its F ratio's denominator,
 * written after the table. A zero denominator (constant data) gives an infinite F with p 0 or a
 * NaN F with p NaN and status 0; NaN observations give NaN entries. On an error nothing is
 * written. */

/* OneWayAnova(y, levels, n, k, ssBetween, msBetween, f, p, ssWithin, msWithin, ssTotal): k levels.
 * -20003 n < 1, -20042 k < 2 or k >= n, -20001, -20043 a level outside 0..k-1, -20044 a level
 * without observations. */
int32_t ZMXFunc6(const double* y, const int64_t* levels, int64_t n, int64_t k, double* ss_between,
                 double* ms_between, double* f, double* p, double* ss_within, double* ms_within,
                 double* ss_total);
/* TwoWayAnova(y, levelsA, levelsB, n, r, a, b, table, pA, pB, pAB): table of 15 doubles, rows
 * (SS, df, MS, F) of A [0-3], B [4-7], AB [8-11], then error SS, df, MS [12-14]. F A is over
 * MS AB when B is random, F B over MS AB when A is random, the rest over MS error. r = 1: the
 * AB row is 0, the error has (a-1)(b-1) df and pAB = 0. -20045 |a| |b| r != n, -20042 |a| or
 * |b| < 2, -20044 r < 1, -20001, -20043 a level out of range, -20047 a cell without r
 * observations, -20048 r = 1 with a random factor. */
int32_t ZMXFunc7(const double* y, const int64_t* levels_a, const int64_t* levels_b, int64_t n,
                 int64_t r, int64_t a, int64_t b, double* table, double* p_a, double* p_b,
                 double* p_ab);
/* ThreeWayAnova(y, levelsA, levelsB, levelsC, n, r, a, b, c, table, pA, pB, pC, pAB, pAC, pBC,
 * pABC): table of 32 doubles, rows (SS, df, MS, F) of A, B, C, AB, AC, BC, ABC [0-27], then
 * error SS, df, MS [28-30], [31] = 0. The random factors choose each F ratio's denominator
 * (ABC always over the error); where there is no exact test (A with B and C random, B with A
 * and C random, C with A and B random) F and p are -1. -20045 |a| |b| |c| r != n, -20044
 * r < 2, -20042 a level count below 2 in magnitude, -20001, -20043, -20047. */
int32_t ZMXFunc8(const double* y, const int64_t* levels_a, const int64_t* levels_b,
                 const int64_t* levels_c, int64_t n, int64_t r, int64_t a, int64_t b, int64_t c,
                 double* table, double* p_a, double* p_b, double* p_c, double* p_ab, double* p_ac,
                 double* p_bc, double* p_abc);
