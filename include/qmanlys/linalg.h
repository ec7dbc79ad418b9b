/* Real matrix operations. Included by qmanlys.h inside its extern "C" block. */
