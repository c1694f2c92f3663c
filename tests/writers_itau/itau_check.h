// Reading an Itaú remittance file back: its records, their fields, and the
// arithmetic and grouping every such file must keep.
//
//   EXPECT_TRUE(ItauFileHolds(content, {"00010000000101", "00010000000102"}, false));
//   Field(Records(content)[2], 120, 134);   // segment A's amount
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/decimal.h"

namespace pag::testing {

// The records of a file of 240-position lines ended by CR LF.
std::vector<std::string> Records(const std::string& content);
// Positions from-to (1-based, inclusive) of a record.
std::string Field(const std::string& record, int from, int to);

// Each batch header's number and form: "0001 30".
std::vector<std::string> Batches(const std::string& content);
// Each detail's number and segment ("00001A", "00001B", "00002J", "00002J52",
// "00002J52PIX" for the J-52 that carries a QR code).
std::vector<std::string> Details(const std::string& content);

// The slip a detail starts (CDFILIBPAG + NRLANBOLPAG, as segments A, J, N
// and O carry it), or "" for a segment B or J-52.
std::string SlipOf(const std::string& record);

// The amount a detail adds to its batch (A, J, N by its tax body, O), or
// nullopt for one that adds nothing (B, J-52).
std::optional<Money> AmountOf(const std::string& record);

// What every Itaú file keeps: a file header first and a file trailer last;
// batches numbered 1, 2, ... in every record of the batch; details
// numbered 1, 2, ... in their batch, a segment B or J-52 with the number of
// the detail before it; each detail of the kind its batch's form carries
// (A in "01", "03", "41" and "45", B in "45", J and J-52 in "30", "31" and
// "47", N of the tax body of its form, O in "13" and "91"); every segment
// but B with "999" in 15-17 in an exclusion and "000" otherwise; each batch
// trailer of its form's kind, counting its records and summing its details
// (zero in an exclusion); the file trailer counting the batches and the
// records; and the slips written (CDFILIBPAG + NRLANBOLPAG, as segments A,
// J, N and O carry them) exactly `slips`, each once.
::testing::AssertionResult ItauFileHolds(const std::string& content, const std::vector<std::string>& slips,
                                         bool exclusion);

}  // namespace pag::testing
