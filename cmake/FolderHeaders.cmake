# Each library offers the headers of its own folder and nothing else. Sources name headers from the
# top of the tree (#include "config/Configuration.h"); the include root a library states holds one
# link, named as its folder, to that folder alone. So a target finds "config/..." only when it
# links a library of config/, and an include without the link is a build error.
function(zorvik_folder_headers target)
    file(RELATIVE_PATH folder "${CMAKE_SOURCE_DIR}" "${CMAKE_CURRENT_SOURCE_DIR}")
    string(REPLACE "/" "_" name "${folder}")
    set(root "${CMAKE_BINARY_DIR}/include/${name}")
    set(link "${root}/${folder}")
    if(NOT IS_SYMLINK "${link}")
        get_filename_component(parent "${link}" DIRECTORY)
        file(MAKE_DIRECTORY "${parent}")
        file(CREATE_LINK "${CMAKE_CURRENT_SOURCE_DIR}" "${link}" SYMBOLIC)
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        target_include_directories(${target} PRIVATE "${root}")
    elseif(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE "${root}")
    else()
        target_include_directories(${target} PUBLIC "${root}")
    endif()
endfunction()
