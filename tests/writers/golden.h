// Golden files of the bank writers: a generated file compared byte for byte
// with its expected copy, and the arithmetic every FEBRABAN 240 file must
// keep (batch and file trailers equal to the details they close).
//
//   EXPECT_TRUE(MatchesGolden(PAG_TEST_GOLDEN "/bb/darf.txt", content, BcoBrasilLayout));
//   EXPECT_TRUE(TrailersMatchDetails(content, BbDetailAmount));
//
// A difference is reported by record number, 1-based column and, where the
// layout of the record is known, the field's name, positions and both
// values. With PAG_UPDATE_GOLDEN=1 in the environment the golden file is
// (re)written instead; each new golden file is to be read against the
// bank's layout tables before it is kept.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "host/decimal.h"
#include "writers/cnab/record.h"

namespace pag::testing {

// The layout of a line, given the payment method of its batch (positions
// 12-13 of the last batch header before it).
using LayoutOf = std::function<const Layout*(std::string_view line, std::string_view batchMethod)>;

::testing::AssertionResult MatchesGolden(const std::string& path, const std::string& actual, const LayoutOf& layoutOf);

// The amount a detail line adds to its batch's total; nullopt for a detail
// that adds nothing.
using DetailAmount = std::function<std::optional<Money>(std::string_view line)>;

// Parses a 240-position FEBRABAN file: batch numbers 1, 2, ... in every
// record of a batch, details numbered 1, 2, ... in their batch, each batch
// trailer's record count and total (positions 18-23 and 24-41) equal to its
// records and to the sum of its details' amounts (zero for an exclusion),
// and the file trailer's batch and record counts (18-23, 24-29) equal to
// the file's.
::testing::AssertionResult TrailersMatchDetails(const std::string& content, const DetailAmount& amountOf,
                                                bool exclusion);

}  // namespace pag::testing
