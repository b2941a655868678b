# Tests of the INI reader and the skin store, included from this folder's CMakeLists.txt.
if(NOT KARO_FUZZ)
  karo_add_test(test_velt_ini SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_velt_ini.cpp LIBS skin_ini_store)
  if(KARO_HAVE_LZH)
    # The compressed file form needs the real LZHUF coder.
    target_compile_definitions(test_velt_ini PRIVATE KARO_HAVE_LZH)
  endif()
  karo_add_test(test_velt_store SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_velt_store.cpp LIBS skin_ini_store)
else()
  karo_add_fuzzer(fuzz_velt_ini SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_velt_ini.cpp LIBS skin_ini_store)
endif()
