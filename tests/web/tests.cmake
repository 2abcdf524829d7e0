# The web build's fixed-function GL layer is plain C++: its tests run in the
# native suite (the page itself is tested in Chromium by scripts/web --test). SceneTest draws the
# game's own drawing layer through that GL layer instead of the system's.
flipper_test_program(web_tests
  web/gl/MatrixTest.cpp web/gl/PipelineTest.cpp web/gl/ShapesTest.cpp web/gl/SceneTest.cpp web/PageReplaysTest.cpp
  ${CMAKE_SOURCE_DIR}/web/gl/Matrix.cpp ${CMAKE_SOURCE_DIR}/web/gl/Pipeline.cpp ${CMAKE_SOURCE_DIR}/web/gl/Shapes.cpp
  ${CMAKE_SOURCE_DIR}/web/gl/GlContext.cpp ${CMAKE_SOURCE_DIR}/web/PageReplays.cpp)
target_include_directories(web_tests BEFORE PRIVATE ${CMAKE_SOURCE_DIR}/web/include)
target_link_libraries(web_tests PRIVATE flipper_draw)

# The page's own scripts (touch, links, replays, layout) under node's test runner, each loaded as
# the page loads it, with small stand-ins for the page and the game around it.
find_program(FLIPPER_NODE node)
if(FLIPPER_NODE)
  add_test(NAME page.scripts COMMAND ${FLIPPER_NODE} --test ${CMAKE_SOURCE_DIR}/tests/web/unit/)
endif()
