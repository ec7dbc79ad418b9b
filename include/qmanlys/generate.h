/* Signal and noise generation. Included by qmanlys.h inside its extern "C" block. */
