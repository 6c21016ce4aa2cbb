# Installation and the Debian package. `cmake --install build --prefix P` puts the programs in
# P/bin, the library for games with its headers and package files in P/lib and P/include
# (below), the generated assets in P/share/volley (where the programs look for them when the
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
# entry packaging/NAME.desktop. Each program gets a line "NAME [desktop]" in
# <build>/installed_programs.txt, the list that scripts/package_check.sh checks.
function(volley_program NAME)
  cmake_parse_arguments(P "DESKTOP" "" "" ${ARGN})
  set(LINE ${NAME})
  if(P_DESKTOP)
    string(APPEND LINE " desktop")
  endif()
  set_property(GLOBAL APPEND PROPERTY VOLLEY_INSTALLED_PROGRAMS "${LINE}\n")
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
volley_program(volleypattern)
volley_program(volleyview DESKTOP)
get_property(VOLLEY_INSTALLED_PROGRAMS GLOBAL PROPERTY VOLLEY_INSTALLED_PROGRAMS)
string(REPLACE ";" "" VOLLEY_INSTALLED_PROGRAMS "${VOLLEY_INSTALLED_PROGRAMS}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/installed_programs.txt
     CONTENT "${VOLLEY_INSTALLED_PROGRAMS}")

# The library for games: its headers (with the engine headers they include, under
# include/volley/engine/), the shared library with its SOVERSION, the static library, the
# CMake package (find_package(Volley) gives Volley::volley) and the pkg-config file volley.pc.
# Both files find everything relative to where they are installed, so any prefix works.
include(CMakePackageConfigHelpers)
# Before 1.0 every minor version may change the interface.
set_target_properties(volley PROPERTIES VERSION ${PROJECT_VERSION}
                      SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR})
install(TARGETS volley volley_static EXPORT VolleyTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# A stripped installation (cpack, cmake --install --strip) drops the archive's debugging
# sections too, which make up most of its size.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-debug
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:volley_static>\")
  endif()")
install(FILES ${CMAKE_SOURCE_DIR}/lib/include/volley/volley.hpp
              ${CMAKE_SOURCE_DIR}/lib/include/volley/volley.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/volley)
install(FILES ${CMAKE_SOURCE_DIR}/engine/turret_module.hpp
              ${CMAKE_SOURCE_DIR}/engine/engine_variant.hpp
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/volley/engine)
set(VOLLEY_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Volley)
install(EXPORT VolleyTargets NAMESPACE Volley:: DESTINATION ${VOLLEY_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/VolleyConfig.cmake.in
  ${CMAKE_BINARY_DIR}/VolleyConfig.cmake INSTALL_DESTINATION ${VOLLEY_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/VolleyConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_BINARY_DIR}/VolleyConfig.cmake ${CMAKE_BINARY_DIR}/VolleyConfigVersion.cmake
        DESTINATION ${VOLLEY_CMAKE_DIR})
file(RELATIVE_PATH VOLLEY_PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
configure_file(${CMAKE_SOURCE_DIR}/cmake/volley.pc.in ${CMAKE_BINARY_DIR}/volley.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/volley.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The Debian package: one package with everything above; dependencies from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME volley)
set(CPACK_PACKAGE_VENDOR "Volley")
set(CPACK_PACKAGE_CONTACT "Volley maintainers <volley@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "design and preview bullet patterns for 2D shooting games")
# The long description; CPack puts the summary above it and indents every line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Volley is a small tool set for bullet patterns (barrages) of 2D shooting games:
volleyplay plays two programmes of built-in patterns on a 320 x 240 screen of
256 colours, volleyedit designs one pattern in a 34-row menu while its cannon
fires live, and volleypattern converts, checks, joins, measures and renders
programme files (.vly and .json).
.
The library volley plays programmes in a game, from C++ (<volley/volley.hpp>)
or any language with a C interface (<volley/volley.h>); find_package(Volley)
and pkg-config find it.")
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
