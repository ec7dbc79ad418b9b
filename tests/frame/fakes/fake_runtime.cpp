// A stand-in OpenMP run-time module.
extern "C" __attribute__((visibility("default"))) int fake_runtime_marker() { return 7; }
