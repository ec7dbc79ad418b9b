/* The smallest caller: build with
 *   cc hello.c $(pkg-config --cflags --libs qmanlys) -o hello */
#include <qmanlys.h>
#include <stdio.h>

int main(void) {
  double x[1000], phase = 0.0, mean, std_dev;
  int32_t status = ZMXFunc159(1000, 2.0, 0.01, &phase, x);        /* sine, 10 cycles */
  if (status == 0) status = ZMXFunc166(x, 1000, &mean, &std_dev); /* mean, std dev */
  printf("%d: %s\n", (int)status, ZMXFunc240(status));
  if (status == 0) printf("mean %.3f, rms %.6f\n", mean, std_dev);
  printf("%d: %s\n", -20046, ZMXFunc240(ZMXFunc166(x, 1LL << 31, &mean, &std_dev)));
  return status;
}
