# Tests of the bitmap and text routines and of the skin element records.
if(NOT KARO_FUZZ)
  karo_add_test(test_img_util SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_img_util.cpp LIBS skin_graphics)
  karo_add_test(test_velt_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_velt_text.cpp LIBS skin_graphics)
  if(KARO_WINDOWS)
    karo_add_test(test_skin_objects SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_skin_objects.cpp LIBS skin_graphics)
  endif()
endif()
