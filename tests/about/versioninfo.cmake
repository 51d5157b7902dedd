# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers

# A small executable that embeds the program's version block the way the program does, built
# with section garbage collection and also stripped, as a package build would leave it.
add_executable(lsg_version_probe versioninfo_probe.cpp)
target_link_libraries(lsg_version_probe PRIVATE lsg_version_resource)
target_compile_options(lsg_version_probe PRIVATE -ffunction-sections -fdata-sections)
target_link_options(lsg_version_probe PRIVATE -Wl,--gc-sections)
set_target_properties(lsg_version_probe PROPERTIES AUTOMOC OFF
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
add_custom_command(TARGET lsg_version_probe POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --strip-all $<TARGET_FILE:lsg_version_probe>
            $<TARGET_FILE:lsg_version_probe>.stripped
    VERBATIM)

# Windows PE files made by a real resource compiler and linker from the .rc fixtures, and from
# the .rc the build writes beside the program's own block.
find_program(LSG_WINDRES x86_64-w64-mingw32-windres)
find_program(LSG_MINGW_LD x86_64-w64-mingw32-ld)
find_program(LSG_MINGW_AS x86_64-w64-mingw32-as)
find_program(LSG_CPP cpp)
set(lsg_vi_fixtures ${CMAKE_SOURCE_DIR}/tests/fixtures/versioninfo)
set(lsg_vi_out ${CMAKE_CURRENT_BINARY_DIR}/versioninfo)
file(MAKE_DIRECTORY ${lsg_vi_out})
set(lsg_vi_pe_files "")
if(LSG_WINDRES AND LSG_MINGW_LD AND LSG_MINGW_AS AND LSG_CPP)
    set(lsg_vi_have_pe 1)
    set(lsg_vi_sources own german two none)
    foreach(name IN LISTS lsg_vi_sources ITEMS generated)
        if(name STREQUAL "generated")
            set(rc ${LSG_VERSION_RC})
        else()
            set(rc ${lsg_vi_fixtures}/${name}.rc)
        endif()
        add_custom_command(OUTPUT ${lsg_vi_out}/${name}.exe
            COMMAND ${LSG_WINDRES} --preprocessor=${LSG_CPP} --codepage=65001 -i ${rc}
                    -o ${lsg_vi_out}/${name}.o
            COMMAND ${LSG_MINGW_LD} -e 0 -o ${lsg_vi_out}/${name}.exe ${lsg_vi_out}/${name}.o
            DEPENDS ${rc}
            COMMENT "Compiling the version-information fixture ${name}"
            VERBATIM)
        list(APPEND lsg_vi_pe_files ${lsg_vi_out}/${name}.exe)
    endforeach()
    # A PE file without any resources.
    add_custom_command(OUTPUT ${lsg_vi_out}/bare.exe
        COMMAND ${LSG_MINGW_AS} -o ${lsg_vi_out}/bare.o /dev/null
        COMMAND ${LSG_MINGW_LD} -e 0 -o ${lsg_vi_out}/bare.exe ${lsg_vi_out}/bare.o
        COMMENT "Linking a PE file without resources"
        VERBATIM)
    list(APPEND lsg_vi_pe_files ${lsg_vi_out}/bare.exe)
else()
    set(lsg_vi_have_pe 0)
    message(WARNING "x86_64-w64-mingw32 binutils or cpp missing: the resource-compiler "
        "cross-checks of the version reader will be skipped")
endif()
add_custom_target(lsg_versioninfo_fixtures DEPENDS ${lsg_vi_pe_files})

lsg_add_gtest(versioninfo_tests LABEL about
    SOURCES versioninfo_block_tests.cpp versioninfo_file_tests.cpp
    LIBS lsg_versioninfo lsg_versionblock lsg_version_resource)
add_dependencies(versioninfo_tests lsg_versioninfo_fixtures lsg_version_probe)
target_compile_definitions(versioninfo_tests PRIVATE
    LSG_VI_HAVE_PE=${lsg_vi_have_pe}
    LSG_VI_PE_DIR="${lsg_vi_out}"
    LSG_VI_BLOCK_BIN="${LSG_VERSION_BLOCK_BIN}"
    LSG_VI_PROBE="$<TARGET_FILE:lsg_version_probe>")
