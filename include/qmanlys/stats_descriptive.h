/* Descriptive statistics, sorting and histogram. Included by qmanlys.h inside its extern "C" block. */
