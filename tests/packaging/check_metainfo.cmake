# Validates the software-centre metadata offline, as a distribution's tools do, and checks
# that its launchable names the desktop entry that the install puts beside it.
#
#   cmake -DMETAINFO=<file> -DDESKTOP_ENTRY=<file> -P check_metainfo.cmake

find_program(APPSTREAMCLI appstreamcli)
if(NOT APPSTREAMCLI)
  message("SKIPPED: appstreamcli is not installed (scripts/install-deps installs appstream)")
  return()
endif()
execute_process(COMMAND ${APPSTREAMCLI} validate --no-net --pedantic ${METAINFO}
  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "appstreamcli rejects ${METAINFO}:\n${out}${err}")
endif()

file(READ ${METAINFO} metainfo)
get_filename_component(entry ${DESKTOP_ENTRY} NAME)
if(NOT metainfo MATCHES "<launchable type=\"desktop-id\">${entry}</launchable>")
  message(FATAL_ERROR "the metainfo's launchable is not ${entry}")
endif()
