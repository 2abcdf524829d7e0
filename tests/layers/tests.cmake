# The layers hold: a file with the core's include rules cannot include GL or OpenAL, no core file
# includes a file of a higher layer or of a core folder after its own, and the simulator links no GL, GLU, GLUT, X or audio library.
add_library(layer_probe OBJECT EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/CoreIncludesGl.cpp)
target_link_libraries(layer_probe PRIVATE flipper_no_graphics)
add_library(layer_probe_audio OBJECT EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/CoreIncludesAl.cpp)
target_link_libraries(layer_probe_audio PRIVATE flipper_no_graphics)

add_test(NAME layers.core_refuses_graphics_headers
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/layers.sh probe ${CMAKE_BINARY_DIR})
add_test(NAME layers.core_refuses_audio_headers
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/layers.sh probe-audio ${CMAKE_BINARY_DIR})
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME layers.sim_links_no_graphics
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/layers.sh ldd $<TARGET_FILE:flipper-sim>)
  if(TARGET flipper-hall)
    add_test(NAME layers.hall_links_no_graphics
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/layers.sh ldd $<TARGET_FILE:flipper-hall>)
  endif()
endif()

add_test(NAME layers.core_includes_no_higher_layer
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/layers.sh includes ${CMAKE_SOURCE_DIR})
# The check itself must catch any core folder including any higher one, or a core folder after its own.
add_test(NAME layers.include_check_catches_a_higher_include
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/layers.sh catches io math softbody obstacles world game replay
                 -- picture sound front desktop web sim hall)
add_test(NAME layers.include_check_holds_the_core_order
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/layers.sh catches-order io math softbody obstacles world game replay)
