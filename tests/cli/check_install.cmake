# Installs the build into a temporary prefix (cmake --install) and checks that
# the man pages, the shell completion and the report schema are there, that
# the bash completion offers the commands, and that `make uninstall`'s
# script removes every installed file again.
set(prefix "${WORK}/prefix")
file(REMOVE_RECURSE "${WORK}")
# cmake --install writes the build's install_manifest.txt: the manifest of a
# real install is kept aside and put back, so that `make uninstall` still
# removes that install.
set(manifest "${BUILD}/install_manifest.txt")
if(EXISTS "${manifest}")
  file(COPY_FILE "${manifest}" "${BUILD}/install_manifest.kept")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${prefix}"
  RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
foreach(file bin/corvane-cli share/man/man1/corvane-cli.1 share/bash-completion/completions/corvane-cli
             share/zsh/vendor-completions/_corvane-cli share/doc/corvane/report.schema.json)
  if(NOT EXISTS "${prefix}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
execute_process(
  COMMAND bash -c "source '${prefix}/share/bash-completion/completions/corvane-cli'; COMP_WORDS=(corvane-cli in); COMP_CWORD=1; _corvane_cli; echo \"\${COMPREPLY[*]}\""
  OUTPUT_VARIABLE offered OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT offered STREQUAL "inspect")
  message(FATAL_ERROR "bash completion of 'corvane-cli in' offers '${offered}'")
endif()
# The manifest of this install, removed by the uninstall script.
execute_process(COMMAND ${CMAKE_COMMAND} -DMANIFEST=${BUILD}/install_manifest.txt -P ${UNINSTALL}
  RESULT_VARIABLE status OUTPUT_QUIET)
file(GLOB_RECURSE left "${prefix}/*")
if(NOT status EQUAL 0 OR left)
  message(FATAL_ERROR "uninstall left: ${left}")
endif()
file(REMOVE_RECURSE "${WORK}")
if(EXISTS "${BUILD}/install_manifest.kept")
  file(RENAME "${BUILD}/install_manifest.kept" "${manifest}")
else()
  file(REMOVE "${manifest}")
endif()
