# The scripts' own checks: scripts/film refuses what it cannot film and never leaves a broken or
# partial film behind. Seconds long: a replay of 150 ticks.
add_test(NAME scripts.film COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/film.sh ${CMAKE_SOURCE_DIR} $<TARGET_FILE:flipper>)
# Beside the other tests, like the films of e2e/tests.cmake.
set_tests_properties(scripts.film PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180 COST 50)
