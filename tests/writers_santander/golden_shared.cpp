// The golden-file comparison and the trailer arithmetic of the bank
// writers' tests, built into this test program as well.
#include "writers/golden.cpp"  // NOLINT(bugprone-suspicious-include)
