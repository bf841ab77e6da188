# Run at install time: installs every DLL that MIRAVANE_DLL_IMPORTERS import, and those DLLs in
# turn, from MIRAVANE_DLL_DIRECTORIES, except Windows' own (MIRAVANE_SYSTEM_DLLS, regular
# expressions for lowercase names). CMake reads the imports, with the platform and the tool
# the including directory set.
#
# Before CMake 3.27, file(GET_RUNTIME_DEPENDENCIES) looks a DLL up by its name in lowercase,
# which a case-sensitive file system does not find (qt6core.dll for Qt6Core.dll), and reports
# it unresolved: such a DLL is looked up here regardless of case, and what it imports read in
# the next round.
cmake_policy(VERSION 3.25) # the install script around this one runs with CMake's oldest
set(names)
set(paths)
foreach(directory IN LISTS MIRAVANE_DLL_DIRECTORIES)
    file(GLOB dlls LIST_DIRECTORIES false "${directory}/*.[dD][lL][lL]")
    foreach(dll IN LISTS dlls)
        get_filename_component(name "${dll}" NAME)
        string(TOLOWER "${name}" name)
        if(NOT name IN_LIST names) # the first directory that has it, as Windows looks
            list(APPEND names "${name}")
            list(APPEND paths "${dll}")
        endif()
    endforeach()
endforeach()

set(installing)
set(installing_names)
set(reading ${MIRAVANE_DLL_IMPORTERS})
while(reading)
    file(GET_RUNTIME_DEPENDENCIES
         LIBRARIES ${reading}
         RESOLVED_DEPENDENCIES_VAR resolved
         UNRESOLVED_DEPENDENCIES_VAR unresolved
         PRE_EXCLUDE_REGEXES ${MIRAVANE_SYSTEM_DLLS}
         DIRECTORIES ${MIRAVANE_DLL_DIRECTORIES})
    set(reading)
    foreach(dll IN LISTS resolved unresolved)
        get_filename_component(name "${dll}" NAME)
        string(TOLOWER "${name}" name)
        if(name IN_LIST installing_names)
            continue()
        elseif(dll IN_LIST unresolved)
            list(FIND names "${name}" index)
            if(index LESS 0)
                message(FATAL_ERROR "${name} is imported, yet neither Windows' own nor found in "
                                    "${MIRAVANE_DLL_DIRECTORIES}")
            endif()
            list(GET paths ${index} dll)
            list(APPEND reading "${dll}")
        endif()
        list(APPEND installing_names "${name}")
        list(APPEND installing "${dll}")
    endforeach()
endwhile()

list(SORT installing)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}" TYPE SHARED_LIBRARY FILES ${installing})
