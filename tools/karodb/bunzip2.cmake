# Unpacks one bzip2 file: cmake -DIN=<file.bz2> -DOUT=<file> -P bunzip2.cmake
execute_process(COMMAND bzip2 -dc ${IN} OUTPUT_FILE ${OUT}.part RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE ${OUT}.part)
  message(FATAL_ERROR "bzip2 could not unpack ${IN} (${rc})")
endif()
file(RENAME ${OUT}.part ${OUT})
