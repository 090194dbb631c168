# Writes INPUT, or with SCDOC set the manual page scdoc makes of it, to OUTPUT compressed
# with gzip -9n: no file name and no time stamp, so that every build gives the same bytes.
# A page carries RELEASE_DATE (YYYY-MM-DD) as its date, not the day of the build.
#
#   cmake -DINPUT=<file> -DOUTPUT=<file.gz> [-DSCDOC=<scdoc> -DRELEASE_DATE=<date>] -P compress.cmake

get_filename_component(out_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
set(plain ${OUTPUT}.tmp)
if(SCDOC)
  execute_process(COMMAND date -u -d ${RELEASE_DATE} +%s OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "'${RELEASE_DATE}' is not a date")
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
  execute_process(COMMAND ${SCDOC} INPUT_FILE ${INPUT} OUTPUT_FILE ${plain} RESULT_VARIABLE result ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    file(REMOVE ${plain})
    message(FATAL_ERROR "scdoc refused ${INPUT}: ${errors}")
  endif()
else()
  configure_file(${INPUT} ${plain} COPYONLY)
endif()
execute_process(COMMAND gzip -9n -c ${plain} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE result)
file(REMOVE ${plain})
if(NOT result EQUAL 0)
  file(REMOVE ${OUTPUT})
  message(FATAL_ERROR "gzip failed on ${INPUT}")
endif()
