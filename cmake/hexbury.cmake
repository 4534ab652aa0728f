# The Hexbury program: the host sources, the simulation script embedded as
# five generated text pieces, the screensaver copy on Windows and the
# program's own sounds beside it.

# The simulation script; a small stand-in keeps the program buildable
# while the real script is not in the tree.
if(EXISTS ${CMAKE_SOURCE_DIR}/script/hexbury.orv)
  set(HEXBURY_SCRIPT ${CMAKE_SOURCE_DIR}/script/hexbury.orv)
else()
  set(HEXBURY_SCRIPT ${CMAKE_SOURCE_DIR}/tests/hexbury/standin.orv)
endif()
# Generates the five pieces of a script into a source file.
function(hexbury_embed_script script output)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
    COMMAND ${CMAKE_COMMAND} -DSCRIPT=${script} -DOUTPUT=${output}
            -P ${CMAKE_SOURCE_DIR}/cmake/embed_script.cmake
    DEPENDS ${script} ${CMAKE_SOURCE_DIR}/cmake/embed_script.cmake
    COMMENT "Embedding ${script}"
    VERBATIM)
endfunction()
set(HEXBURY_PIECES ${CMAKE_BINARY_DIR}/generated/hexbury_script_pieces.cpp)
hexbury_embed_script(${HEXBURY_SCRIPT} ${HEXBURY_PIECES})

# Everything of the host but its entry point, shared with its tests and
# fuzz targets.
add_library(hexbury_host OBJECT
  host/at_exit.cpp
  host/command_line.cpp
  host/config_report.cpp
  host/console_pager.cpp
  host/embedded_script.cpp
  host/help_text.cpp
  host/ini_config.cpp
  host/ini_reader.cpp
  host/script_args.cpp)
target_include_directories(hexbury_host PUBLIC ${CMAKE_SOURCE_DIR})

add_executable(hexbury host/hexbury_main.cpp ${HEXBURY_PIECES}
  $<TARGET_OBJECTS:hexbury_host> $<TARGET_OBJECTS:orvel_core>)
target_include_directories(hexbury PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(hexbury PRIVATE ${ORVEL_SYSTEM_LIBS})
target_link_options(hexbury PRIVATE ${ORVEL_STACK_FLAGS})
# The same program with the stand-in script, for the host's tests.
if(ORVEL_TESTS)
  set(HEXBURY_STANDIN_PIECES ${CMAKE_BINARY_DIR}/generated/hexbury_standin_pieces.cpp)
  hexbury_embed_script(${CMAKE_SOURCE_DIR}/tests/hexbury/standin.orv ${HEXBURY_STANDIN_PIECES})
  add_executable(hexbury_standin host/hexbury_main.cpp ${HEXBURY_STANDIN_PIECES}
    $<TARGET_OBJECTS:hexbury_host> $<TARGET_OBJECTS:orvel_core>)
  target_include_directories(hexbury_standin PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(hexbury_standin PRIVATE ${ORVEL_SYSTEM_LIBS})
  target_link_options(hexbury_standin PRIVATE ${ORVEL_STACK_FLAGS})
endif()
if(WIN32)
  # Windows starts a screensaver by its .scr name.
  add_custom_command(TARGET hexbury POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:hexbury> ${CMAKE_BINARY_DIR}/hexbury.scr
    VERBATIM)
endif()

# The bells of the three neighbouring boxes and the lever sounds, made by
# tools/make_sounds.py and placed beside the program.
find_package(Python3 COMPONENTS Interpreter)
if(Python3_Interpreter_FOUND)
  set(HEXBURY_SOUNDS dong.wav ting.wav ding.wav lever-normal.wav lever-reverse.wav)
  list(TRANSFORM HEXBURY_SOUNDS PREPEND ${CMAKE_BINARY_DIR}/ OUTPUT_VARIABLE HEXBURY_SOUND_FILES)
  add_custom_command(
    OUTPUT ${HEXBURY_SOUND_FILES}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/make_sounds.py ${CMAKE_BINARY_DIR}
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/make_sounds.py
    COMMENT "Making the bell and lever sounds"
    VERBATIM)
  add_custom_target(hexbury_sounds ALL DEPENDS ${HEXBURY_SOUND_FILES})
else()
  message(WARNING "python3 not found: the bell and lever sounds are not made")
endif()
