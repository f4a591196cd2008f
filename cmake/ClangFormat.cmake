# `format` rewrites every C++ source of the project in place with clang-format.
find_program(CLANG_FORMAT_EXECUTABLE NAMES clang-format clang-format-14)
if(CLANG_FORMAT_EXECUTABLE)
    file(GLOB_RECURSE VESKARD_FORMAT_SOURCES CONFIGURE_DEPENDS
        ${PROJECT_SOURCE_DIR}/src/engine/*.cpp ${PROJECT_SOURCE_DIR}/src/engine/*.h
        ${PROJECT_SOURCE_DIR}/src/platform/*.cpp ${PROJECT_SOURCE_DIR}/src/platform/*.h
        ${PROJECT_SOURCE_DIR}/mainwindow/*.cpp ${PROJECT_SOURCE_DIR}/mainwindow/*.h
        ${PROJECT_SOURCE_DIR}/src/cli/*.cpp ${PROJECT_SOURCE_DIR}/src/cli/*.h
        ${PROJECT_SOURCE_DIR}/generator/*.cpp ${PROJECT_SOURCE_DIR}/generator/*.h
        ${PROJECT_SOURCE_DIR}/about/*.cpp ${PROJECT_SOURCE_DIR}/about/*.h
        ${PROJECT_SOURCE_DIR}/tests/*.cpp ${PROJECT_SOURCE_DIR}/tests/*.h
        ${PROJECT_SOURCE_DIR}/fuzz/*.cpp ${PROJECT_SOURCE_DIR}/bench/*.cpp
        ${PROJECT_SOURCE_DIR}/app/*.cpp)
    add_custom_target(format
        COMMAND ${CLANG_FORMAT_EXECUTABLE} -i ${VESKARD_FORMAT_SOURCES}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        COMMENT "Formatting sources with clang-format")
endif()
