# The terminal line editor of the orvel prompt (editline). Only the orvel
# program links it; without the library its prompt reads plain lines.
if(NOT WIN32)
  find_path(ORVEL_EDITLINE_INCLUDE histedit.h)
  find_library(ORVEL_EDITLINE_LIBRARY edit)
  if(ORVEL_EDITLINE_INCLUDE AND ORVEL_EDITLINE_LIBRARY)
    target_sources(orvel PRIVATE ${CMAKE_SOURCE_DIR}/platform/libedit/line_editor_libedit.cpp)
    target_include_directories(orvel PRIVATE ${ORVEL_EDITLINE_INCLUDE})
    target_link_libraries(orvel PRIVATE ${ORVEL_EDITLINE_LIBRARY})
  else()
    message(STATUS "editline not found: the orvel prompt reads plain lines")
  endif()
endif()
