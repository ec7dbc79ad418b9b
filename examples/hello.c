/* The smallest caller: build with
 *   cc hello.c $(pkg-config --cflags --libs qmanlys) -o hello */
#include <qmanlys.h>
#include <stdio.h>

int main(void) {
  int32_t codes[] = {0, -20003, -20046};
  for (int i = 0; i < 3; ++i) printf("%d: %s\n", (int)codes[i], ZMXFunc240(codes[i]));
  return 0;
}
