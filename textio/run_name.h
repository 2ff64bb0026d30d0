// The run name: the first value of a parameter file's line 1, a text held in
// a blank-padded field of fixed length (a longer text keeps its first
// characters). Every result-file name is made from it.
#pragma once

#include <string>
#include <string_view>

#include "textio/value_reader.h"

namespace textio {

// Reads the run-name line into dest[0..length) (left as it was when a slash
// or a null value leaves the name unread). When `notice` is given, the whole
// text is looked at (a buffer of a line's full length, once): when it was
// longer than `length` and more than blanks is cut off, *notice gets the line
// that tells the user, for standard error:
//   "<file> line <n>: <item>: the run name '<text>' is longer than <length>
//   characters; it is cut to '<name>', and the result files are named after it"
// Otherwise *notice is emptied.
bool read_run_name(value_reader& in, std::string_view item, char* dest, int length,
                   std::string* notice, read_error* err);

// The padded run name as the first value of a parameter-file line, such that
// the value reader reads it back as the same padded name: the name itself
// when its unquoted text already reads back so (nothing changes then), else
// quoted with ' (an ' inside doubled), the padding after the closing quote.
// Unquoted text would not read back when the name is all blanks, begins with
// a blank or a quote, holds a blank, comma or slash, or begins with a repeat
// count ("3*x").
std::string run_name_value(std::string_view padded);

}  // namespace textio
