# The web build's fixed-function GL layer and its frame pacing are plain C++: their tests run in the
# native suite (the browser itself is tested by scripts/web --test).
target_sources(flipper_tests PRIVATE
  ${CMAKE_SOURCE_DIR}/web/gl/Pipeline.cpp
  ${CMAKE_SOURCE_DIR}/web/gl/Shapes.cpp
  ${CMAKE_SOURCE_DIR}/web/FramePacer.cpp)
