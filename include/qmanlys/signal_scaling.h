/* Array scaling, polynomial evaluation and coordinate conversion. Included by qmanlys.h inside its extern "C" block. */
