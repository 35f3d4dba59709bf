# Where an installed control centre keeps its parts. The program finds its helper in
# ../libexec/tarvik-control-centre and its shared files in ../share/tarvik-control-centre,
# relative to its own folder, so any prefix works.
include(GNUInstallDirs)

set(TCC_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/tarvik-control-centre)
set(TCC_LIBEXEC_DIR ${CMAKE_INSTALL_LIBEXECDIR}/tarvik-control-centre)

install(TARGETS tarvik-control-centre tarvik-unit-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS resources/udev/install-unit-access DESTINATION ${TCC_LIBEXEC_DIR})
install(FILES resources/udev/70-tarvik-unit.rules DESTINATION ${TCC_SHARE_DIR})
# With the rule in udev's own folder (prefix /usr, as the package has it) no installer run is
# needed at all; under other prefixes udev does not look there and the installer copies it.
install(FILES resources/udev/70-tarvik-unit.rules DESTINATION lib/udev/rules.d)
