# Every library's headers are included with its folder as prefix
# ("engine/EncryptJob.h"), and every library has an include root of its own
# in the build folder that holds that prefix alone: a symbolic link to the
# library's sources, include-roots/veskard_engine/engine -> src/engine. A
# target then sees its own headers and those of the targets it links, and an
# include from a lower layer of a higher one does not compile.
set(VESKARD_INCLUDE_ROOTS ${CMAKE_BINARY_DIR}/include-roots)

# veskard_include_root(<target> <prefix> [<folder>]): <prefix> in the include
# root of <target> names <folder>, by default the current source folder.
function(veskard_include_root target prefix)
    set(folder ${CMAKE_CURRENT_SOURCE_DIR})
    if(ARGC GREATER 2)
        set(folder ${ARGV2})
    endif()
    set(root ${VESKARD_INCLUDE_ROOTS}/${target})
    get_filename_component(parent ${root}/${prefix} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${folder} ${root}/${prefix} SYMBOLIC)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()

# veskard_generated_header(<target> <prefix> <input> <name>): the header the
# build makes of <input> (configure_file, @VAR@ only), included by <target>'s
# own sources as "<prefix>/<name>" like its other headers. It lies in a second
# folder of the same root, include-roots/<target>/generated, beside the link.
function(veskard_generated_header target prefix input name)
    set(generated ${VESKARD_INCLUDE_ROOTS}/${target}/generated)
    configure_file(${input} ${generated}/${prefix}/${name} @ONLY)
    target_include_directories(${target} PRIVATE ${generated})
endfunction()
