// The byte-for-byte golden comparison that the bank writers' tests share
// (tests/writers/golden.h), built into this program as well.
#include "writers/golden.cpp"  // NOLINT(bugprone-suspicious-include)
