# cmake -DPROGRAM=<exe> [-DARGS=<arg>[,<arg>...]] -DOUT=<file> -P output_to_file.cmake
# Runs the program and writes its standard output to OUT; fails when it fails.
string(REPLACE "," ";" ARGS "${ARGS}")
get_filename_component(dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${dir})
execute_process(COMMAND ${PROGRAM} ${ARGS} OUTPUT_FILE ${OUT}.part RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${OUT}.part)
  message(FATAL_ERROR "${PROGRAM} ${ARGS} failed (${status})")
endif()
file(RENAME ${OUT}.part ${OUT})
