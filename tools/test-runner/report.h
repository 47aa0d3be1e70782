#pragma once
// What came of one test, read from the output of its run.
#include <string>
#include <vector>

struct Outcome {
  enum Kind { Passed, Failed, Skipped } kind;
  std::string why;  // for a skip or a failure: its first line, in UTF-8
};

// Why a run whose output ends before its test did failed.
inline const std::string kNoOutcome = "its output names no outcome";

// The outcome that a GoogleTest program's output gives for the test it ran;
// a failure when it names none. The output, unlike GoogleTest's own report,
// needs no path that the ANSI code page must spell.
Outcome OutcomeOfOutput(const std::string& output, const std::string& test);

// The names of the tests a test program lists with --gtest_list_tests, as
// "Suite.Test"; those it has switched off are left out.
std::vector<std::string> TestsOfListing(const std::string& listing);
