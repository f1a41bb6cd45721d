# Installation and packages.
#
# The install tree is what a user gets: on Linux the program in bin/, its
# manual page in share/man/man1/ and, in share/doc/quadrixel/, the README,
# the sample data file, the copyright file and the changelog; on Windows
# quadrixel.exe, statically linked, beside the sample data file and the
# README and licence with Windows line ends. cpack turns that tree into a
# .deb and a tarball on Linux, a zip on Windows (scripts/package.sh).
#
# Every package takes its version from the project() line; nothing here
# repeats it.

include(GNUInstallDirs)

set(QUADRIXEL_MAINTAINER "The Quadrixel developers <quadrixel@example.org>"
    CACHE STRING "Maintainer named in the packages")
set(QUADRIXEL_SUMMARY "determinant, adjoint and inverse of an integer matrix")
set(QUADRIXEL_DESCRIPTION
    "Quadrixel is a small interactive console program. In one run it takes one
integer matrix, typed at the keyboard or picked from a bracketed entry of a
data file, prints it and, when it is square and regular, reports its
determinant and its adjoint, from which the inverse follows by one division.

The determinant is the permutation expansion over all n! permutations, in
signed 32-bit integers: a result that does not fit is refused, never printed
wrapped. Matrices of up to 12 x 12 are accepted.")

set(staging "${PROJECT_BINARY_DIR}/packaging")
file(MAKE_DIRECTORY "${staging}")

if(WIN32)
  # One folder: the program finds the sample data file beside it when it is
  # started there.
  install(TARGETS quadrixel RUNTIME DESTINATION .)
  install(FILES examples/MatrixDataFile2.txt DESTINATION .)
  configure_file(README.md "${staging}/README.txt" @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE "${staging}/LICENSE.txt" @ONLY NEWLINE_STYLE CRLF)
  install(FILES "${staging}/README.txt" "${staging}/LICENSE.txt" DESTINATION .)
  if(MINGW)
    # No MinGW runtime DLL (libstdc++, libgcc, winpthread) is needed beside it.
    target_link_options(quadrixel PRIVATE -static)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
  if(NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win32)
  endif()
else()
  install(TARGETS quadrixel RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

  # The manual page, changelog and copyright file are made when CMake
  # configures; gzip -n keeps the compressed files free of time stamps.
  find_program(GZIP_PROGRAM gzip REQUIRED)
  configure_file(doc/quadrixel.1.in "${staging}/quadrixel.1" @ONLY)
  string(TIMESTAMP QUADRIXEL_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
  configure_file(packaging/changelog.in "${staging}/changelog" @ONLY)
  foreach(file quadrixel.1 changelog)
    execute_process(COMMAND "${GZIP_PROGRAM}" -9 -n -f -k "${staging}/${file}"
                    COMMAND_ERROR_IS_FATAL ANY)
  endforeach()

  # Debian's machine-readable copyright file, its licence text taken from
  # LICENSE: each line indented by one blank, an empty line written " .".
  file(READ LICENSE licence)
  string(REGEX REPLACE "^.*Copyright[^\n]*\n\n" "" licence "${licence}")
  string(REGEX REPLACE "\n+$" "" licence "${licence}")
  string(REPLACE "\n\n" "\n.\n" licence "${licence}")
  string(REPLACE "\n" "\n " licence "${licence}")
  set(QUADRIXEL_LICENCE_TEXT " ${licence}")
  configure_file(packaging/copyright.in "${staging}/copyright" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS LICENSE)

  install(FILES "${staging}/quadrixel.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
  install(FILES README.md examples/MatrixDataFile2.txt "${staging}/copyright"
                "${staging}/changelog.gz"
          DESTINATION "${CMAKE_INSTALL_DOCDIR}")

  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_SYSTEM_NAME "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
endif()

# cpack installs the program without building anything else first: the
# packages need the program alone, not the tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_NAME quadrixel)
set(CPACK_PACKAGE_VENDOR "The Quadrixel developers")
set(CPACK_PACKAGE_CONTACT "${QUADRIXEL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${QUADRIXEL_SUMMARY}")
set(CPACK_PACKAGE_DESCRIPTION "${QUADRIXEL_DESCRIPTION}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
set(CPACK_PACKAGE_FILE_NAME "quadrixel-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME}")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
