# The Debian package, built by CPack from what cmake/Install.cmake installs (scripts/package
# configures a Release build for it and runs cpack).

set(TCC_PACKAGE_MAINTAINER
  "Tarvik Control Centre developers <developers@tarvik-control-centre.example.org>"
  CACHE STRING "Maintainer field of the Debian package")

# The changelog's newest entry names the version packaged; a release bumps both together.
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog tcc_changelog_head LIMIT_COUNT 1)
string(REGEX MATCH "\\(([^)]+)\\)" tcc_changelog_version "${tcc_changelog_head}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/debian/changelog starts at version '${CMAKE_MATCH_1}', the "
                      "project is at ${PROJECT_VERSION}: add an entry for the new version")
endif()

# postrm removes the helper's copy of the udev rule on purge only if it is still this one.
set(TCC_UDEV_RULE_NAME 70-tarvik-unit.rules)
file(SHA256 ${PROJECT_SOURCE_DIR}/resources/udev/${TCC_UDEV_RULE_NAME} TCC_UDEV_RULE_SHA256)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/postinst
               ${PROJECT_BINARY_DIR}/debian/postinst COPYONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/postrm.in
               ${PROJECT_BINARY_DIR}/debian/postrm @ONLY)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvik-control-centre)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TCC_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "control centre for the Tarvik II phase-change CPU cooling unit")
# The first line of the control file's description is the summary above; these lines follow
# it, each at most 79 characters wide.
set(CPACK_PACKAGE_DESCRIPTION
  "Watches and sets up the Tarvik II compressor CPU cooling unit, connected by
USB. It polls the unit every 3 seconds, shows its state, temperatures and fan
speeds, checks every sensor against warning and shut-down limits, raises the
chosen warning action, and powers the computer off after a three-minute
countdown when a critical condition persists. It sends the fan,
boot-temperature and display settings to the unit, samples the computer's CPU
clock and load, and keeps error and operation logs.

A udev rule gives the user at the seat access to the unit. The package also
holds tarvik-unit-sim, a simulated unit for trying the program without one.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TCC_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Libraries as dpkg-shlibdeps finds them, and the programs the control centre starts:
# xdg-open shows the logs and the help pages. The rest only serve part of the program:
# pkexec runs the access helper (rarely needed, as the package puts the udev rule in place),
# a player sounds the alarm tone (else the system beep), logind powers the computer off, and
# a mail transport sends the error report.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "pkexec, pipewire-bin | pulseaudio-utils | alsa-utils, default-logind | logind")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "default-mta | mail-transport-agent")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_BINARY_DIR}/debian/postinst ${PROJECT_BINARY_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Stripped as Debian strips: without debugging symbols, and without the compiler's .comment
# and .note sections, which CPack's own stripping keeps.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/debian/strip.cmake)

# Findings of lintian that stand for a reason, each explained in the file.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tarvik-control-centre)

include(CPack)
