#pragma once
// What came of one test, read from the GoogleTest report its run wrote.
#include <string>
#include <vector>

struct Outcome {
  enum Kind { Passed, Failed, Skipped } kind;
  std::string why;  // for a skip or a failure: its first line, in UTF-8
};

// The outcome that the report (an XML file of GoogleTest) gives for its one
// test; a failure when the report holds no test.
Outcome OutcomeOfReport(const std::string& xml);

// The names of the tests a test program lists with --gtest_list_tests, as
// "Suite.Test"; those it has switched off are left out.
std::vector<std::string> TestsOfListing(const std::string& listing);
