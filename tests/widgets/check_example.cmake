# Builds the example outside the tree the way a Qt developer would: against an installed
# Corvane, found by find_package(Lumakey), with its .ui file through uic; then runs it
# with no registration anywhere, so that the button comes from the control library
# installed beside the widget library.
#
#   cmake -DBUILD_DIR=<build> -DEXAMPLE=<example source> -DWORK_DIR=<scratch folder>
#         [-DSANITIZE=ON] -P check_example.cmake
#
# Against a sanitizer build the example is built with the same sanitizers, which must come
# first in any program that loads the build's libraries.

foreach(var BUILD_DIR EXAMPLE WORK_DIR)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result}):\n${out}${err}")
  endif()
endfunction()

run("installing" ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
set(sanitizers)
if(SANITIZE)
  set(sanitizers -DCMAKE_CXX_FLAGS=-fsanitize=address,undefined -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined)
endif()
run("configuring the example" ${CMAKE_COMMAND} -S ${EXAMPLE} -B ${WORK_DIR}/build -DCMAKE_PREFIX_PATH=${prefix}
    -DCMAKE_BUILD_TYPE=Release ${sanitizers})
run("building the example" ${CMAKE_COMMAND} --build ${WORK_DIR}/build)

# Nothing registered: stores that do not exist.
set(ENV{FORMKIT_REGISTRY} ${WORK_DIR}/none/user.json)
set(ENV{FORMKIT_SYSTEM_REGISTRY} ${WORK_DIR}/none/system.json)
set(ENV{QT_QPA_PLATFORM} offscreen)
# The example runs until it is closed: it must still be running, quietly, when stopped.
execute_process(COMMAND timeout 3 ${WORK_DIR}/build/highlight_button
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 124)
  message(FATAL_ERROR "the example ended with ${result} instead of running on:\n${out}${err}")
endif()
if(err MATCHES "Run-time error|Cannot create")
  message(FATAL_ERROR "the example's button has no control:\n${err}")
endif()
