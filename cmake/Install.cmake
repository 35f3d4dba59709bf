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

# The alarm tone. A tone of the user's own in the data folder still comes first.
install(FILES resources/Alarm.wav DESTINATION ${TCC_SHARE_DIR})

# Manual pages and the licence, and a changelog in Debian's format; gzip -9n as Debian wants
# them (no name or time stamp in the header, so that rebuilds give the same bytes).
set(TCC_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tarvik-control-centre)
set(TCC_GZIPPED_DOCS)
function(tcc_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${source} ${output}
    DEPENDS ${source}
    COMMENT "Compressing ${output}"
    VERBATIM)
  set(TCC_GZIPPED_DOCS ${TCC_GZIPPED_DOCS} ${output} PARENT_SCOPE)
endfunction()

foreach(program tarvik-control-centre tarvik-unit-sim)
  configure_file(resources/man/${program}.1.in ${PROJECT_BINARY_DIR}/man/${program}.1 @ONLY)
  tcc_gzip(${PROJECT_BINARY_DIR}/man/${program}.1 ${PROJECT_BINARY_DIR}/man/${program}.1.gz)
  install(FILES ${PROJECT_BINARY_DIR}/man/${program}.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/doc)
tcc_gzip(${PROJECT_SOURCE_DIR}/packaging/debian/changelog ${PROJECT_BINARY_DIR}/doc/changelog.gz)
install(FILES packaging/debian/copyright ${PROJECT_BINARY_DIR}/doc/changelog.gz
  DESTINATION ${TCC_DOC_DIR})
add_custom_target(tcc_docs ALL DEPENDS ${TCC_GZIPPED_DOCS})
