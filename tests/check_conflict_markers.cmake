# Fails when a tracked text file still holds the markers of an unresolved merge: a line that
# starts with seven '<' or seven '>' and a space, or that is exactly seven '='.
find_package(Git QUIET)
if(NOT GIT_FOUND OR NOT EXISTS ${SOURCE_DIR}/.git)
    message(STATUS "Not a git checkout: no tracked files to look at")
    return()
endif()
execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} grep -n -I -E "^(<{7} |={7}$|>{7} )"
    RESULT_VARIABLE result OUTPUT_VARIABLE found)
if(result EQUAL 0)
    message(FATAL_ERROR "Merge-conflict markers in tracked files:\n${found}")
elseif(NOT result EQUAL 1)
    message(FATAL_ERROR "git grep could not look for merge-conflict markers (status ${result})")
endif()
