# What `cmake --install` puts beside the programs: man pages made from the
# programs' own --help at build time, shell completion, and the removal of
# all of it again (`make uninstall`); and the Debian package (`make package`).

# Man pages: help2man runs each program's --help and --version.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(CORVANE_MAN_DIR ${CMAKE_BINARY_DIR}/man)
  set(CORVANE_MAN_PAGES ${CORVANE_MAN_DIR}/corvane-cli.1)
  add_custom_command(OUTPUT ${CORVANE_MAN_DIR}/corvane-cli.1
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CORVANE_MAN_DIR}
    COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section 1
      --name "network diagnosis and repair, from the command line"
      --include ${PROJECT_SOURCE_DIR}/docs/corvane-cli.h2m
      --output ${CORVANE_MAN_DIR}/corvane-cli.1 $<TARGET_FILE:corvane-cli>
    DEPENDS corvane-cli ${PROJECT_SOURCE_DIR}/docs/corvane-cli.h2m
    COMMENT "Writing the man page of corvane-cli")
  if(TARGET corvane)
    list(APPEND CORVANE_MAN_PAGES ${CORVANE_MAN_DIR}/corvane.1)
    add_custom_command(OUTPUT ${CORVANE_MAN_DIR}/corvane.1
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CORVANE_MAN_DIR}
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
        ${HELP2MAN} --no-info --no-discard-stderr --section 1
        --name "the network check-up of your Internet provider"
        --output ${CORVANE_MAN_DIR}/corvane.1 $<TARGET_FILE:corvane>
      DEPENDS corvane
      COMMENT "Writing the man page of corvane")
  endif()
  add_custom_target(corvane_man ALL DEPENDS ${CORVANE_MAN_PAGES})
  install(FILES ${CORVANE_MAN_PAGES} DESTINATION share/man/man1)
else()
  message(WARNING "help2man is missing: no man pages (scripts/install-deps installs it)")
endif()

# Shell completion, where bash-completion and zsh look for it.
install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/corvane-cli.bash
  DESTINATION share/bash-completion/completions RENAME corvane-cli)
install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/corvane-cli.bash
  DESTINATION share/bash-completion/completions RENAME corvane)
install(FILES ${PROJECT_SOURCE_DIR}/resources/completion/_corvane-cli
  DESTINATION share/zsh/vendor-completions)

# make uninstall: removes every file the last `cmake --install` of this
# build wrote (install_manifest.txt).
if(NOT TARGET uninstall)
  add_custom_target(uninstall
    COMMAND ${CMAKE_COMMAND} -DMANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
      -P ${PROJECT_SOURCE_DIR}/cmake/Uninstall.cmake
    COMMENT "Removing the installed files")
endif()

# make package: a Debian package with its library dependencies computed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Corvane developers <corvane@example.net>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Network diagnosis and repair for Macs, checked from Linux")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Loaded at run time, not linked: libcurl for https; a Japanese font and Qt's
# own translations (its dialogs) for the window.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4")
if(CORVANE_BUILD_GUI)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", fonts-ipafont-gothic | fonts-noto-cjk, qt6-translations-l10n")
endif()
include(CPack)

# The report's schema, for those who read the JSON reports.
install(FILES ${PROJECT_SOURCE_DIR}/docs/report.schema.json DESTINATION share/doc/corvane)
