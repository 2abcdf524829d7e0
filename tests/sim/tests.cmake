# flipper-sim through its command line: the two reference games, byte for byte, and its contract.
add_test(NAME sim.reference_games
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/reference_games.sh $<TARGET_FILE:flipper-sim>
                 ${CMAKE_CURRENT_SOURCE_DIR}/data/reference)
add_test(NAME sim.command_line
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/command_line.sh $<TARGET_FILE:flipper-sim>
                 ${CMAKE_SOURCE_DIR}/assets/sphere.iv)
add_test(NAME sim.replay
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/replay.sh $<TARGET_FILE:flipper-sim>
                 ${CMAKE_CURRENT_SOURCE_DIR}/data/reference)
