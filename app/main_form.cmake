# Writes Karo's main form file from its template with the four skins packed into it:
#   cmake -DTEMPLATE=<karo_main_form.form.in> -DSKINS_DIR=<folder of Yellow.skn ...> -DOUT=<form> -P main_form.cmake
# SkinData holds the Yellow image behind its 4-byte length, so the form is read with that skin
# loaded; SkinStore holds the four images, one item each, in the order of the skin list.
cmake_minimum_required(VERSION 3.25)
set(skins Yellow Azure Blue Gray)

# The bytes of a file as lines of hexadecimal digits, indented for the form file.
function(hex_lines file indent out)
  file(READ ${file} hex HEX)
  string(TOUPPER "${hex}" hex)
  string(REGEX REPLACE "([0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F][0-9A-F])"
         "${indent}\\1\n" hex "${hex}")
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()

foreach(skin ${skins})
  if(NOT EXISTS ${SKINS_DIR}/${skin}.skn)
    message(FATAL_ERROR "${SKINS_DIR}/${skin}.skn is missing: the native configuration packs Karo's skins; "
                        "run scripts/build.sh native first")
  endif()
endforeach()

# The length in front of the Yellow image, little-endian.
file(SIZE ${SKINS_DIR}/Yellow.skn size)
math(EXPR b0 "${size} & 255" OUTPUT_FORMAT HEXADECIMAL)
math(EXPR b1 "(${size} >> 8) & 255" OUTPUT_FORMAT HEXADECIMAL)
math(EXPR b2 "(${size} >> 16) & 255" OUTPUT_FORMAT HEXADECIMAL)
math(EXPR b3 "(${size} >> 24) & 255" OUTPUT_FORMAT HEXADECIMAL)
set(length "")
foreach(b ${b0} ${b1} ${b2} ${b3})
  string(SUBSTRING "${b}" 2 -1 digits)
  string(LENGTH "${digits}" n)
  if(n EQUAL 1)
    set(digits "0${digits}")
  endif()
  string(TOUPPER "${digits}" digits)
  string(APPEND length "${digits}")
endforeach()
hex_lines(${SKINS_DIR}/Yellow.skn "      " yellow)
set(KARO_SKIN_STREAM "      ${length}\n${yellow}")

set(KARO_SKIN_STORE "")
foreach(skin ${skins})
  hex_lines(${SKINS_DIR}/${skin}.skn "            " image)
  string(APPEND KARO_SKIN_STORE "\n        item\n          Name = '${skin}'\n          DataStream = {\n${image}          }\n        end")
endforeach()

file(READ ${TEMPLATE} text)
string(REPLACE "@KARO_SKIN_STREAM@" "${KARO_SKIN_STREAM}" text "${text}")
string(REPLACE "@KARO_SKIN_STORE@" "${KARO_SKIN_STORE}" text "${text}")
file(WRITE ${OUT}.tmp "${text}")
file(RENAME ${OUT}.tmp ${OUT})
