/* Time-domain windows. Included by qmanlys.h inside its extern "C" block. */
