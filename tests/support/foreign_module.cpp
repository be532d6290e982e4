// A loadable library that is no packer module: it exports only this.
extern "C" __attribute__((visibility("default"))) int NotAPacker() { return 0; }
