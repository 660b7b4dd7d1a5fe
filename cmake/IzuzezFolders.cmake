# Each library exposes its own folder under its name, so that users write "protocol/Packets.h" but reach no
# other folder through it: the library's include root in the build tree holds one link, to that folder.
function(izuzez_expose_folder target name)
    set(root ${CMAKE_BINARY_DIR}/include/${target})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${name} SYMBOLIC)
    target_include_directories(${target} PUBLIC ${root})
endfunction()
