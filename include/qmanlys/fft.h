/* FFT transforms and spectra. Included by qmanlys.h inside its extern "C" block. */
