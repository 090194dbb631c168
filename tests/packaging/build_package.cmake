# Builds the Debian package of the build into PACKAGE_DIR, as `make package` does, for the
# tests that check the package.
#
#   cmake -DBUILD_DIR=<build> -DPACKAGE_DIR=<scratch folder> -P build_package.cmake

# The cpack that belongs to the cmake running this script.
get_filename_component(cmake_bin ${CMAKE_COMMAND} DIRECTORY)
set(CPACK ${cmake_bin}/cpack)

file(REMOVE_RECURSE ${PACKAGE_DIR})
file(MAKE_DIRECTORY ${PACKAGE_DIR})
execute_process(COMMAND ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${PACKAGE_DIR}
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(GLOB packages ${PACKAGE_DIR}/*.deb)
if(NOT result EQUAL 0 OR NOT packages)
  message(FATAL_ERROR "cpack failed:\n${out}${err}")
endif()
message("built ${packages}")
