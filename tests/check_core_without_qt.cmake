# The core layers stay free of Qt, so that the engine runs and is tested without a window.
file(GLOB_RECURSE sources ${SOURCE_DIR}/circuit/* ${SOURCE_DIR}/engine/* ${SOURCE_DIR}/files/*
     ${SOURCE_DIR}/instruments/* ${SOURCE_DIR}/web/*)
set(offenders "")
foreach(source ${sources})
    file(STRINGS ${source} hits REGEX "#[ \t]*include[ \t]*<Q")
    if(hits)
        list(APPEND offenders ${source})
    endif()
endforeach()
if(offenders)
    message(FATAL_ERROR "Qt headers in the core layers: ${offenders}")
endif()
