# Installation and the Debian package. `cmake --install build --prefix P` puts the programs in
# P/bin, the generated assets in P/share/volley (where the programs look for them when the
# current directory does not hold them), the manual pages in P/share/man/man1, and the menu
# entries with their icon in P/share/applications and P/share/icons; `cpack -G DEB` in the
# build directory packs the same files as volley_<version>_amd64.deb. The package installs
# into CMAKE_INSTALL_PREFIX, the prefix compiled into the programs: configure with
# -DCMAKE_INSTALL_PREFIX=/usr for a package that Debian's tools install.
find_program(VOLLEY_SCDOC scdoc REQUIRED)
find_program(VOLLEY_GZIP gzip REQUIRED)

set(VOLLEY_INSTALLED_DATA_DIR ${CMAKE_INSTALL_FULL_DATADIR}/volley)
add_custom_target(volley_man_pages ALL)

# volley_program(NAME [DESKTOP]): installs the program NAME and its manual page, written in
# docs/man/NAME.1.scd and turned into roff by scdoc at build time; with DESKTOP also its menu
# entry packaging/NAME.desktop.
function(volley_program NAME)
  cmake_parse_arguments(P "DESKTOP" "" "" ${ARGN})
  install(TARGETS ${NAME} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  set(SOURCE ${CMAKE_BINARY_DIR}/man/${NAME}.1.scd)
  set(PAGE ${CMAKE_BINARY_DIR}/man/${NAME}.1)
  configure_file(${CMAKE_SOURCE_DIR}/docs/man/${NAME}.1.scd ${SOURCE} @ONLY)
  add_custom_command(
    OUTPUT ${PAGE}.gz
    COMMAND sh -c "\"$1\" < \"$2\" > \"$3\" && \"$4\" -9nf \"$3\"" sh
            ${VOLLEY_SCDOC} ${SOURCE} ${PAGE} ${VOLLEY_GZIP}
    DEPENDS ${SOURCE}
    COMMENT "Writing the manual page of ${NAME}"
    VERBATIM)
  add_custom_target(volley_man_${NAME} DEPENDS ${PAGE}.gz)
  add_dependencies(volley_man_pages volley_man_${NAME})
  install(FILES ${PAGE}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  if(P_DESKTOP)
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/${NAME}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  endif()
endfunction()

volley_program(volleyplay DESKTOP)
volley_program(volleyedit DESKTOP)

# The Debian package: one package with everything above; dependencies from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME volley)
set(CPACK_PACKAGE_VENDOR "Volley")
set(CPACK_PACKAGE_CONTACT "Volley maintainers <volley@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "design and preview bullet patterns for 2D shooting games")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "design and preview bullet patterns for 2D shooting games
 Volley is a small tool set for bullet patterns (barrages) of 2D shooting games:
 volleyplay plays two programmes of built-in patterns on a 320 x 240 screen of
 256 colours, and volleyedit designs one pattern in a 34-row menu while its
 cannon fires live, and saves it as a 140-byte barrage file.")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
