# make-ball through its command line: it writes only balls that play, and those play.
add_test(NAME tools.make_ball
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/make_ball.sh $<TARGET_FILE:make-ball> $<TARGET_FILE:flipper-sim>
                 ${CMAKE_SOURCE_DIR}/scripts/ball-playability)
