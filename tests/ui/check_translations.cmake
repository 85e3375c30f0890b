# Fails when the English translation lacks a text of the windows: lupdate reads the sources
# into a copy of the .ts file (the tracked file is never rewritten), and every text it marks
# unfinished (new, or never translated) or vanished (gone from the sources) is named.
# -D LUPDATE=<lupdate> SOURCE_DIR=<project> TS_FILE=<.ts> WORK_DIR=<folder> OPTIONS=<list>
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
get_filename_component(name "${TS_FILE}" NAME)
set(copy "${WORK_DIR}/${name}")
file(COPY_FILE "${TS_FILE}" "${copy}")
execute_process(
    COMMAND "${LUPDATE}" ${OPTIONS} -I "${SOURCE_DIR}" "${SOURCE_DIR}/ui" -ts "${copy}"
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "lupdate failed (${status}):\n${output}")
endif()
file(READ "${copy}" content)
string(REGEX MATCHALL "<source>[^<]*</source>[ \r\n]*<translation type=\"[a-z]+\""
       unfinished "${content}")
if(unfinished)
    set(list "")
    foreach(entry IN LISTS unfinished)
        string(REGEX REPLACE "<source>([^<]*)</source>.*type=\"([a-z]+)\"" "  \\2: \\1" entry
               "${entry}")
        string(APPEND list "${entry}\n")
    endforeach()
    message(FATAL_ERROR "${TS_FILE} is not complete; run the update_translations target and "
                        "translate:\n${list}")
endif()
message(STATUS "Every text of the windows has its translation in ${name}.")
