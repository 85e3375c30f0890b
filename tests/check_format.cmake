# Fails when a C++ source of the project is not laid out by the project's .clang-format.
file(GLOB_RECURSE sources
    ${SOURCE_DIR}/circuit/*.cpp ${SOURCE_DIR}/circuit/*.h
    ${SOURCE_DIR}/engine/*.cpp ${SOURCE_DIR}/engine/*.h
    ${SOURCE_DIR}/files/*.cpp ${SOURCE_DIR}/files/*.h
    ${SOURCE_DIR}/instruments/*.cpp ${SOURCE_DIR}/instruments/*.h
    ${SOURCE_DIR}/web/*.cpp ${SOURCE_DIR}/web/*.h
    ${SOURCE_DIR}/ui/*.cpp ${SOURCE_DIR}/ui/*.h
    ${SOURCE_DIR}/app/*.cpp ${SOURCE_DIR}/cli/*.cpp ${SOURCE_DIR}/cli/*.h
    ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
    ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h
    ${SOURCE_DIR}/fuzz/*.cpp ${SOURCE_DIR}/fuzz/*.h
    ${SOURCE_DIR}/sanitizer/*.cpp)
execute_process(COMMAND ${CLANG_FORMAT} --dry-run -Werror ${sources}
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "clang-format: layout differs; run clang-format -i on the files above")
endif()
