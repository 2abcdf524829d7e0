# flipper-hall end to end on loopback, driven by node: about 12 s, most of it waiting for the server
# to cut slow connections off.
find_program(NODE_PROGRAM node)
find_program(SQLITE3_PROGRAM sqlite3)
if(NODE_PROGRAM AND SQLITE3_PROGRAM)
  add_test(NAME hall.end_to_end
           COMMAND ${NODE_PROGRAM} ${CMAKE_CURRENT_LIST_DIR}/hall.mjs $<TARGET_FILE:flipper-hall>
                   $<TARGET_FILE:flipper-sim> ${CMAKE_SOURCE_DIR})
  set_tests_properties(hall.end_to_end PROPERTIES TIMEOUT 120)
endif()
