# The web build's fixed-function GL layer and its frame pacing are plain C++: their tests run in the
# native suite (the page itself is tested in Chromium by scripts/web --test). SceneTest draws the
# game's own drawing layer through that GL layer instead of the system's.
flipper_test_program(web_tests
  web/PipelineTest.cpp web/ShapesTest.cpp web/FramePacerTest.cpp web/SceneTest.cpp web/PageReplaysTest.cpp
  ${CMAKE_SOURCE_DIR}/web/gl/Pipeline.cpp ${CMAKE_SOURCE_DIR}/web/gl/Shapes.cpp
  ${CMAKE_SOURCE_DIR}/web/gl/GlApi.cpp ${CMAKE_SOURCE_DIR}/web/FramePacer.cpp
  ${CMAKE_SOURCE_DIR}/web/PageReplays.cpp)
target_include_directories(web_tests BEFORE PRIVATE ${CMAKE_SOURCE_DIR}/web/include)
target_link_libraries(web_tests PRIVATE flipper_draw)
