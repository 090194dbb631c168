# Installs the build into a fresh folder and checks what a user gets: the files and nothing
# else, their modes, the RUNPATHs, the link to the program, the icons, and that the installed
# tools run from where they are, register the installed control library and find it there.
#
#   cmake -DBUILD_DIR=<build> -DWORK_DIR=<scratch folder> -DREADELF=<readelf>
#         -DQT_PLUGINS=<Qt's plugin folder, relative to the prefix> -P check_install.cmake

foreach(var BUILD_DIR WORK_DIR READELF QT_PLUGINS)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

set(failures 0)
macro(fail text)
  message(SEND_ERROR "${text}")
  math(EXPR failures "${failures} + 1")
endmacro()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(REAL_PATH ${WORK_DIR} WORK_DIR)
set(prefix ${WORK_DIR}/prefix)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
  RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()

set(programs lib/corvane/Corvane_ALPHA3 lib/corvane/regsvr lib/corvane/resdump lib/corvane/ctlhost)
set(libraries lib/corvane/Lumakey.ocx lib/corvane/libformkit.so lib/corvane/libLumakeyWidgets.so.1.0.0)
# The widget library's names for the loader and for the linker.
set(library_links lib/corvane/libLumakeyWidgets.so.1 lib/corvane/libLumakeyWidgets.so)
# What Qt developers build with: the Designer plugin, the header and the CMake package.
set(designer_plugin ${QT_PLUGINS}/designer/liblumakey_designer.so)
set(development include/lumakey/lumakey_button.h lib/cmake/Lumakey/LumakeyConfig.cmake
                lib/cmake/Lumakey/LumakeyConfigVersion.cmake)
set(data share/applications/corvane.desktop
         share/icons/hicolor/16x16/apps/corvane.png share/icons/hicolor/32x32/apps/corvane.png
         share/metainfo/org.example.corvane.metainfo.xml
         share/doc/corvane/copyright share/doc/corvane/changelog.gz
         share/man/man1/Corvane_ALPHA3.1.gz share/man/man1/regsvr.1.gz share/man/man1/resdump.1.gz
         share/man/man1/ctlhost.1.gz)

