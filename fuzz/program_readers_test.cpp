// The fuzz target's program readers: one for every program, found by its
// name and nothing else, each reading its own program's example.
#include "fuzz/program_readers.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/program_run.h"
#include "tests/bad_input/program_table.h"

namespace {

using bad_input::program_info;
using bad_input::programs;

TEST(ProgramReaders, OneForEveryProgram) {
  EXPECT_EQ(fuzzcheck::programs().size(), programs().size());
  for (const program_info& p : programs()) {
    const fuzzcheck::program_reader* r = fuzzcheck::find_program(p.name);
    ASSERT_NE(r, nullptr) << p.name;
    EXPECT_EQ(std::string(r->name), p.name);
  }
}

TEST(ProgramReaders, EachReadsItsOwnExample) {
  for (const program_info& p : programs()) {
    SCOPED_TRACE(p.name);
    const std::string path =
        testing_support::source_dir() + "/examples/" + p.name + "/" + p.parameter_file;
    const fuzzcheck::read_outcome o = fuzzcheck::find_program(p.name)->read(path);
    EXPECT_TRUE(o.ok) << o.err.message();
    EXPECT_EQ(o.broken_promise, "");
    EXPECT_FALSE(o.values.empty());
  }
}

TEST(ProgramReaders, OnlyTheWholeNameFindsAProgram) {
  for (const char* name :
       {"", "velmo6", "velmo67x", "velmo67 ", " velmo67", "VELMO67", "nilpora\r"})
    EXPECT_EQ(fuzzcheck::find_program(name), nullptr) << "'" << name << "'";
}

}  // namespace
