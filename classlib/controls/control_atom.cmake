# The control atom: its name, the global atom and the registered message (Windows only).
if(KARO_WINDOWS)
  add_library(classlib_control_atom STATIC ${CMAKE_CURRENT_LIST_DIR}/control_atom.cpp)
  target_link_libraries(classlib_control_atom PUBLIC classlib_core user32 kernel32)
  karo_target_defaults(classlib_control_atom)
endif()