# Exactly these files: no build helpers, no test programs.
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${prefix} ${prefix}/*)
set(expected ${programs} ${libraries} ${library_links} ${designer_plugin} ${development} ${data} bin/Corvane_ALPHA3)
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
  fail("installed files are\n  ${installed}\nexpected\n  ${expected}")
endif()

function(mode_of path out)
  execute_process(COMMAND stat -c %a ${path} OUTPUT_VARIABLE mode OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(${out} ${mode} PARENT_SCOPE)
endfunction()

# Programs run; libraries are mapped and carry no execute bits.
foreach(file IN LISTS programs libraries)
  mode_of(${prefix}/${file} mode)
  list(FIND libraries ${file} library_index)
  if(library_index EQUAL -1)
    set(wanted 755)
  else()
    set(wanted 644)
  endif()
  if(NOT mode STREQUAL wanted)
    fail("${file} has mode ${mode}, not ${wanted}")
  endif()
  execute_process(COMMAND ${READELF} -d ${prefix}/${file} OUTPUT_VARIABLE dynamic)
  string(REGEX MATCH "\\(RUNPATH\\)[^\n]*\\[([^]]*)\\]" runpath "${dynamic}")
  if(NOT CMAKE_MATCH_1 STREQUAL "$ORIGIN")
    fail("${file} has RUNPATH '${CMAKE_MATCH_1}', not '$ORIGIN'")
  endif()
endforeach()
# The plugin finds the widget library in the private folder, wherever the prefix is.
execute_process(COMMAND ${READELF} -d ${prefix}/${designer_plugin} OUTPUT_VARIABLE dynamic)
string(REGEX MATCH "\\(RUNPATH\\)[^\n]*\\[([^]]*)\\]" runpath "${dynamic}")
file(RELATIVE_PATH to_private ${prefix}/${QT_PLUGINS}/designer ${prefix}/lib/corvane)
if(NOT CMAKE_MATCH_1 STREQUAL "$ORIGIN/${to_private}")
  fail("${designer_plugin} has RUNPATH '${CMAKE_MATCH_1}', not '$ORIGIN/${to_private}'")
endif()
foreach(file IN LISTS data development designer_plugin)
  mode_of(${prefix}/${file} mode)
  if(NOT mode STREQUAL "644")
    fail("${file} has mode ${mode}, not 644")
  endif()
endforeach()
execute_process(COMMAND find ${prefix} -perm /022 ! -type l OUTPUT_VARIABLE writable OUTPUT_STRIP_TRAILING_WHITESPACE)
if(writable)
  fail("others can write:\n${writable}")
endif()

if(NOT IS_SYMLINK ${prefix}/bin/Corvane_ALPHA3)
  fail("bin/Corvane_ALPHA3 is not a link")
else()
  file(READ_SYMLINK ${prefix}/bin/Corvane_ALPHA3 target)
  if(NOT target STREQUAL "../lib/corvane/Corvane_ALPHA3")
    fail("bin/Corvane_ALPHA3 leads to '${target}'")
  endif()
endif()

# Each icon is a PNG file of its folder's size (the width and height of its header).
foreach(size 16 32)
  set(icon ${prefix}/share/icons/hicolor/${size}x${size}/apps/corvane.png)
  if(EXISTS ${icon})
    file(READ ${icon} header LIMIT 24 HEX)
    math(EXPR hex_size "${size}" OUTPUT_FORMAT HEXADECIMAL)
    string(SUBSTRING "${hex_size}" 2 -1 digits)
    string(LENGTH "${digits}" length)
    while(length LESS 8)
      string(PREPEND digits 0)
      string(LENGTH "${digits}" length)
    endwhile()
    if(NOT header MATCHES "^89504e470d0a1a0a0000000d49484452${digits}${digits}$")
      fail("the ${size}x${size} icon is not a ${size}x${size} PNG file (header ${header})")
    endif()
  endif()
endforeach()

# The installed tools run from the installed folder alone, and register the installed
# library into a system store of this test's own.
set(ENV{FORMKIT_REGISTRY} ${WORK_DIR}/user/registry.json)
set(ENV{FORMKIT_SYSTEM_REGISTRY} ${WORK_DIR}/system/registry.json)
execute_process(COMMAND ${prefix}/lib/corvane/regsvr --system ${prefix}/lib/corvane/Lumakey.ocx
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  fail("the installed regsvr failed: ${err}")
else()
  file(READ ${WORK_DIR}/system/registry.json store)
  string(JSON library ERROR_VARIABLE unreadable GET "${store}" classes "{8DDE02C5-207C-4592-8B6F-0F84159237E0}" library)
  if(NOT library STREQUAL "${prefix}/lib/corvane/Lumakey.ocx")
    fail("the system store does not name the installed library:\n${store}")
  endif()
  if(EXISTS ${WORK_DIR}/user/registry.json)
    fail("regsvr --system wrote the user's store")
  endif()
endif()
# The installed container finds that registration and takes the installed library.
execute_process(COMMAND ${prefix}/lib/corvane/ctlhost list
  RESULT_VARIABLE result OUTPUT_VARIABLE listing ERROR_VARIABLE err)
string(FIND "${listing}" "  Lumakey.btn  {8DDE02C5-207C-4592-8B6F-0F84159237E0}  library '${prefix}/lib/corvane/Lumakey.ocx'  \
type library {2004FE3A-FBE0-4284-AAF3-0C56C3E6713D} 2.0  ready\n" at)
if(NOT result EQUAL 0 OR at EQUAL -1)
  fail("the installed ctlhost does not list the installed library as ready: ${err}${listing}")
endif()
execute_process(COMMAND ${prefix}/lib/corvane/resdump ${prefix}/lib/corvane/Corvane_ALPHA3
  RESULT_VARIABLE result OUTPUT_VARIABLE listing ERROR_VARIABLE err)
if(NOT result EQUAL 0 OR NOT listing MATCHES "MANIFEST")
  fail("the installed resdump cannot list the installed program: ${err}${listing}")
endif()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} problem(s) with the installed files")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
