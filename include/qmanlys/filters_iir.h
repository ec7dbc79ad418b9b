/* Classical IIR filters and the IIR cascade filter record. Included by qmanlys.h inside its extern "C" block. */
