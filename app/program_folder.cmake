# Puts Karo's program folder together: the program, and Data\ beside it with the database folder's
# files and the language file:
#   cmake -DFROM=<karo-data folder> -DTO=<program folder> -DLANGUAGE=<Language.ini> -DPROGRAM=<Karo.exe>
#         -P program_folder.cmake
# Data\ holds what the program opens and, next to the database, the licence notices of the data
# sources it is made from.
set(data_files Karo.cc Secured.mdw)
set(notices Unicode-licence.txt cnchar-data-licence.txt cnchar-idiom-licence.txt Data-sources.txt)
file(MAKE_DIRECTORY ${TO}/Data)
foreach(name ${data_files} ${notices})
  if(NOT EXISTS ${FROM}/${name})
    message(FATAL_ERROR "${FROM}/${name} is missing: the native configuration builds Karo's database; "
                        "run scripts/build.sh native first")
  endif()
  file(COPY_FILE ${FROM}/${name} ${TO}/Data/${name} ONLY_IF_DIFFERENT)
endforeach()
file(COPY_FILE ${LANGUAGE} ${TO}/Data/Language.ini ONLY_IF_DIFFERENT)
file(COPY_FILE ${PROGRAM} ${TO}/Karo.exe ONLY_IF_DIFFERENT)
