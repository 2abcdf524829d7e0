# flipper-sim through its command line: the two reference games, byte for byte, and its contract.
# A cross build runs the first three under the target's emulator (CMAKE_CROSSCOMPILING_EMULATOR; a
# script gets its words after its own arguments): the same games, to the bit, on every machine.
if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR MATCHES "^i.86$" AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  # A kernel built or booted without 32-bit support refuses i386 programs (ENOEXEC): qemu runs them.
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/i386-probe.c "int main(void) { return 0; }\n")
  try_compile(flipper_i386_probe_built ${CMAKE_CURRENT_BINARY_DIR}/i386-probe
              ${CMAKE_CURRENT_BINARY_DIR}/i386-probe.c COPY_FILE ${CMAKE_CURRENT_BINARY_DIR}/i386-probe.exe)
  execute_process(COMMAND ${CMAKE_CURRENT_BINARY_DIR}/i386-probe.exe RESULT_VARIABLE flipper_i386_runs)
  if(NOT flipper_i386_runs STREQUAL "0")
    message(STATUS "This kernel runs no 32-bit programs: the tests run flipper-sim under qemu-i386-static")
    set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386-static)
    set_property(TARGET flipper-sim PROPERTY CROSSCOMPILING_EMULATOR qemu-i386-static)
  endif()
endif()

add_test(NAME sim.reference_games
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/reference_games.sh $<TARGET_FILE:flipper-sim>
                 ${CMAKE_CURRENT_SOURCE_DIR}/data/reference ${CMAKE_CROSSCOMPILING_EMULATOR})
# The README's film is made from docs/demo.replay: that game must still be the one the game plays.
# (Relative names, which Windows reads as well.)
add_test(NAME sim.demo_replay
         COMMAND flipper-sim --model assets/sphere.iv --replay docs/demo.replay
         WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
set_tests_properties(sim.demo_replay PROPERTIES PASS_REGULAR_EXPRESSION "replay verified: ticks 9041 score 67")
# A long game past the ball's blow-up (NaN), byte for byte with this machine's own build
# (FLIPPER_NATIVE_SIM, which the cross presets name).
if(FLIPPER_NATIVE_SIM)
  add_test(NAME sim.long_game
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/long_game.sh ${FLIPPER_NATIVE_SIM} ${CMAKE_CURRENT_SOURCE_DIR}/data/reference
                   $<TARGET_FILE:flipper-sim> ${CMAKE_CROSSCOMPILING_EMULATOR})
endif()
if(CMAKE_CROSSCOMPILING)
  return()
endif()

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
