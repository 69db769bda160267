# Compresses one file for installation as the distributions do (gzip -9n: best compression, no
# name or time stamp in the result, so that the same input gives the same bytes).
#
#   cmake -DIN=FILE -DOUT=FILE.gz -P gzip_file.cmake
find_program(GZIP gzip REQUIRED)
execute_process(COMMAND ${GZIP} -9nc ${IN} OUTPUT_FILE ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${OUT})
  message(FATAL_ERROR "gzip ${IN} failed: ${status}")
endif()
