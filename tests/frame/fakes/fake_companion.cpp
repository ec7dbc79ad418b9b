// A stand-in for the companion module beside which the pointer file lies.
extern "C" __attribute__((visibility("default"))) int fake_companion_marker() { return 11; }
