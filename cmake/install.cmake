# Install rules and the Debian package: `cmake --install build` puts the
# programs, the demo method folder, the desktop entry, the icon, the AppStream
# metainfo and the man pages under the usual prefixes; `cpack -G DEB` (in the
# build folder) packs the same tree.
include(GNUInstallDirs)

# Bump together with the version in the project() line.
set(CADENZOR_RELEASE_DATE "2026-12-09")
set(CADENZOR_APP_ID "org.qerant.Cadenzor")
set(PKG_DIR ${CMAKE_SOURCE_DIR}/packaging)

foreach(program cadenzor cadenzor-cli kelvo-sim ds-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# The demo folder: the documents and the configuration, not what runs leave
# behind there (tray reports, logs).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/methods
  DESTINATION ${CMAKE_INSTALL_DATADIR}/cadenzor/examples
  FILES_MATCHING PATTERN "*.kma" PATTERN "*.KME" PATTERN "*.CDZ" PATTERN "*.ksl" PATTERN "*.kol")

install(FILES ${PKG_DIR}/${CADENZOR_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(${PKG_DIR}/${CADENZOR_APP_ID}.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/packaging/${CADENZOR_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${CADENZOR_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

install(FILES ${PKG_DIR}/icons/cadenzor.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${CADENZOR_APP_ID}.svg)
foreach(size 16 32 48 64 128 256)
  install(FILES ${PKG_DIR}/icons/cadenzor-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${CADENZOR_APP_ID}.png)
endforeach()

# Man pages are installed compressed, as Debian wants them.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(MAN_GZ)
foreach(page cadenzor cadenzor-cli kelvo-sim)
  set(gz ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${GZIP_PROGRAM} -9nc ${PKG_DIR}/man/${page}.1 > ${gz}
    DEPENDS ${PKG_DIR}/man/${page}.1 VERBATIM)
  list(APPEND MAN_GZ ${gz})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${MAN_GZ})
install(FILES ${MAN_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME cadenzor)
set(CPACK_PACKAGE_VENDOR "Qerant")
set(CPACK_PACKAGE_CONTACT "Cadenzor developers <cadenzor@qerant.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compose and run work cycles on the Kelvo autosampler")
set(CPACK_PACKAGE_DESCRIPTION "Cadenzor drives the Kelvo autosampler over a serial line: macros,
methods and sample lists are built from the instrument's own configuration,
checked, expanded and run. The package also holds cadenzor-cli, a headless
companion for checks and scripts, and kelvo-sim, an instrument simulator on a
pseudo-terminal, with a demo method folder.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries come from the programs' links (dpkg-shlibdeps); the platform
# plugins that show the windows are loaded at run time, so they are named.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
include(CPack)
