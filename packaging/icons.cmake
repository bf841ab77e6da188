# Renders the SVG icon as PNGs, and makes Windows' .ico and macOS's .icns from them. Sets
# MIRAVANE_ICON_DIR, MIRAVANE_ICON_PNGS, and MIRAVANE_ICO or MIRAVANE_ICNS.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(svg ${CMAKE_CURRENT_SOURCE_DIR}/packaging/org.miravane.miravane.svg)
set(MIRAVANE_ICON_DIR ${CMAKE_CURRENT_BINARY_DIR}/icons)
set(MIRAVANE_ICON_PNGS)
foreach(size 16 24 32 48 64 128 256 512)
    set(png ${MIRAVANE_ICON_DIR}/miravane-${size}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${MIRAVANE_ICON_DIR}
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg}
        DEPENDS ${svg} VERBATIM)
    list(APPEND MIRAVANE_ICON_PNGS ${png})
    set(png_${size} ${png})
endforeach()

if(WIN32)
    # Windows shows 16 to 48 px as bitmaps and 256 px stored as PNG.
    find_program(ICOTOOL icotool REQUIRED)
    set(MIRAVANE_ICO ${MIRAVANE_ICON_DIR}/miravane.ico)
    add_custom_command(OUTPUT ${MIRAVANE_ICO}
        COMMAND ${ICOTOOL} -c -o ${MIRAVANE_ICO} ${png_16} ${png_24} ${png_32} ${png_48}
                -r ${png_256}
        DEPENDS ${png_16} ${png_24} ${png_32} ${png_48} ${png_256} VERBATIM)
    add_custom_target(miravane_ico ALL DEPENDS ${MIRAVANE_ICO})
elseif(APPLE)
    # On a Mac iconutil makes it from an .iconset folder; png2icns (Debian's icnsutils) too.
    set(MIRAVANE_ICNS ${MIRAVANE_ICON_DIR}/Miravane.icns)
    find_program(ICONUTIL iconutil)
    if(ICONUTIL)
        set(iconset ${MIRAVANE_ICON_DIR}/Miravane.iconset)
        add_custom_command(OUTPUT ${MIRAVANE_ICNS}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${iconset}
            COMMAND ${CMAKE_COMMAND} -E copy ${png_16} ${iconset}/icon_16x16.png
            COMMAND ${CMAKE_COMMAND} -E copy ${png_32} ${iconset}/icon_16x16@2x.png
            COMMAND ${CMAKE_COMMAND} -E copy ${png_32} ${iconset}/icon_32x32.png
            COMMAND ${CMAKE_COMMAND} -E copy ${png_64} ${iconset}/icon_32x32@2x.png
            COMMAND ${CMAKE_COMMAND} -E copy ${png_128} ${iconset}/icon_128x128.png
            COMMAND ${CMAKE_COMMAND} -E copy ${png_256} ${iconset}/icon_128x128@2x.png
            COMMAND ${CMAKE_COMMAND} -E copy ${png_256} ${iconset}/icon_256x256.png
            COMMAND ${CMAKE_COMMAND} -E copy ${png_512} ${iconset}/icon_256x256@2x.png
            COMMAND ${CMAKE_COMMAND} -E copy ${png_512} ${iconset}/icon_512x512.png
            COMMAND ${ICONUTIL} -c icns -o ${MIRAVANE_ICNS} ${iconset}
            DEPENDS ${MIRAVANE_ICON_PNGS} VERBATIM)
    else()
        find_program(PNG2ICNS png2icns REQUIRED)
        add_custom_command(OUTPUT ${MIRAVANE_ICNS}
            COMMAND ${PNG2ICNS} ${MIRAVANE_ICNS} ${png_16} ${png_32} ${png_48} ${png_128}
                    ${png_256} ${png_512}
            DEPENDS ${MIRAVANE_ICON_PNGS} VERBATIM)
    endif()
endif()
