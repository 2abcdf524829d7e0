# The excess-precision guard: an x87 compile of the core's arithmetic header must stop with its
# message. GCC on x86 can be asked for x87 arithmetic directly (clang x86-64 refuses -mfpmath=387).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|i.86)$")
  add_test(NAME math.float_eval_guard_stops_x87
           COMMAND ${CMAKE_CXX_COMPILER} -std=c++17 -fsyntax-only -mfpmath=387 -I ${CMAKE_SOURCE_DIR}
                   -include math/Vector.h -x c++ /dev/null)
  set_tests_properties(math.float_eval_guard_stops_x87 PROPERTIES
                       PASS_REGULAR_EXPRESSION "float arithmetic carries excess precision")
  add_test(NAME math.float_eval_guard_passes_sse2
           COMMAND ${CMAKE_CXX_COMPILER} -std=c++17 -fsyntax-only -msse2 -mfpmath=sse -I ${CMAKE_SOURCE_DIR}
                   -include math/Vector.h -x c++ /dev/null)
endif()
