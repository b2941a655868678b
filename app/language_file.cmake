# Writes the language file as the program reads it: UTF-16 little-endian behind its byte-order
# mark, lines ended by CR LF.
#   cmake -DIN=<Language.ini, UTF-8> -DOUT=<Language.ini, UTF-16> -P language_file.cmake
find_program(ICONV iconv REQUIRED)
file(READ ${IN} text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUT}.utf8 "${text}")
execute_process(COMMAND ${ICONV} -f UTF-8 -t UTF-16LE ${OUT}.utf8 OUTPUT_FILE ${OUT}.body RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${IN} is no UTF-8 text")
endif()
# The mark, then the text.
execute_process(COMMAND printf "\\377\\376" OUTPUT_FILE ${OUT}.new)
execute_process(COMMAND cat ${OUT}.new ${OUT}.body OUTPUT_FILE ${OUT}.tmp)
file(REMOVE ${OUT}.utf8 ${OUT}.body ${OUT}.new)
file(RENAME ${OUT}.tmp ${OUT})
