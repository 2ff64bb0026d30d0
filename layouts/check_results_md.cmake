# cmake -DSOURCE=<source tree> -DGENERATED=<build/docs/programs> -DPROGRAMS=<a,b,...>
#       -P check_results_md.cmake
# Fails when a program's committed legend, models/<program>/results.md, is
# not the one its tables give.
string(REPLACE "," ";" PROGRAMS "${PROGRAMS}")
set(stale)
foreach(program IN LISTS PROGRAMS)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files
                          ${SOURCE}/models/${program}/results.md ${GENERATED}/${program}.md
                  RESULT_VARIABLE differs)
  if(differs)
    list(APPEND stale models/${program}/results.md)
  endif()
endforeach()
if(stale)
  list(JOIN stale ", " names)
  message(FATAL_ERROR "${names}: not the legend generated from the programs' tables "
                      "(${GENERATED}); after checking the change, copy it with "
                      "`cmake --build <build> --target results_md` and commit it")
endif()
