# The ball generator's tests link its library.
target_link_libraries(flipper_tests PRIVATE icosphere)
