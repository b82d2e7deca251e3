# Programs as web pages (the web preset, emscripten): DOVRA::dovra for the
# programs, and dovra_web_page(TARGET), which makes build/web/TARGET/ a folder
# that any static web server serves: index.html, TARGET.js, TARGET.wasm and
# TARGET.data (the fonts, with their licence).

add_library(dovra_for_programs INTERFACE)
target_link_libraries(dovra_for_programs INTERFACE dovra dovra_platform_desktop)
add_library(DOVRA::dovra ALIAS dovra_for_programs)

# The font files the desktop build draws with, found as its fontconfig finds
# them, so that the page's text has the same pixels.
function(dovra_web_font_file variable pattern fallback)
    find_program(DOVRA_FC_MATCH fc-match)
    set(file "")
    if(DOVRA_FC_MATCH)
        execute_process(COMMAND ${DOVRA_FC_MATCH} -f "%{file}" "${pattern}"
                        OUTPUT_VARIABLE file ERROR_QUIET)
    endif()
    if(NOT file MATCHES "${fallback}$" OR NOT EXISTS "${file}")
        find_file(found NAMES ${fallback} NO_CACHE NO_CMAKE_FIND_ROOT_PATH
                  PATHS /usr/share/fonts/truetype/liberation2 /usr/share/fonts/truetype/liberation)
        set(file "${found}")
    endif()
    if(NOT file OR NOT EXISTS "${file}")
        message(FATAL_ERROR "The web pages need ${fallback}: install fonts-liberation2")
    endif()
    set(${variable} "${file}" PARENT_SCOPE)
endfunction()

dovra_web_font_file(DOVRA_WEB_SANS "Liberation Sans:style=Regular" LiberationSans-Regular.ttf)
dovra_web_font_file(DOVRA_WEB_MONO "Liberation Mono:style=Regular" LiberationMono-Regular.ttf)
get_filename_component(fonts_folder "${DOVRA_WEB_SANS}" DIRECTORY)
get_filename_component(fonts_package "${fonts_folder}" NAME) # liberation2 or liberation
if(fonts_package STREQUAL "liberation2")
    set(fonts_licence /usr/share/doc/fonts-liberation2/copyright)
else()
    set(fonts_licence /usr/share/doc/fonts-liberation/copyright)
endif()
if(NOT EXISTS "${fonts_licence}")
    message(FATAL_ERROR "The fonts' licence ${fonts_licence} is missing")
endif()

# The page data's /fonts: the faces the layer's font table names, and their licence.
set(DOVRA_WEB_FONTS "${CMAKE_BINARY_DIR}/fonts")
file(MAKE_DIRECTORY "${DOVRA_WEB_FONTS}")
configure_file("${DOVRA_WEB_SANS}" "${DOVRA_WEB_FONTS}/LiberationSans-Regular.ttf" COPYONLY)
configure_file("${DOVRA_WEB_MONO}" "${DOVRA_WEB_FONTS}/LiberationMono-Regular.ttf" COPYONLY)
configure_file("${fonts_licence}" "${DOVRA_WEB_FONTS}/LICENSE-fonts.txt" COPYONLY)

set(DOVRA_WEB_DIR "${PROJECT_SOURCE_DIR}/platform/backend/web")

function(dovra_web_page target)
    set(folder "${CMAKE_BINARY_DIR}/${target}")
    set_target_properties(${target} PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY "${folder}")
    # Asyncify lets the program's blocking loop sleep in the layer's wait;
    # the page's script is loaded before the program's code.
    target_link_options(${target} PRIVATE
        -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web
        "-sEXPORTED_FUNCTIONS=[\"_main\",\"_dovra_web_input\",\"_dovra_web_ended\"]"
        "SHELL:--pre-js ${DOVRA_WEB_DIR}/web_page.js"
        "SHELL:--preload-file ${DOVRA_WEB_FONTS}@/fonts")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS
                 "${DOVRA_WEB_DIR}/web_page.js" "${DOVRA_WEB_SANS}" "${DOVRA_WEB_MONO}")
    set(PROGRAM ${target})
    configure_file("${DOVRA_WEB_DIR}/page.html" "${folder}/index.html" @ONLY)
    configure_file("${fonts_licence}" "${folder}/LICENSE-fonts.txt" COPYONLY)
endfunction()
