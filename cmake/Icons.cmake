# The icon sizes in the hicolor theme, all rendered from the one SVG in data/icons at build time.
set(ODOMIRA_ICON_SVG ${PROJECT_SOURCE_DIR}/data/icons/org.example.odomira.svg)
set(ODOMIRA_ICON_SIZES 16 22 24 32 48 64 128 256)

# Renders every size into <build dir>/icons/<size>.png; `out_var` gets the list of files.
# Outputs are used by targets of the calling directory only, so call it where they live.
function(odomira_render_icons out_var)
    find_program(RSVG_CONVERT rsvg-convert REQUIRED)
    set(pngs)
    foreach(size IN LISTS ODOMIRA_ICON_SIZES)
        set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}.png)
        add_custom_command(OUTPUT ${png}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons
            COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${ODOMIRA_ICON_SVG}
            DEPENDS ${ODOMIRA_ICON_SVG}
            COMMENT "Icon ${size}x${size}"
            VERBATIM)
        list(APPEND pngs ${png})
    endforeach()
    set(${out_var} ${pngs} PARENT_SCOPE)
endfunction()
