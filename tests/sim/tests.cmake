# flipper-sim through its command line: the two reference games, byte for byte, and its contract.
add_test(NAME sim.reference_games
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/reference_games.sh $<TARGET_FILE:flipper-sim>
                 ${CMAKE_CURRENT_SOURCE_DIR}/data/reference)
add_test(NAME sim.command_line
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/command_line.sh $<TARGET_FILE:flipper-sim>
                 ${CMAKE_SOURCE_DIR}/assets/sphere.iv)
add_test(NAME sim.reliability
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/reliability.sh $<TARGET_FILE:flipper-sim>
                 ${CMAKE_SOURCE_DIR}/assets/sphere.iv)
# A FIFO model would hold a build that waits for a writer; the test must end all the same.
set_tests_properties(sim.reliability PROPERTIES TIMEOUT 300)
add_test(NAME sim.replay
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/replay.sh $<TARGET_FILE:flipper-sim>
                 ${CMAKE_CURRENT_SOURCE_DIR}/data/reference)
# The README's film is made from docs/demo.replay: that game must still be the one the game plays.
add_test(NAME sim.demo_replay
         COMMAND $<TARGET_FILE:flipper-sim> --model ${CMAKE_SOURCE_DIR}/assets/sphere.iv
                 --replay ${CMAKE_SOURCE_DIR}/docs/demo.replay)
set_tests_properties(sim.demo_replay PROPERTIES PASS_REGULAR_EXPRESSION "replay verified: ticks 9041 score 67")
