/* Array and complex arithmetic. Included by qmanlys.h inside its extern "C" block. */
