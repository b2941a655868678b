# Copies the database folder that the native build made: cmake -DFROM=<dir> -DTO=<dir> -P copy_data.cmake
foreach(name Karo.cc Unicode-licence.txt)
  if(NOT EXISTS ${FROM}/${name})
    message(FATAL_ERROR "${FROM}/${name} is missing: the native configuration builds Karo's database; "
                        "run scripts/build.sh native first")
  endif()
  file(COPY_FILE ${FROM}/${name} ${TO}/${name} ONLY_IF_DIFFERENT)
endforeach()
