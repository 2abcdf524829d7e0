# The web build's fixed-function GL layer and its frame pacing are plain C++: their tests run in the
# native suite (the page itself is tested in Chromium by scripts/web --test).
flipper_test_program(web_tests
  web/PipelineTest.cpp web/ShapesTest.cpp web/FramePacerTest.cpp
  ${CMAKE_SOURCE_DIR}/web/gl/Pipeline.cpp ${CMAKE_SOURCE_DIR}/web/gl/Shapes.cpp
  ${CMAKE_SOURCE_DIR}/web/FramePacer.cpp)
