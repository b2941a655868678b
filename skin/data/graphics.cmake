# The bitmap and text routines (ImgUtil, the text part of VeltData) and the skin element records.
# The pixel, colour and notation routines are portable; the rest needs Windows.
add_library(skin_graphics STATIC
  ${CMAKE_CURRENT_LIST_DIR}/img_util.cpp
  ${CMAKE_CURRENT_LIST_DIR}/velt_text.cpp
)
if(KARO_WINDOWS)
  target_sources(skin_graphics PRIVATE ${CMAKE_CURRENT_LIST_DIR}/skin_objects.cpp)
  target_link_libraries(skin_graphics PUBLIC classlib_control_atom user32 gdi32)
endif()
target_link_libraries(skin_graphics PUBLIC classlib_graphics classlib_core)
karo_target_defaults(skin_graphics)
