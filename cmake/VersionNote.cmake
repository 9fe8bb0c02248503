# Version information for native ELF executables, which have no version resource: the build
# places an ELF note (owner "KELVANTRA", type 1, four 16-bit numbers) in the target, and
# platform::readFileVersion reads it back as "a.b.c.d".
#
#   kv_add_version_note(<target> <a.b.c.d>)
#   kv_add_sample_executable(<target> <a.b.c.d>)
#       a tiny program carrying that version that runs until it gets SIGTERM (then exits 0):
#       a stand-in for the application's client and server executables in tests and the demo.
include_guard(GLOBAL)

function(kv_add_version_note target version)
    if(NOT version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
        message(FATAL_ERROR "kv_add_version_note(${target}): '${version}' is not of the form a.b.c.d")
    endif()
    set(KV_VERSION_PARTS ${CMAKE_MATCH_1} ${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4})
    foreach(part IN LISTS KV_VERSION_PARTS)
        if(part GREATER 65535)
            message(FATAL_ERROR "kv_add_version_note(${target}): '${version}' has a part above 65535")
        endif()
    endforeach()
    list(JOIN KV_VERSION_PARTS ", " KV_VERSION_NUMBERS)
    set(source "${CMAKE_CURRENT_BINARY_DIR}/${target}-version-note.cpp")
    configure_file("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/VersionNote.cpp.in" "${source}" @ONLY)
    target_sources(${target} PRIVATE "${source}")
endfunction()

function(kv_add_sample_executable target version)
    add_executable(${target} "${CMAKE_CURRENT_FUNCTION_LIST_DIR}/SampleProgram.cpp")
    kv_add_version_note(${target} ${version})
endfunction()
