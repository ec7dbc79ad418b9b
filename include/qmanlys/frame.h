/* Library frame: status messages and memory. Included by qmanlys.h. */

/* GetErrorMessage(code): constant NUL-terminated message of a status code,
 * owned by the library; "Unknown error number" for a code it does not know. */
const char* ZMXFunc240(int32_t code);

/* FreeLibraryMemory(block): releases memory an export handed out; null does
 * nothing. */
void ZMXFunc234(void* block);

/* FreeLibraryMemory(block): the same function as ZMXFunc234. */
void ZMXFunc238(void* block);
