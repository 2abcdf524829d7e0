# The game's script minified (terser, run by node from Debian's node-terser), then the site's
# files beyond the game: the page's scripts, the web app manifest, its icons (the game's
# own picture, docs/browser-screenshot.png, cut square and scaled by ImageMagick) and the service
# worker, named after everything else in the folder, and last the gzipped copies. Run after the
# game's files are copied.
find_program(FLIPPER_CONVERT convert REQUIRED)
find_program(FLIPPER_GZIP gzip REQUIRED)
find_program(FLIPPER_NODE node REQUIRED)
set(site_sources ${CMAKE_CURRENT_SOURCE_DIR}/site)
set(site_scripts layout.js touch.js gamepad.js share.js games.js replays.js page.js hall.js offline.js)
list(TRANSFORM site_scripts PREPEND ${site_sources}/)
set(icon_source ${CMAKE_SOURCE_DIR}/docs/browser-screenshot.png)
# The table's middle, scaled pixel by pixel to 32 colours: a few kilobytes each.
set(icon_options -crop 440x440+164+60 +repage -filter point)
set(icon_colours -strip +dither -colors 32)
add_custom_command(TARGET flipper POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs ${FLIPPER_NODE} ${CMAKE_SOURCE_DIR}/web/tools/Minify.cjs
          ${FLIPPER_SITE}/flipper.js
  COMMAND ${CMAKE_COMMAND} -E copy ${site_scripts} ${site_sources}/manifest.webmanifest ${FLIPPER_SITE}
  COMMAND ${FLIPPER_CONVERT} ${icon_source} ${icon_options} -resize 192x192 ${icon_colours} PNG8:${FLIPPER_SITE}/icon-192.png
  COMMAND ${FLIPPER_CONVERT} ${icon_source} ${icon_options} -resize 512x512 ${icon_colours} PNG8:${FLIPPER_SITE}/icon-512.png
  COMMAND ${CMAKE_COMMAND} -DSITE=${FLIPPER_SITE} -DTEMPLATE=${site_sources}/sw.js.in -P ${site_sources}/ServiceWorker.cmake
  COMMAND ${CMAKE_COMMAND} -DSITE=${FLIPPER_SITE} -DGZIP=${FLIPPER_GZIP} -P ${site_sources}/Compress.cmake)
# The commands above run when the game is linked: an edit of any file of the site (the page, its
# scripts, the worker's template and maker, the game's data) links it again, so the site is never
# left with an old file beside new ones.
set_property(TARGET flipper APPEND PROPERTY LINK_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/index.html ${site_scripts} ${site_sources}/manifest.webmanifest
  ${site_sources}/sw.js.in ${site_sources}/ServiceWorker.cmake ${site_sources}/Compress.cmake
  ${CMAKE_SOURCE_DIR}/web/tools/Minify.cjs ${icon_source}
  ${CMAKE_SOURCE_DIR}/assets/sphere.iv ${CMAKE_SOURCE_DIR}/assets/woman.bmp ${CMAKE_SOURCE_DIR}/assets/head.bmp)
