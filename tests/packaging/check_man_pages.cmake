# Renders each compressed manual page with man, as a reader would, and fails on any
# warning of man or groff, and on a page that lacks one of the sections a reader of a
# tool's page looks for.
#
#   cmake "-DPAGES=<page.1.gz;...>" -P check_man_pages.cmake

find_program(MAN man)
if(NOT MAN)
  message("SKIPPED: man is not installed (scripts/install-deps installs man-db)")
  return()
endif()
if(NOT PAGES)
  message(FATAL_ERROR "no manual pages given")
endif()

set(sections NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES EXAMPLES)
set(failures 0)
set(ENV{MANWIDTH} 80)
set(ENV{LC_ALL} C.UTF-8)
foreach(page IN LISTS PAGES)
  if(NOT EXISTS ${page})
    message(SEND_ERROR "${page} was not built")
    math(EXPR failures "${failures} + 1")
    continue()
  endif()
  execute_process(COMMAND ${MAN} --warnings -l ${page}
    RESULT_VARIABLE result OUTPUT_VARIABLE text ERROR_VARIABLE warnings)
  get_filename_component(name ${page} NAME)
  if(NOT result EQUAL 0 OR NOT warnings STREQUAL "")
    message(SEND_ERROR "${name}: man says (status ${result}):\n${warnings}")
    math(EXPR failures "${failures} + 1")
  endif()
  foreach(section IN LISTS sections)
    if(NOT text MATCHES "\n${section}\n")
      message(SEND_ERROR "${name} has no section ${section}")
      math(EXPR failures "${failures} + 1")
    endif()
  endforeach()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} problem(s) with the manual pages")
endif()
