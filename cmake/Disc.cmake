# A disc project (a folder with disc.ini, see the README) gives a launcher
# and a disc.
#
# add_launcher(NAME target PROJECT dir [FILES dir])
#
# makes the project's launcher, the shared program (setupentry, setupcore)
# with the project's resources:
#   NAME_project  the project checked, and its resources, setup.dat,
#       autorun.inf, sounds and pictures made in FILES (default: the folder
#       NAME in the current build folder)
#   NAME_res      those resources, an object library
#   NAME          the project's Setup.exe without a file list, for tests
#
# add_disc(NAME name [PROJECT dir] FOLDER dir IMAGE file
#          [LAUNCHER target] [FOLDER_TARGET target] [IMAGE_TARGET target])
#
# makes, in this order:
#   LAUNCHER (default NAME_launcher)  the project's launcher (add_launcher),
#       unless it is made already: the disc is then of that launcher's
#       project, and PROJECT may be left out
#   NAME_disc_setup                   the same launcher with the disc's file
#       list (RCDATA IDR_DISCLIST of launcher/res/Resource.h), then signed: the Setup.exe that goes on the disc
#   FOLDER_TARGET (default NAME_folder)  FOLDER: the project's files, the
#       programs of its [targets] section, setup.dat, autorun.inf, the sounds
#       and the signed Setup.exe, laid anew each time
#   IMAGE_TARGET (default NAME_image) IMAGE: ISO 9660 with Joliet names,
#       labelled as the project says, kept only when its files match the list
#
# The signing certificate and key (PEM) are DISC_SIGN_CERT and DISC_SIGN_KEY,
# by default this tree's throw-away test publisher.
set(DISC_SIGN_CERT "" CACHE FILEPATH "Certificate (PEM) that signs the disc's Setup.exe")
set(DISC_SIGN_KEY "" CACHE FILEPATH "Key (PEM) that signs the disc's Setup.exe")
find_package(Python3 REQUIRED COMPONENTS Interpreter)

function(add_launcher)
    cmake_parse_arguments(L "" "NAME;PROJECT;FILES" "" ${ARGN})
    set(tool ${CMAKE_SOURCE_DIR}/tools/disc/disc-project)
    set(gen ${L_FILES})
    if(NOT gen)
        set(gen ${CMAKE_CURRENT_BINARY_DIR}/${L_NAME})
    endif()

    # The project's facts (label, files folder, build targets, input files,
    # and the tools' and the launcher's files that the build reads), read
    # again whenever disc.ini changes; a broken project stops here with its
    # messages.
    execute_process(COMMAND ${Python3_EXECUTABLE} ${tool} cmake ${L_PROJECT} ${gen}-facts.cmake
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "The disc project ${L_PROJECT} has the faults above.")
    endif()
    include(${gen}-facts.cmake)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${L_PROJECT}/disc.ini)

    # Resources, setup.dat, autorun.inf, icon, sounds and pictures.
    set(made ${gen}/disc.rc ${gen}/setup.dat ${gen}/autorun.inf ${gen}/formload.wav
             ${gen}/mouseout.wav)
    add_custom_command(OUTPUT ${made}
        COMMAND ${Python3_EXECUTABLE} ${tool} build ${L_PROJECT} ${gen}
        DEPENDS ${DISC_INPUTS} ${DISC_TOOL_INPUTS}
        COMMENT "Checking the disc project ${L_PROJECT} and drawing its pictures"
        VERBATIM)
    # One target makes them, before any that uses them: two makes at once
    # would each write the same folder.
    add_custom_target(${L_NAME}_project DEPENDS ${made})

    # The launcher: the shared program with this project's resources.
    add_library(${L_NAME}_res OBJECT ${gen}/disc.rc)
    add_dependencies(${L_NAME}_res ${L_NAME}_project)
    # The shared part it includes (launcher/res/Setup.rc) and that part's files.
    target_include_directories(${L_NAME}_res PRIVATE ${CMAKE_SOURCE_DIR}/launcher/res)
    set_source_files_properties(${gen}/disc.rc PROPERTIES OBJECT_DEPENDS
        "${CMAKE_SOURCE_DIR}/launcher/res/Setup.rc;${CMAKE_SOURCE_DIR}/launcher/res/Setup.manifest;${CMAKE_SOURCE_DIR}/launcher/res/Resource.h")
    add_executable(${L_NAME} WIN32)
    target_link_libraries(${L_NAME} PRIVATE setupentry setupcore lean_runtime ${L_NAME}_res)
    set_target_properties(${L_NAME} PROPERTIES OUTPUT_NAME ${L_NAME})
    # Read from the disc at CD speed: as small as it can be.
    target_link_options(${L_NAME} PRIVATE -s -Wl,--gc-sections)
    # What a disc of this launcher takes from it.
    set_target_properties(${L_NAME} PROPERTIES DISC_PROJECT ${L_PROJECT} DISC_PROJECT_FILES ${gen})
endfunction()

