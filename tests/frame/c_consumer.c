/* A C99 caller of the library through its public header. */
#include <qmanlys.h>
#include <stdio.h>
#include <string.h>

int main(void) {
  const char* ok = ZMXFunc240(0);
  const char* unknown = ZMXFunc240(1);
  ZMXFunc234(NULL);
  ZMXFunc238(NULL);
  if (strcmp(ok, "The call was successful.") != 0) return 1;
  if (strcmp(unknown, "Unknown error number") != 0) return 2;
  printf("%s\n", ok);
  return 0;
}
