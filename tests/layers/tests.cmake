# The layers hold: a file with the core's include rules cannot include GL, no core file includes a
# file of a higher layer, and the simulator links no GL, GLU, GLUT or X library.
add_library(layer_probe OBJECT EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/CoreIncludesGl.cpp)
target_link_libraries(layer_probe PRIVATE flipper_no_graphics)

add_test(NAME layers.core_refuses_graphics_headers
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/layers.sh probe ${CMAKE_BINARY_DIR})
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME layers.sim_links_no_graphics
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/layers.sh ldd $<TARGET_FILE:flipper-sim>)
endif()

add_test(NAME layers.core_includes_no_higher_layer
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/layers.sh includes ${CMAKE_SOURCE_DIR})
# The check itself must catch a core file that includes one (probe/game/IncludesFront.h).
add_test(NAME layers.include_check_catches_a_higher_include
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/layers.sh includes ${CMAKE_CURRENT_LIST_DIR}/probe)
set_tests_properties(layers.include_check_catches_a_higher_include PROPERTIES
                     PASS_REGULAR_EXPRESSION "FAIL: a core file includes a file of a higher layer")
