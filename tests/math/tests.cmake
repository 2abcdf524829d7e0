# The excess-precision guard: an x87 compile of the core's arithmetic header must stop with its
# message. GCC on x86 can be asked for x87 arithmetic directly (clang x86-64 refuses -mfpmath=387).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|i.86)$")
  add_test(NAME math.float_eval_guard
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/float_eval_guard.sh ${CMAKE_CXX_COMPILER} ${CMAKE_SOURCE_DIR})
endif()
