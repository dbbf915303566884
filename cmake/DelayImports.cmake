# add_delay_imports(TARGET LIST HEADER)
# Makes the INTERFACE library TARGET that delay-imports the functions listed
# in the file LIST (lines "LIBRARY FUNCTION@N", see launcher/late-imports.txt)
# and writes HEADER, one LAZY_IMPORT(FUNCTION) line per function, for the
# table of fallbacks of the delay-load hook.
#
# MSVC delay-loads with /DELAYLOAD. MinGW gets a delay-import library per DLL
# from dlltool -y. Each function's stub must also be named to the linker
# (-u): the 32-bit ld drops the .text of an import-library member whose
# stub symbol nothing refers to, and code calls through the __imp_ slot, not
# the stub; the slot's first value points into that .text, so without -u the
# slot reads 0 and the first call jumps to address 0. The 64-bit ld keeps it,
# and -u costs nothing there. tools/images/image-check proves every slot of the
# linked images either way.
function(add_delay_imports target list header)
    file(STRINGS ${list} lines REGEX "^[a-z0-9_]+[ \t]+[A-Za-z_][A-Za-z0-9_]*@[0-9]+[ \t]*$")
    set(dlls "")
    set(names "")
    foreach(line ${lines})
        string(REGEX MATCH "^([a-z0-9_]+)[ \t]+([A-Za-z0-9_]+)@([0-9]+)" _ "${line}")
        set(dll ${CMAKE_MATCH_1})
        list(APPEND dlls ${dll})
        list(APPEND exports_${dll} "${CMAKE_MATCH_2}@${CMAKE_MATCH_3}")
        string(APPEND names "LAZY_IMPORT(${CMAKE_MATCH_2})\n")
    endforeach()
    list(REMOVE_DUPLICATES dlls)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list})

    add_library(${target} INTERFACE)
    foreach(dll ${dlls})
        if(MSVC)
            target_link_options(${target} INTERFACE /DELAYLOAD:${dll}.dll)
            continue()
        endif()
        set(def "LIBRARY ${dll}.dll\nEXPORTS\n")
        foreach(export ${exports_${dll}})
            string(REGEX REPLACE "@[0-9]+$" "" name ${export})
            if(CMAKE_SIZEOF_VOID_P EQUAL 4)
                string(APPEND def "${export}\n")
                target_link_options(${target} INTERFACE "LINKER:-u,_${export}")
            else()
                string(APPEND def "${name}\n")
                target_link_options(${target} INTERFACE "LINKER:-u,${name}")
            endif()
        endforeach()
        set(dir ${CMAKE_CURRENT_BINARY_DIR})
        file(WRITE ${dir}/${dll}-delay.def.new "${def}")
        configure_file(${dir}/${dll}-delay.def.new ${dir}/${dll}-delay.def COPYONLY)
        # --kill-at: the 32-bit import names lose their @N, as the DLLs export them.
        execute_process(COMMAND ${CMAKE_DLLTOOL} --kill-at -d ${dll}-delay.def -y lib${dll}-delay.a
                        WORKING_DIRECTORY ${dir} RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            message(FATAL_ERROR "dlltool could not make ${dir}/lib${dll}-delay.a")
        endif()
        target_link_libraries(${target} INTERFACE ${dir}/lib${dll}-delay.a)
    endforeach()
    # The ordinary import libraries too, after the delay ones: a function
    # missing from the list then becomes an ordinary import, which
    # tools/images/image-check reports.
    target_link_libraries(${target} INTERFACE ${dlls})
    if(MSVC)
        target_link_libraries(${target} INTERFACE delayimp)
    endif()
    file(WRITE ${header}.new "${names}")
    configure_file(${header}.new ${header} COPYONLY)
endfunction()
