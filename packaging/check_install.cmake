# Installs the build into a scratch prefix and checks that the installed pieces fit together:
# every file lands where the desktop looks for it, the menu entry starts an installed program and
# names an installed icon, the metadata points at the menu entry, and the versions agree.
# Arguments: BUILD_DIR, PREFIX, WITH_UI, APP_ID, VERSION.
set(problems "")
macro(problem text)
    list(APPEND problems "${text}")
endmacro()

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE installResult OUTPUT_VARIABLE installOutput ERROR_VARIABLE installOutput)
if(NOT installResult EQUAL 0)
    message(FATAL_ERROR "cmake --install failed (${installResult}):\n${installOutput}")
endif()

set(expected bin/feldan-cli share/doc/feldan/copyright lib/udev/rules.d/60-feldan-nanovna.rules)
if(WITH_UI)
    list(APPEND expected
        bin/feldan
        share/applications/${APP_ID}.desktop
        share/metainfo/${APP_ID}.metainfo.xml
        share/icons/hicolor/scalable/apps/${APP_ID}.svg)
endif()
foreach(path ${expected})
    if(NOT EXISTS ${PREFIX}/${path})
        problem("not installed: ${path}")
    endif()
endforeach()

# The copyright file gives the source's MIT text, and the GPL-3 of a package with the window,
# which links Qt Charts.
if(EXISTS ${PREFIX}/share/doc/feldan/copyright)
    file(READ ${PREFIX}/share/doc/feldan/copyright copyright)
    set(packageLicense MIT)
    if(WITH_UI)
        set(packageLicense GPL-3)
    endif()
    if(NOT copyright MATCHES "\nLicense: ${packageLicense}\nComment: ")
        problem("the copyright file does not put the package under ${packageLicense}")
    endif()
    if(NOT copyright MATCHES "\nLicense: MIT\n Permission is hereby granted")
        problem("the copyright file lacks the MIT text of the source")
    endif()
endif()

# The installed command-line tool must start from its new place and know its version.
execute_process(COMMAND ${PREFIX}/bin/feldan-cli --version
    RESULT_VARIABLE cliResult OUTPUT_VARIABLE cliOutput ERROR_VARIABLE cliError)
if(NOT cliResult EQUAL 0)
    problem("installed feldan-cli --version failed (${cliResult}): ${cliError}")
elseif(NOT cliOutput MATCHES "feldan-cli")
    problem("installed feldan-cli --version does not name the program: ${cliOutput}")
else()
    string(REPLACE "." "\\." versionPattern "${VERSION}")
    if(NOT cliOutput MATCHES "(^|[^0-9.])${versionPattern}([^0-9]|$)")
        problem("installed feldan-cli --version does not give version ${VERSION}: ${cliOutput}")
    endif()
endif()

if(WITH_UI AND EXISTS ${PREFIX}/share/applications/${APP_ID}.desktop)
    file(STRINGS ${PREFIX}/share/applications/${APP_ID}.desktop execLines REGEX "^Exec=")
    file(STRINGS ${PREFIX}/share/applications/${APP_ID}.desktop iconLines REGEX "^Icon=")
    list(LENGTH execLines execCount)
    list(LENGTH iconLines iconCount)
    if(NOT execCount EQUAL 1 OR NOT iconCount EQUAL 1)
        problem("the desktop entry needs exactly one Exec= and one Icon= line")
    else()
        # The menu finds the program through PATH, so Exec names a bare command in bin/.
        string(REGEX REPLACE "^Exec=([^ ]*).*" "\\1" execCommand "${execLines}")
        if(execCommand MATCHES "/" OR NOT EXISTS ${PREFIX}/bin/${execCommand})
            problem("the desktop entry starts '${execCommand}', which is not an installed command")
        endif()
        # A themed icon is looked up by name without extension, never by path.
        string(REGEX REPLACE "^Icon=" "" iconName "${iconLines}")
        if(NOT EXISTS ${PREFIX}/share/icons/hicolor/scalable/apps/${iconName}.svg)
            problem("the desktop entry names icon '${iconName}', which is not installed")
        endif()
    endif()
endif()

if(WITH_UI AND EXISTS ${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml)
    file(READ ${PREFIX}/share/metainfo/${APP_ID}.metainfo.xml metainfo)
    if(NOT metainfo MATCHES "<id>([^<]*)</id>" OR NOT CMAKE_MATCH_1 STREQUAL APP_ID)
        problem("the metadata id '${CMAKE_MATCH_1}' differs from its file name ${APP_ID}")
    endif()
    if(NOT metainfo MATCHES "<launchable type=\"desktop-id\">([^<]*)</launchable>")
        problem("the metadata has no desktop launchable")
    elseif(NOT EXISTS ${PREFIX}/share/applications/${CMAKE_MATCH_1})
        problem("the metadata launches '${CMAKE_MATCH_1}', which is not installed")
    endif()
    # Software centres show the newest release, which must be the version being installed.
    if(NOT metainfo MATCHES "<release version=\"([^\"]*)\"")
        problem("the metadata lists no release")
    elseif(NOT CMAKE_MATCH_1 STREQUAL VERSION)
        problem("the metadata's newest release is ${CMAKE_MATCH_1}, the project is ${VERSION}")
    endif()
    string(REGEX MATCHALL "<binary>[^<]*</binary>" binaries "${metainfo}")
    foreach(binary ${binaries})
        string(REGEX REPLACE "</?binary>" "" binary "${binary}")
        if(NOT EXISTS ${PREFIX}/bin/${binary})
            problem("the metadata provides '${binary}', which is not installed")
        endif()
    endforeach()
endif()

if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "installation problems:\n  ${text}")
endif()
message(STATUS "installation into ${PREFIX} is complete and consistent")
