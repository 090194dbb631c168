# Has lintian check the Debian package in PACKAGE_DIR (build_package.cmake writes it). Errors
# and warnings fail; informational and pedantic notes do not.
#
#   cmake -DPACKAGE_DIR=<folder of the package> -P check_lintian.cmake

find_program(LINTIAN lintian)
if(NOT LINTIAN)
  message("SKIPPED: lintian is not installed (scripts/install-deps installs it)")
  return()
endif()

file(GLOB packages ${PACKAGE_DIR}/*.deb)
if(NOT packages)
  message(FATAL_ERROR "no package in ${PACKAGE_DIR}: packaging.package builds it")
endif()
execute_process(COMMAND ${LINTIAN} --fail-on error,warning --info ${packages}
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lintian rejects ${packages}")
endif()
