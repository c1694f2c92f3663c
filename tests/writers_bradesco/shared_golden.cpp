// The golden-file comparison that every bank writer's tests share, built
// into this test program from its one source.
#include "writers/golden.cpp"  // NOLINT(bugprone-suspicious-include)
