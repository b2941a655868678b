# Puts Karo's program folder together from the database folder:
#   cmake -DFROM=<karo-data folder> -DTO=<program folder> -P program_folder.cmake
# Data\ beside the program holds what it opens and, next to the database, the licence notices of
# the data sources it is made from.
set(data_files Karo.cc Secured.mdw)
# Language.ini joins data_files once the language file is built.
set(notices Unicode-licence.txt cnchar-data-licence.txt cnchar-idiom-licence.txt Data-sources.txt)
file(MAKE_DIRECTORY ${TO}/Data)
foreach(name ${data_files} ${notices})
  if(NOT EXISTS ${FROM}/${name})
    message(FATAL_ERROR "${FROM}/${name} is missing: the native configuration builds Karo's database; "
                        "run scripts/build.sh native first")
  endif()
  file(COPY_FILE ${FROM}/${name} ${TO}/Data/${name} ONLY_IF_DIFFERENT)
endforeach()
