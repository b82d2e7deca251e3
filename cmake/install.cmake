# Installing DOVRA for other programs: the libraries, the public header and
# the headers it includes, a CMake package (find_package(DOVRA) gives
# DOVRA::dovra) and a pkg-config file (dovra.pc). Programs that link
# DOVRA::dovra are built as the cone builder is: on Linux they get the
# layer's entry point and open real windows through FLTK.
include(CMakePackageConfigHelpers)

add_library(dovra_for_programs INTERFACE)
if(WIN32)
    target_link_libraries(dovra_for_programs INTERFACE dovra)
    set(dovra_installed_targets dovra dovra_platform dovra_for_programs)
else()
    target_link_libraries(dovra_for_programs INTERFACE dovra dovra_platform_desktop)
    set(dovra_installed_targets dovra dovra_platform dovra_platform_fltk dovra_platform_desktop
        dovra_for_programs)
endif()
add_library(DOVRA::dovra ALIAS dovra_for_programs)

set_target_properties(dovra_for_programs PROPERTIES EXPORT_NAME dovra)
set_target_properties(dovra PROPERTIES EXPORT_NAME library)
set_target_properties(dovra_platform PROPERTIES EXPORT_NAME platform)
if(NOT WIN32)
    set_target_properties(dovra_platform_fltk PROPERTIES EXPORT_NAME platform_fltk)
    set_target_properties(dovra_platform_desktop PROPERTIES EXPORT_NAME platform_desktop)
endif()

install(TARGETS ${dovra_installed_targets} EXPORT DOVRATargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${DOVRA_INCLUDE_SUBDIR})
install(FILES dovra/dovra.h DESTINATION ${DOVRA_INCLUDE_SUBDIR}/dovra)
install(FILES platform/win32.h DESTINATION ${DOVRA_INCLUDE_SUBDIR}/platform)
if(NOT WIN32)
    install(FILES platform/core/win32_kernel.h platform/core/win32_types.h
                  platform/core/win32_user.h
            DESTINATION ${DOVRA_INCLUDE_SUBDIR}/platform/core)
    install(FILES platform/gdi/win32_gdi.h DESTINATION ${DOVRA_INCLUDE_SUBDIR}/platform/gdi)
    install(FILES platform/backend/program_backends.h
            DESTINATION ${DOVRA_INCLUDE_SUBDIR}/platform/backend)
endif()

set(DOVRA_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/DOVRA)
install(EXPORT DOVRATargets NAMESPACE DOVRA:: DESTINATION ${DOVRA_CMAKE_DIR})
if(WIN32)
    set(DOVRA_PORTABLE_LAYER OFF)
else()
    set(DOVRA_PORTABLE_LAYER ON)
endif()
configure_package_config_file(cmake/DOVRAConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/DOVRAConfig.cmake INSTALL_DESTINATION ${DOVRA_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/DOVRAConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/DOVRAConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/DOVRAConfigVersion.cmake
        DESTINATION ${DOVRA_CMAKE_DIR})

# pkg-config: static libraries, so every dependency is in Libs.
if(WIN32)
    set(DOVRA_PC_REQUIRES "")
    set(DOVRA_PC_LIBS "-ldovra -luser32 -lgdi32 -lkernel32")
else()
    set(DOVRA_PC_REQUIRES "freetype2 fontconfig libpng x11")
    set(DOVRA_PC_LIBS "-ldovra -ldovra_platform_desktop -ldovra_platform_fltk -ldovra_platform -lfltk")
endif()
# The prefix is found from the file's own place, so the package can move.
file(RELATIVE_PATH DOVRA_PC_PREFIX "/p/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/p")
string(REGEX REPLACE "/$" "" DOVRA_PC_PREFIX "${DOVRA_PC_PREFIX}")
configure_file(cmake/dovra.pc.in ${CMAKE_CURRENT_BINARY_DIR}/dovra.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/dovra.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The demo program and, on Linux, the grading helper.
install(TARGETS cone_builder RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(NOT WIN32)
    install(PROGRAMS tools/grade.sh DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME dovra-grade)
    install(FILES tools/grading/main.py tools/grading/class_grade.py tools/grading/png.py
                  tools/grading/report.py tools/grading/sandbox.py
            DESTINATION ${CMAKE_INSTALL_DATADIR}/dovra/grading)
endif()
