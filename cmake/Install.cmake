# Installing the game as Debian lays out small games (cmake --install), and packing the same tree as
# a .deb (cpack, run by scripts/package):
#   games/flipper, games/flipper-sim                 the programs (the simulator is the game's own tool)
#   games/flipper-hall, /lib/systemd/system/         the hall of fame's server and its service
#   share/games/flipper/                              the ball and the two pictures
#   share/applications/, share/metainfo/              the menu entry and its AppStream description
#   share/icons/hicolor/<size>/apps/flipper.png       icons rendered from the game (tools/make_icons.sh)
#   share/man/man6/                                   flipper.6, flipper-sim.6, flipper-hall.6
#   share/doc/flipper/                                copyright, changelog
# The programs find their data as ../share/games/flipper from their own folder (io/DataFiles), so the
# tree works wherever it is put: under /usr, /usr/local, or a package unpacked anywhere.
if(NOT TARGET flipper OR NOT TARGET flipper-sim)
  return()
endif()

include(GNUInstallDirs)
set(FLIPPER_VERSION 0.1.0)
set(FLIPPER_APP_ID example.flipper.Flipper)  # the menu entry's and AppStream's id (reverse DNS)
set(FLIPPER_GAMES_DIR games)                  # beside share/: the data lookup depends on it
set(FLIPPER_DATA_DIR ${CMAKE_INSTALL_DATAROOTDIR}/games/flipper)
set(FLIPPER_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS flipper flipper-sim RUNTIME DESTINATION ${FLIPPER_GAMES_DIR})
set(FLIPPER_MAN_PAGES flipper.6 flipper-sim.6)
if(TARGET flipper-hall)
  install(TARGETS flipper-hall RUNTIME DESTINATION ${FLIPPER_GAMES_DIR})
  # Where Debian 12's systemd looks for a package's units; it runs as a user of its own.
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/flipper-hall.service DESTINATION /lib/systemd/system)
  list(APPEND FLIPPER_MAN_PAGES flipper-hall.6)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/assets/sphere.iv ${CMAKE_SOURCE_DIR}/assets/woman.bmp
              ${CMAKE_SOURCE_DIR}/assets/head.bmp
        DESTINATION ${FLIPPER_DATA_DIR})
install(FILES ${FLIPPER_PACKAGING}/${FLIPPER_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${FLIPPER_PACKAGING}/${FLIPPER_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/assets/icons/flipper-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps RENAME flipper.png)
endforeach()

# Manual pages and the changelog go compressed, without a time stamp, as Debian wants them.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(FLIPPER_GZIPPED)
foreach(source ${FLIPPER_MAN_PAGES} changelog)
  set(gzipped ${CMAKE_BINARY_DIR}/packaging/${source}.gz)
  add_custom_command(OUTPUT ${gzipped}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
                     COMMAND ${GZIP_PROGRAM} -9nc ${FLIPPER_PACKAGING}/${source} > ${gzipped}
                     DEPENDS ${FLIPPER_PACKAGING}/${source} VERBATIM)
  list(APPEND FLIPPER_GZIPPED ${gzipped})
endforeach()
add_custom_target(flipper-docs ALL DEPENDS ${FLIPPER_GZIPPED})
foreach(page ${FLIPPER_MAN_PAGES})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endforeach()
install(FILES ${FLIPPER_PACKAGING}/copyright DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/flipper)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/flipper)

# The .deb: its dependencies are computed from the programs by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME flipper)
set(CPACK_PACKAGE_VERSION ${FLIPPER_VERSION})
set(CPACK_PACKAGE_CONTACT "Flipper maintainers <maintainers@users.noreply.c-seed-5d28a073.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pinball game whose ball is a soft body")
# The long description as it stands in the package, lines under 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Flipper is a small 3D pinball game. Its ball is made of 42 point masses"
  "joined by damped springs: it falls onto a tilted table, rolls, squashes"
  "against the walls and bumpers and is kicked by two flippers. The keys f and"
  "j swing the flippers, n starts a new game, and a middle-button drag turns"
  "the table."
  ""
  "Games can be recorded and replayed to the last bit; flipper-sim plays the"
  "game without a window, for replays, tests and benchmarks. flipper-hall is"
  "a hall of fame server: it plays every game sent to it again before it lists"
  "its score.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
