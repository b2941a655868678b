# The INI reader (TQuickIni) and the skin store (TSkinStore), included from this folder's
# CMakeLists.txt. Portable: built natively and for Windows.
#
# velt_ini_zip.cpp (TQuickIni's compressed file form) calls the LZHUF coder: with KARO_HAVE_LZH
# the library links the coder's (KARO_LZH_TARGET), and the compressed round trip is tested.
option(KARO_HAVE_LZH "The LZHUF coder's library is part of the build" OFF)
set(KARO_LZH_TARGET skin_data CACHE STRING "The library target of the LZHUF coder")

add_library(skin_ini_store STATIC
  ${CMAKE_CURRENT_LIST_DIR}/velt_ini.cpp
  ${CMAKE_CURRENT_LIST_DIR}/velt_ini_zip.cpp
  ${CMAKE_CURRENT_LIST_DIR}/velt_store.cpp
)
target_link_libraries(skin_ini_store PUBLIC classlib_core)
if(KARO_HAVE_LZH)
  target_link_libraries(skin_ini_store PUBLIC ${KARO_LZH_TARGET})
endif()
karo_target_defaults(skin_ini_store)
