# The real game in a real X server: tests/e2e/e2e.sh starts flipper under its own Xvfb, plays a few
# keys and a drag, and checks the screenshots with flipper-shot-check. It skips (77) where Xvfb is
# not installed. The tests that keep time with the wall clock (keys sent by xdotool, sound on the
# device's clock) run alone (RUN_SERIAL); the films, which play as fast as they can and mix their
# sound offline, run beside the others, the longest first (COST), so that ctest -j2 packs them.
add_executable(flipper-shot-check ${CMAKE_CURRENT_LIST_DIR}/ShotCheck.cpp)
target_include_directories(flipper-shot-check SYSTEM PRIVATE ${STB_INCLUDE_DIR})

add_test(NAME e2e.game
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/e2e.sh $<TARGET_FILE:flipper> ${CMAKE_SOURCE_DIR}/assets
                 $<TARGET_FILE:flipper-shot-check>)
set_tests_properties(e2e.game PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 90 RUN_SERIAL TRUE)

# Recording and replaying in a real X server: a game recorded with xdotool keys and stopped by a
# signal must verify in flipper-sim, a changed key must diverge at the right idle call, and a film of
# a short replay must have its frames.
find_package(X11 REQUIRED)
add_executable(flipper-close-window ${CMAKE_CURRENT_LIST_DIR}/CloseWindow.cpp)
target_link_libraries(flipper-close-window PRIVATE X11::X11)
add_test(NAME e2e.replay
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/replay.sh $<TARGET_FILE:flipper> $<TARGET_FILE:flipper-sim>
                 ${CMAKE_SOURCE_DIR}/assets ${CMAKE_SOURCE_DIR}/tests/data/reference
                 $<TARGET_FILE:flipper-close-window>)
set_tests_properties(e2e.replay PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)

# The game's sound through OpenAL Soft's wave backend: the demo's bells and clacks on their ticks
# within a frame, --mute, and a game without an audio device.
add_executable(flipper-sound-check ${CMAKE_CURRENT_LIST_DIR}/SoundCheck.cpp)
add_test(NAME e2e.sound
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/sound.sh $<TARGET_FILE:flipper> ${CMAKE_SOURCE_DIR}/assets
                 ${CMAKE_SOURCE_DIR}/docs/demo.replay $<TARGET_FILE:flipper-sound-check>)
set_tests_properties(e2e.sound PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180 RUN_SERIAL TRUE)

# A film's sound track: scripts/film films half the demo twice; the strongest onsets are the flipper
# swings and the two films' audio is identical. Half a minute: each film writes 300 pictures.
add_test(NAME e2e.film_sound
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/film_sound.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}
                 $<TARGET_FILE:flipper-sound-check>)
set_tests_properties(e2e.film_sound PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600 COST 100)
