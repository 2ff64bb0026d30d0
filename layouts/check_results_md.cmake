# cmake -DCOMMITTED=<docs/results.md> -DGENERATED=<build/docs/results.md> -P check_results_md.cmake
# Fails when the committed legend is not the one the programs' tables give.
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${COMMITTED} ${GENERATED}
                RESULT_VARIABLE differs)
if(differs)
  message(FATAL_ERROR "${COMMITTED} differs from the legend generated from the programs' "
                      "tables (${GENERATED}); after checking the change, copy it with "
                      "`cmake --build <build> --target results_md` and commit it")
endif()
