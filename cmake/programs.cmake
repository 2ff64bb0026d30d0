# The program list, models/programs.txt, for the build, for the C++ code
# that goes through every program and for the scripts (programs.list).
# Included by the top CMakeLists.txt.

# The names in models/programs.txt, in order, into `out_var`.
function(calcium_read_programs source_dir out_var)
  file(STRINGS ${source_dir}/models/programs.txt lines)
  set(names)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    if(NOT line MATCHES "^[a-z][a-z0-9_]*$")
      message(FATAL_ERROR "models/programs.txt: '${line}' is not a program name")
    endif()
    list(APPEND names ${line})
  endforeach()
  set(${out_var} ${names} PARENT_SCOPE)
endfunction()

# Writes into `dir`:
#   calcium_programs.h       CALCIUM_PROGRAMS(X): X(name) for every program, in order;
#   calcium_program_facts.h  the same, with every program's test_facts.h included;
#   programs.list            the names, one a line (scripts/fuzz.sh reads it).
# A file is rewritten only when its text changes.
function(calcium_write_program_headers dir)
  set(entries "")
  set(includes "")
  foreach(p IN LISTS ARGN)
    string(APPEND entries " X(${p})")
    string(APPEND includes "#include \"models/${p}/test_facts.h\"\n")
  endforeach()
  set(head "// Written from models/programs.txt by cmake/programs.cmake.\n#pragma once\n\n")
  file(CONFIGURE OUTPUT ${dir}/calcium_programs.h @ONLY CONTENT
       "${head}// X(name) for every program, in the order of the list.
#define CALCIUM_PROGRAMS(X)${entries}\n")
  file(CONFIGURE OUTPUT ${dir}/calcium_program_facts.h @ONLY CONTENT
       "${head}#include \"calcium_programs.h\"\n${includes}")
  list(JOIN ARGN "\n" names)
  file(CONFIGURE OUTPUT ${dir}/programs.list @ONLY CONTENT "${names}\n")
endfunction()
