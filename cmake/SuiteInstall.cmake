# The install layout of the suite (GNU directories under CMAKE_INSTALL_PREFIX,
# /usr for the Debian package) and the helpers that put files in it.
#
# SUITE_PACKAGE_NAME names the package and its folders:
#   documentation  ${CMAKE_INSTALL_DOCDIR}        share/doc/<package>
#   data           ${SUITE_INSTALL_DATADIR}       share/<package>
set(SUITE_PACKAGE_NAME "site-seismic-suite" CACHE STRING "Name of the installed package and of its folders")
# The documentation folder follows the package's name (Debian's rule), whatever
# an earlier configuration left in the cache.
set(CMAKE_INSTALL_DOCDIR "share/doc/${SUITE_PACKAGE_NAME}")
include(GNUInstallDirs)
set(SUITE_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/${SUITE_PACKAGE_NAME}")
set(SUITE_INSTALL_FULL_DATADIR "${CMAKE_INSTALL_FULL_DATADIR}/${SUITE_PACKAGE_NAME}")

# suite_install_docs(FILE... [DIRECTORY DIR...] [TARGETS TARGET...])
# Installs user documents (manuals as PDF and HTML, with the folders their
# pages use) into the documentation folder, where the programs look for them
# after their own folder (common/installpaths.h). Every file and folder given
# is listed in ${CMAKE_BINARY_DIR}/package-docs.txt, which the packaging test
# checks against the package's content. TARGETS name the targets that make
# them, which the package's build (package_contents) then builds.
function(suite_install_docs)
  cmake_parse_arguments(ARG "" "" "DIRECTORY;TARGETS" ${ARGN})
  if(ARG_TARGETS)
    set_property(GLOBAL APPEND PROPERTY SUITE_DOC_TARGETS ${ARG_TARGETS})
  endif()
  if(ARG_UNPARSED_ARGUMENTS)
    install(FILES ${ARG_UNPARSED_ARGUMENTS} DESTINATION ${CMAKE_INSTALL_DOCDIR})
  endif()
  if(ARG_DIRECTORY)
    # Build stamps (".stamp") mark finished steps and are not documents.
    install(DIRECTORY ${ARG_DIRECTORY} DESTINATION ${CMAKE_INSTALL_DOCDIR} PATTERN ".*" EXCLUDE)
  endif()
  foreach(path IN LISTS ARG_UNPARSED_ARGUMENTS ARG_DIRECTORY)
    get_filename_component(name "${path}" NAME)
    set_property(GLOBAL APPEND PROPERTY SUITE_INSTALLED_DOCS "${CMAKE_INSTALL_DOCDIR}/${name}")
  endforeach()
endfunction()

# suite_install_programs(TARGET...): programs into ${CMAKE_INSTALL_BINDIR};
# targets left out of this build (SUITE_SKIP) are skipped.
function(suite_install_programs)
  foreach(target IN LISTS ARGN)
    if(TARGET ${target})
      install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
  endforeach()
endfunction()
