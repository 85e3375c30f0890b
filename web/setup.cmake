# What the web build sets before the layers: exceptions that can be caught (the engine reports
# a text that is no number by one), and the header-only libraries it takes from Debian.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# Each library's folder under /usr/include is linked alone into the build: /usr/include as a
# whole holds the desktop's C library, which must not shadow emscripten's.
set(FELDAN_WEB_HEADERS ${CMAKE_BINARY_DIR}/web-headers)
file(MAKE_DIRECTORY ${FELDAN_WEB_HEADERS})
foreach(folder nlohmann fmt fast_float)
    if(NOT EXISTS /usr/include/${folder})
        message(FATAL_ERROR "/usr/include/${folder} is missing: scripts/web installs its package")
    endif()
    file(CREATE_LINK /usr/include/${folder} ${FELDAN_WEB_HEADERS}/${folder} SYMBOLIC)
endforeach()
# Eigen's headers live one folder down, in /usr/include/eigen3.
if(NOT EXISTS /usr/include/eigen3/Eigen)
    message(FATAL_ERROR "/usr/include/eigen3 is missing: scripts/web installs its package")
endif()
file(CREATE_LINK /usr/include/eigen3 ${FELDAN_WEB_HEADERS}/eigen3 SYMBOLIC)
add_library(Eigen3::Eigen INTERFACE IMPORTED)
target_include_directories(Eigen3::Eigen SYSTEM INTERFACE ${FELDAN_WEB_HEADERS}/eigen3)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE ${FELDAN_WEB_HEADERS})
# The JavaScript optimiser of the link needs Debian's acorn module, which Node does not find
# by itself.
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