function(add_disc)
    cmake_parse_arguments(D "" "NAME;PROJECT;FOLDER;IMAGE;LAUNCHER;FOLDER_TARGET;IMAGE_TARGET" ""
                          ${ARGN})
    foreach(default LAUNCHER:launcher FOLDER_TARGET:folder IMAGE_TARGET:image)
        string(REPLACE ":" ";" pair ${default})
        list(GET pair 0 arg)
        list(GET pair 1 suffix)
        if(NOT D_${arg})
            set(D_${arg} ${D_NAME}_${suffix})
        endif()
    endforeach()
    set(tool ${CMAKE_SOURCE_DIR}/tools/disc/disc-project)
    set(gen ${CMAKE_CURRENT_BINARY_DIR}/${D_NAME})
    set(folder ${D_FOLDER})
    set(image ${D_IMAGE})

    # The launcher, and with it the project's facts and made files.
    if(NOT TARGET ${D_LAUNCHER})
        add_launcher(NAME ${D_LAUNCHER} PROJECT ${D_PROJECT} FILES ${gen})
    endif()
    get_target_property(project ${D_LAUNCHER} DISC_PROJECT)
    get_target_property(made ${D_LAUNCHER} DISC_PROJECT_FILES)
    if(D_PROJECT AND NOT D_PROJECT STREQUAL project)
        message(FATAL_ERROR
                "The disc ${D_NAME} is of ${D_PROJECT}, its launcher ${D_LAUNCHER} of ${project}.")
    endif()
    include(${made}-facts.cmake)

    # The disc's folder without its Setup.exe, and the list of its files.
    set(copies)
    list(LENGTH DISC_TARGETS n)
    set(deps)
    if(n GREATER 0)
        math(EXPR last "${n} - 1")
        foreach(i RANGE 0 ${last} 2)
            math(EXPR j "${i} + 1")
            list(GET DISC_TARGETS ${i} target)
            list(GET DISC_TARGETS ${j} path)
            get_filename_component(dir ${folder}/${path} DIRECTORY)
            list(APPEND copies COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
                               COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> ${folder}/${path})
            list(APPEND deps ${target})
        endforeach()
    endif()
    set(list ${gen}/disclist.txt)
    add_custom_target(${D_NAME}_files
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${folder}
        COMMAND ${CMAKE_COMMAND} -E copy_directory ${DISC_FILES} ${folder}
        ${copies}
        COMMAND ${CMAKE_COMMAND} -E copy ${made}/setup.dat ${made}/autorun.inf ${made}/formload.wav
                ${made}/mouseout.wav ${folder}
        COMMAND ${Python3_EXECUTABLE} ${tool} list ${folder} ${list}
        BYPRODUCTS ${list}
        COMMENT "Assembling the disc ${D_NAME} in ${folder}"
        VERBATIM)
    add_dependencies(${D_NAME}_files ${D_LAUNCHER}_project ${deps})

    # The disc's launcher: the list goes in before the signature, under the
    # id the launcher looks it up by.
    file(WRITE ${gen}-list.rc "#include \"Resource.h\"\nLANGUAGE 0, 0\nIDR_DISCLIST RCDATA \"${list}\"\n")
    set_source_files_properties(${gen}-list.rc PROPERTIES OBJECT_DEPENDS
        "${list};${CMAKE_SOURCE_DIR}/launcher/res/Resource.h")
    add_executable(${D_NAME}_disc_setup WIN32 ${gen}-list.rc)
    target_include_directories(${D_NAME}_disc_setup PRIVATE ${CMAKE_SOURCE_DIR}/launcher/res)
    target_link_libraries(${D_NAME}_disc_setup PRIVATE setupentry setupcore lean_runtime
                                                       ${D_LAUNCHER}_res)
    target_link_options(${D_NAME}_disc_setup PRIVATE -s -Wl,--gc-sections)
    set_target_properties(${D_NAME}_disc_setup PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${gen})
    add_dependencies(${D_NAME}_disc_setup ${D_NAME}_files)
    set(cert ${DISC_SIGN_CERT})
    set(key ${DISC_SIGN_KEY})
    if(NOT cert)
        set(cert ${CMAKE_BINARY_DIR}/testpki/publisher.crt)
        set(key ${CMAKE_BINARY_DIR}/testpki/publisher.key)
        add_dependencies(${D_NAME}_disc_setup testpki)
    endif()
    set(signed ${gen}/signed/Setup.exe)
    add_custom_command(OUTPUT ${signed}
        COMMAND ${CMAKE_COMMAND} -E rm -f ${signed} ${signed}.new
        COMMAND ${CMAKE_COMMAND} -E make_directory ${gen}/signed
        COMMAND osslsigncode sign -certs ${cert} -key ${key} -h sha256 -n "${DISC_PRODUCT}"
                -in $<TARGET_FILE:${D_NAME}_disc_setup> -out ${signed}.new
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/images/image-check
                --image Setup.exe ${signed}.new
        COMMAND ${CMAKE_COMMAND} -E rename ${signed}.new ${signed}
        DEPENDS ${D_NAME}_disc_setup ${cert} ${key} ${CMAKE_SOURCE_DIR}/tools/images/image-check
        COMMENT "Signing the Setup.exe of the disc ${D_NAME}"
        VERBATIM)
    add_custom_target(${D_FOLDER_TARGET} ALL
        COMMAND ${CMAKE_COMMAND} -E copy ${signed} ${folder}/Setup.exe
        DEPENDS ${signed}
        VERBATIM)
    add_dependencies(${D_FOLDER_TARGET} ${D_NAME}_files)

    # The image, kept only when what it holds matches the list. Windows shows
    # the Joliet label, which may hold small letters and blanks: xorriso's
    # warnings that the same text breaks the plain ISO 9660 rules are left
    # unsaid.
    add_custom_target(${D_IMAGE_TARGET} ALL
        COMMAND ${CMAKE_COMMAND} -E rm -f ${image} ${image}.new
        COMMAND xorriso -report_about SORRY -outdev ${image}.new -volid "${DISC_LABEL}"
                -joliet on -rockridge off -map ${folder} / -commit
        COMMAND ${Python3_EXECUTABLE} ${tool} check-image ${image}.new ${list}
        COMMAND ${CMAKE_COMMAND} -E rename ${image}.new ${image}
        COMMENT "Making the disc image ${image} (volume ${DISC_LABEL})"
        VERBATIM)
    add_dependencies(${D_IMAGE_TARGET} ${D_FOLDER_TARGET})
endfunction()
