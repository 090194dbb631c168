# Builds the Debian package of the build into WORK_DIR, as `make package` does, and has
# lintian check it. Errors and warnings fail; informational and pedantic notes do not.
#
#   cmake -DBUILD_DIR=<build> -DWORK_DIR=<scratch folder> -P check_lintian.cmake

find_program(LINTIAN lintian)
if(NOT LINTIAN)
  message("SKIPPED: lintian is not installed (scripts/install-deps installs it)")
  return()
endif()
# The cpack that belongs to the cmake running this script.
get_filename_component(cmake_bin ${CMAKE_COMMAND} DIRECTORY)
set(CPACK ${cmake_bin}/cpack)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR}
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(GLOB packages ${WORK_DIR}/*.deb)
if(NOT result EQUAL 0 OR NOT packages)
  message(FATAL_ERROR "cpack failed:\n${out}${err}")
endif()

execute_process(COMMAND ${LINTIAN} --fail-on error,warning --info ${packages}
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("${out}${err}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lintian rejects ${packages}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
