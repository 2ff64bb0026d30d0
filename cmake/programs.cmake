# The program list, models/programs.txt, for the build and for the C++ code
# that goes through every program. Included by the top CMakeLists.txt; also
# run as a script by scripts/fuzz.sh, which builds outside CMake:
#   cmake -DCALCIUM_SOURCE_DIR=<source> -DOUTPUT_DIR=<dir> -P cmake/programs.cmake
# writes the headers and programs.list (the names, one a line) into <dir>.

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
#   calcium_program_facts.h  the same, with every program's test_facts.h included.
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
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  calcium_read_programs(${CALCIUM_SOURCE_DIR} programs)
  calcium_write_program_headers(${OUTPUT_DIR} ${programs})
  list(JOIN programs "\n" names)
  file(WRITE ${OUTPUT_DIR}/programs.list "${names}\n")
endif()
